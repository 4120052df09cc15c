// SPDX-License-Identifier: GPL-3.0-or-later
// The comparison dialog: its rows and ticks, what OK writes, and that
// closing it writes nothing.

#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "dialogs/compare_dlg.h"
#include "link/parameter_codes.h"
#include "recording_sink.h"
#include "support/fake_panel.h"

namespace tk358::test {
namespace {

using namespace param;

// A ventilation controller's set: the panel's and a file differing in T2
// (-20.0 against 5.0 °C) and the airing time (10 against 15 min).
ParameterBackup VentilationSet(int t2, int airingTime) {
    ParameterBackup set;
    set.panel = {kVentilationController, "TK-358W", 1, 105, 12, "2026-12-08T10:15:00+01:00", "t"};
    for (const int code : PanelSetCodes(kVentilationController, 105)) {
        const int value = code == kVentT2 ? t2 : code == kAiringTime ? airingTime : 1;
        set.values.push_back({code, static_cast<double>(value)});
    }
    return set;
}

QTreeWidget* Rows(const CCompareDlg& dialog) {
    return dialog.findChild<QTreeWidget*>(QStringLiteral("compareRows"));
}

class CompareDlgTest : public QObject {
    Q_OBJECT

private slots:
    void rowsMarkAndTickTheDifferences() {
        FakePanel panel;
        panel.Connect(kVentilationController);
        CCompareDlg dialog(panel, VentilationSet(-200, 10), VentilationSet(50, 15),
                           QStringLiteral("/tmp/w.tk358par"));
        dialog.show();
        QTreeWidget* rows = Rows(dialog);
        QCOMPARE(rows->topLevelItemCount(), 9);
        const struct {
            int row;
            const char* label;
            const char* panelText;
            const char* fileText;
            bool ticked;
        } cases[] = {
            {0, "Próg T1", "0.1", "0.1", false},
            {1, "Próg T2", "-20.0", "5.0", true},
            {6, "Czas wietrzenia CP", "10", "15", true},
            {8, "Próg wietrzenia ZP", "0.1", "0.1", false},
        };
        for (const auto& c : cases) {
            const QTreeWidgetItem* item = rows->topLevelItem(c.row);
            QCOMPARE(item->text(CCompareDlg::kLabelColumn), QString::fromUtf8(c.label));
            QCOMPARE(item->text(CCompareDlg::kPanelColumn), QString::fromUtf8(c.panelText));
            QCOMPARE(item->text(CCompareDlg::kFileColumn), QString::fromUtf8(c.fileText));
            QCOMPARE((item->flags() & Qt::ItemIsUserCheckable) != 0, c.ticked);
            QCOMPARE(item->data(CCompareDlg::kLabelColumn, Qt::CheckStateRole).isValid(), c.ticked);
        }
        QCOMPARE(dialog.TickedCodes(), (std::vector<int>{kVentT2, kAiringTime}));
    }

    // OK writes the ticked rows only, the dialog stays open and shows how
    // each ended; this panel keeps its values, which the dialog says.
    void okWritesOnlyTheTickedRows() {
        FakePanel panel;
        panel.Connect(kVentilationController);
        for (const auto& [code, value] : VentilationSet(-200, 10).values) {
            panel.parameters.Store(code, static_cast<int>(value));
        }
        RecordingSink sink;
        CCompareDlg dialog(panel, VentilationSet(-200, 10), VentilationSet(50, 15),
                           QStringLiteral("w.tk358par"));
        dialog.SetMessageSink(&sink);
        dialog.show();
        Rows(dialog)->topLevelItem(1)->setCheckState(CCompareDlg::kLabelColumn, Qt::Unchecked);
        QTest::keyClick(&dialog, Qt::Key_Return);
        QVERIFY(dialog.IsWriting());
        QTRY_VERIFY(!dialog.IsWriting());
        QVERIFY(dialog.isVisible());
        const std::vector<std::string> calls = panel.CallTexts();
        QCOMPARE(calls.front(),
                 std::string("WriteVentilationParameters(1, -200, 1, 1, 1, 1, 15, 1, 1)"));
        QCOMPARE(std::count_if(calls.begin(), calls.end(),
                               [](const std::string& c) { return c.rfind("Write", 0) == 0; }),
                 1);
        const QTreeWidgetItem* written = Rows(dialog)->topLevelItem(6);
        QVERIFY(written->text(CCompareDlg::kStateColumn).startsWith(QStringLiteral("niezapisany")));
        QCOMPARE(Rows(dialog)->topLevelItem(1)->text(CCompareDlg::kStateColumn),
                 QStringLiteral("różni się"));
        // Left unticked by the technician, it stays so for the next OK.
        QCOMPARE(Rows(dialog)->topLevelItem(1)->checkState(CCompareDlg::kLabelColumn),
                 Qt::Unchecked);
        QVERIFY(sink.boxes.empty());
    }

    void closingOrNothingTickedWritesNothing() {
        FakePanel panel;
        panel.Connect(kVentilationController);
        RecordingSink sink;
        CCompareDlg dialog(panel, VentilationSet(-200, 10), VentilationSet(50, 15),
                           QStringLiteral("w.tk358par"));
        dialog.SetMessageSink(&sink);
        dialog.show();
        for (const int row : {1, 6}) {
            Rows(dialog)->topLevelItem(row)->setCheckState(CCompareDlg::kLabelColumn,
                                                           Qt::Unchecked);
        }
        QTest::keyClick(&dialog, Qt::Key_Return);
        QCOMPARE(sink.Texts(),
                 QStringList{QStringLiteral("Nie zaznaczono żadnej wartości do zapisania")});
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(panel.CallTexts().empty());
    }
};

}  // namespace
}  // namespace tk358::test

QTEST_MAIN(tk358::test::CompareDlgTest)
#include "compare_dlg_test.moc"
