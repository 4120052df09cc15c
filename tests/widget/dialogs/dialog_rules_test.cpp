// SPDX-License-Identifier: GPL-3.0-or-later
// Every dialog worked from the keyboard: it opens with the focus in its first
// field (the text selected, so typing replaces it), Tab walks the fields in
// their visual order and then OK and Anuluj, and Enter means OK.

#include <QApplication>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QtTest>
#include <array>
#include <chrono>
#include <functional>
#include <memory>

#include "dialogs/cv_dlg.h"
#include "dialogs/dlg_canal.h"
#include "dialogs/log_setup_dlg.h"
#include "dialogs/param_dialogs.h"
#include "dialogs/pid_dlg.h"
#include "dialogs/port_dlg.h"
#include "dialogs/sp_time_value_dlg.h"
#include "dialogs/sp_value_dlg.h"
#include "dialogs/time_dlg.h"
#include "link/parameter_codes.h"
#include "support/fake_panel.h"
#include "widget/dialogs/recording_sink.h"
#include "widgets/colour_dialog.h"
#include "widgets/dialog_rules.h"
#include "widgets/font_dialog.h"
#include "widgets/value_display.h"

namespace tk358::test {
namespace {

// What the dialogs under test need around them.
struct World {
    FakePanel panel;
    RecordingSink sink;
    std::array<std::unique_ptr<ValueDisplay>, 3> displays;

    World() {
        for (auto& d : displays) {
            d = std::make_unique<ValueDisplay>();
        }
        panel.clock.valid = 1;
    }
    ValueDisplays Displays() const {
        return {displays[0].get(), displays[1].get(), displays[2].get()};
    }
};

using Factory = std::function<std::unique_ptr<QDialog>(World&)>;

template <typename D>
std::unique_ptr<QDialog> OnPanel(World& w, std::unique_ptr<D> dlg) {
    dlg->SetMessageSink(&w.sink);
    return dlg;
}

std::unique_ptr<QDialog> Param(World& w, uint8_t kind, ParamDialog which) {
    w.panel.Connect(kind);
    w.panel.parameters.Store(param::kMinOnTime, 10);  // 0 is refused
    std::unique_ptr<PanelDialog> dlg = MakeParamDialog(w.panel, ParamDialogChoice{which, true});
    dlg->SetMessageSink(&w.sink);
    return dlg;
}

struct Case {
    const char* name;
    Factory make;
    // The focus at the start, then after each Tab until it comes back.
    QStringList order;
};

const QStringList kOkCancel = {"okButton", "cancelButton"};

std::vector<Case> Cases() {
    return {
        {"PID",
         [](World& w) {
             w.panel.Connect(0);
             return OnPanel(w, std::make_unique<CPIDDlg>(w.panel, 0));
         },
         QStringList{"kpEdit", "tiEdit", "tdEdit", "taEdit"} + kOkCancel},
        {"CV",
         [](World& w) {
             w.panel.Connect(0);
             return OnPanel(w, std::make_unique<CCvDlg>(w.panel));
         },
         QStringList{"cvEdit", "cvLockCheck"} + kOkCancel},
        {"set point",
         [](World& w) {
             w.panel.Connect(0);
             return OnPanel(w, std::make_unique<CSPValueDlg>(w.panel));
         },
         QStringList{"setpointEdit"} + kOkCancel},
        {"set points and times",
         [](World& w) {
             w.panel.Connect(3);
             return OnPanel(w, std::make_unique<CSPTimeValueDlg>(w.panel));
         },
         QStringList{"setpoint1Edit", "hour1Edit", "minute1Edit", "setpoint2Edit", "hour2Edit",
                     "minute2Edit"} +
             kOkCancel},
        {"regulation 0", [](World& w) { return Param(w, 0, ParamDialog::Param); },
         QStringList{"openTimeEdit", "closeTimeEdit", "deadTimeEdit", "minStandstillEdit",
                     "minOnTimeEdit", "deadBandEdit"} +
             kOkCancel},
        {"regulation 1", [](World& w) { return Param(w, 1, ParamDialog::ParamZ); },
         QStringList{"drainTimeEdit", "closeDelayEdit", "deviationEdit"} + kOkCancel},
        {"regulation 2", [](World& w) { return Param(w, 2, ParamDialog::ParamA); },
         QStringList{"t1Edit", "t2Edit", "h1Edit", "h2Edit", "airingCheck", "airingTimeEdit",
                     "airingPeriodEdit", "airingThresholdEdit", "fan1Check", "fan2Check"} +
             kOkCancel},
        {"regulation 4", [](World& w) { return Param(w, 4, ParamDialog::ParamC); },
         QStringList{"t1Edit", "h1Edit", "oneChannelRadio"} + kOkCancel},
        {"regulation 4 clock", [](World& w) { return Param(w, 4, ParamDialog::ParamCTime); },
         QStringList{"dayHourEdit", "dayMinuteEdit", "dayT1Edit", "dayH1Edit", "nightHourEdit",
                     "nightMinuteEdit", "nightT1Edit", "nightH1Edit", "oneChannelRadio"} +
             kOkCancel},
        {"clock",
         [](World& w) {
             w.panel.Connect(4);
             return OnPanel(w, std::make_unique<CTimeDlg>(w.panel));
         },
         QStringList{"qt_calendar_calendarview", "timeEdit", "pcTimeButton"} + kOkCancel},
        {"zone", [](World&) { return std::unique_ptr<QDialog>(std::make_unique<CDlgCanal>(1)); },
         QStringList{"zone2Radio"} + kOkCancel},
        {"port",
         [](World&) {
             return std::unique_ptr<QDialog>(std::make_unique<CPortDlg>(
                 1, [](const std::atomic<bool>&) { return std::string("COM1:a\nCOM2:b\n"); }));
         },
         QStringList{"portList"} + kOkCancel},
        {"log setup",
         [](World&) {
             LogSetup setup;
             setup.loggingOn = true;
             setup.temperatureColumn = true;
             return std::unique_ptr<QDialog>(std::make_unique<CLogSetupDlg>(setup));
         },
         QStringList{"loggingCheck", "intervalEdit", "fileEdit", "browseButton",
                     "separatorLocaleRadio", "decimalLocaleRadio", "temperatureCheck",
                     "setpointCheck", "commentCheck"} +
             kOkCancel},
        {"colours",
         [](World& w) {
             return std::unique_ptr<QDialog>(std::make_unique<ColourDialog>(w.Displays(), true));
         },
         QStringList{"temperatureBackgroundSwatch", "temperatureTextSwatch",
                     "setpointBackgroundSwatch", "setpointTextSwatch", "setpoint2BackgroundSwatch",
                     "setpoint2TextSwatch"} +
             kOkCancel},
        {"fonts",
         [](World& w) {
             return std::unique_ptr<QDialog>(std::make_unique<FontDialog>(w.Displays(), true));
         },
         QStringList{"temperatureSample", "setpointSample", "setpoint2Sample"} + kOkCancel},
    };
}

// The panel dialogs laid out in rows of caption, field and unit come first in
// Cases().
constexpr std::size_t kRowDialogs = 9;

// The labels in the grid row of `field`: its caption and unit.
QList<QLabel*> LabelsInRowOf(QWidget* field) {
    QList<QLabel*> labels;
    for (auto* grid : field->parentWidget()->findChildren<QGridLayout*>()) {
        const int at = grid->indexOf(field);
        if (at < 0) {
            continue;
        }
        int row = 0;
        int column = 0;
        int rowSpan = 0;
        int columnSpan = 0;
        grid->getItemPosition(at, &row, &column, &rowSpan, &columnSpan);
        for (int c = 0; c < grid->columnCount(); ++c) {
            QLayoutItem* item = grid->itemAtPosition(row, c);
            if (auto* label = qobject_cast<QLabel*>(item != nullptr ? item->widget() : nullptr)) {
                labels << label;
            }
        }
    }
    return labels;
}

QString FocusName() {
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr) {
        return QStringLiteral("<none>");
    }
    return focus->objectName().isEmpty() ? QString::fromLatin1(focus->metaObject()->className())
                                         : focus->objectName();
}

}  // namespace

class DialogRulesTest : public QObject {
    Q_OBJECT

private slots:
    void opensInTheFirstFieldAndTabsInOrder_data() {
        QTest::addColumn<int>("index");
        const std::vector<Case> cases = Cases();
        for (std::size_t i = 0; i < cases.size(); ++i) {
            QTest::newRow(cases[i].name) << static_cast<int>(i);
        }
    }
    void opensInTheFirstFieldAndTabsInOrder() {
        QFETCH(int, index);
        const Case c = Cases()[static_cast<std::size_t>(index)];
        World world;
        std::unique_ptr<QDialog> dlg = c.make(world);
        dlg->show();
        QVERIFY(dlg->isVisible());
        QApplication::setActiveWindow(dlg.get());
        QVERIFY(QTest::qWaitForWindowActive(dlg.get()));

        auto* first = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (first != nullptr) {
            QVERIFY(!first->text().isEmpty());
            QCOMPARE(first->selectedText(), first->text());
        }
        QStringList order{FocusName()};
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (FocusName() == order.front()) {
                break;
            }
            if (FocusName() != order.back()) {  // Tab also walks a time's sections
                order << FocusName();
            }
        }
        QCOMPARE(order, c.order);
        QVERIFY2(dlg->width() >= DialogWidthForTitle(dlg.get()), qPrintable(dlg->windowTitle()));

        // Enter in the first field means OK, whatever the field is.
        QCOMPARE(FocusName(), c.order.front());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(!dlg->isVisible());
        QCOMPARE(world.sink.Texts(), QStringList{});
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
    }

    // While a write runs, a field's caption and unit are greyed with it.
    void labelsAreGreyedWithTheirFields_data() {
        QTest::addColumn<int>("index");
        const std::vector<Case> cases = Cases();
        for (std::size_t i = 0; i < kRowDialogs; ++i) {
            QTest::newRow(cases[i].name) << static_cast<int>(i);
        }
    }
    void labelsAreGreyedWithTheirFields() {
        QFETCH(int, index);
        World world;
        std::unique_ptr<QDialog> dlg = Cases()[static_cast<std::size_t>(index)].make(world);
        dlg->show();
        world.panel.Hold();
        const auto release = qScopeGuard([&] { world.panel.Release(); });
        dlg->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        QVERIFY(world.panel.WaitUntilWriting(std::chrono::seconds(5)));
        int greyedRows = 0;
        for (QLineEdit* edit : dlg->findChildren<QLineEdit*>()) {
            QVERIFY(!edit->isEnabled());
            const QList<QLabel*> labels = LabelsInRowOf(edit);
            for (QLabel* label : labels) {
                QVERIFY2(!label->isEnabled(), qPrintable(label->text()));
            }
            greyedRows += labels.isEmpty() ? 0 : 1;
        }
        QVERIFY(greyedRows > 0);
        world.panel.Release();
        QTRY_VERIFY(!dlg->isVisible());
    }
};

}  // namespace tk358::test

QTEST_MAIN(tk358::test::DialogRulesTest)
#include "dialog_rules_test.moc"
