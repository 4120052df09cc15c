// SPDX-License-Identifier: GPL-3.0-or-later
// The dialogs end to end: a panel session on a simulated panel over a
// pseudo-terminal. After OK the simulated panel holds what was typed; with the
// panel silent the operator gets the failure and the dialog keeps the values.

#include <QCalendarWidget>
#include <QCheckBox>
#include <QTimeEdit>
#include <QtTest>
#include <chrono>
#include <memory>

#include "dialog_driver.h"
#include "dialogs/cv_dlg.h"
#include "dialogs/pid_dlg.h"
#include "dialogs/sp_time_value_dlg.h"
#include "dialogs/sp_value_dlg.h"
#include "dialogs/time_dlg.h"
#include "link/panel_clock.h"
#include "session_fixture.h"
#include "widget/dialogs/recording_sink.h"

using namespace std::chrono_literals;

namespace tk358::test {
namespace {

// Writes to a silent panel give up after their retries; four of them in a row
// take several seconds, more under the sanitizers.
constexpr int kWriteLimitMs = 30000;

// A simulated panel of `kind` sending its status lines every 100 ms, and a
// session that has been through its start sequence with it.
std::unique_ptr<SessionRig> StartedRig(int kind) {
    auto rig = std::make_unique<SessionRig>(kind, StatusEvery(100ms));
    if (!rig->Start()) {
        return nullptr;
    }
    return rig;
}

// Waits until the session has received what a dialog opens from.
template <class Record>
bool WaitForRecord(const PanelSession& session, int (PanelSession::*get)(Record&) const) {
    return WaitUntil(
        [&] {
            Record record;
            return (session.*get)(record) == kStatusOk && record.valid != 0;
        },
        5s);
}

uint32_t PanelSeconds(const QDateTime& when) {
    SystemTime t;
    t.year = static_cast<uint16_t>(when.date().year());
    t.month = static_cast<uint16_t>(when.date().month());
    t.day = static_cast<uint16_t>(when.date().day());
    t.hour = static_cast<uint16_t>(when.time().hour());
    t.minute = static_cast<uint16_t>(when.time().minute());
    t.second = static_cast<uint16_t>(when.time().second());
    return EncodePanelSeconds(t).value_or(0);
}

QDateTime Shown(const CTimeDlg& dlg) {
    return QDateTime(Field<QCalendarWidget>(dlg, "dateCalendar")->selectedDate(),
                     Field<QTimeEdit>(dlg, "timeEdit")->time());
}

}  // namespace

class DialogsSimTest : public QObject {
    Q_OBJECT

private slots:
    void singleSetpointReachesThePanel() {
        auto rig = StartedRig(sim::kKindTemperature);
        QVERIFY(rig != nullptr);
        QVERIFY(WaitForRecord(rig->session, &PanelSession::GetSetpointReading));
        RecordingSink sink;
        CSPValueDlg dlg(rig->session);
        dlg.SetMessageSink(&sink);
        QVERIFY(ShowActive(dlg));
        Type(Field(dlg, "setpointEdit"), "42,57");
        ClickOk(dlg);
        QTRY_COMPARE_WITH_TIMEOUT(dlg.result(), int(QDialog::Accepted), kWriteLimitMs);
        QCOMPARE(rig->sim.Parameter(0), 4257);
        QVERIFY(sink.boxes.empty());
    }

    void dualSetpointsAndTimesReachThePanel() {
        auto rig = StartedRig(sim::kKindDualZone);
        QVERIFY(rig != nullptr);
        RecordingSink sink;
        CSPTimeValueDlg dlg(rig->session);
        dlg.SetMessageSink(&sink);
        QVERIFY(ShowActive(dlg));
        const QStringList fields = {"setpoint1Edit", "hour1Edit", "minute1Edit",
                                    "setpoint2Edit", "hour2Edit", "minute2Edit"};
        const QStringList typed = {"21,46", "6", "35", "-18", "22", "0"};
        for (int i = 0; i < fields.size(); ++i) {
            Type(Field(dlg, fields[i]), typed[i]);
        }
        ClickOk(dlg);
        QTRY_COMPARE_WITH_TIMEOUT(dlg.result(), int(QDialog::Accepted), kWriteLimitMs);
        QCOMPARE(rig->sim.Parameter(132), 2150);
        QCOMPARE(rig->sim.Parameter(137), -1800);
        QCOMPARE(rig->sim.Parameter(138), 39);
        QCOMPARE(rig->sim.Parameter(139), 132);
        QVERIFY(sink.boxes.empty());
    }

    void pidReachesThePanel_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("zone");
        QTest::addColumn<QList<int>>("codes");  // Kp, Ti, Td, Ta
        QTest::newRow("temperature controller") << 0 << 0 << QList<int>{1, 6, 7, 8};
        QTest::newRow("dual zone, zone 2") << 3 << 1 << QList<int>{133, 134, 135, 136};
    }
    void pidReachesThePanel() {
        QFETCH(int, kind);
        QFETCH(int, zone);
        QFETCH(QList<int>, codes);
        auto rig = StartedRig(kind);
        QVERIFY(rig != nullptr);
        RecordingSink sink;
        CPIDDlg dlg(rig->session, zone);
        dlg.SetMessageSink(&sink);
        QVERIFY(ShowActive(dlg));
        Type(Field(dlg, "kpEdit"), "12,34");
        Type(Field(dlg, "tiEdit"), "120");
        Type(Field(dlg, "tdEdit"), "30");
        Type(Field(dlg, "taEdit"), "5");
        ClickOk(dlg);
        QTRY_COMPARE_WITH_TIMEOUT(dlg.result(), int(QDialog::Accepted), kWriteLimitMs);
        const QList<int> expected = {123, 120, 30, 5};
        for (int i = 0; i < codes.size(); ++i) {
            QCOMPARE(rig->sim.Parameter(codes[i]), expected[i]);
        }
        // The session read the written codes back: the dialog opens with them.
        CPIDDlg again(rig->session, zone);
        again.show();
        QCOMPARE(Field(again, "kpEdit")->text(), QStringLiteral("12.3"));
    }

    void cvAndItsLockReachThePanel_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("temperature controller") << 0;
        QTest::newRow("dual zone") << 3;
    }
    void cvAndItsLockReachThePanel() {
        QFETCH(int, kind);
        auto rig = StartedRig(kind);
        QVERIFY(rig != nullptr);
        QVERIFY(WaitForRecord(rig->session, &PanelSession::GetRegulatorState));
        RecordingSink sink;
        CCvDlg dlg(rig->session);
        dlg.SetMessageSink(&sink);
        QVERIFY(ShowActive(dlg));
        Type(Field(dlg, "cvEdit"), "33,33");
        Field<QCheckBox>(dlg, "cvLockCheck")->setChecked(true);
        ClickOk(dlg);
        QTRY_COMPARE_WITH_TIMEOUT(dlg.result(), int(QDialog::Accepted), kWriteLimitMs);
        QVERIFY(sink.boxes.empty());
        const auto [cv, locked] = rig->sim.WithPanel([](sim::SimPanel& panel) {
            return std::pair{panel.Values().regulator.controlValue, panel.CvLock()};
        });
        QCOMPARE(float(cv), 33.33f);  // the panel keeps it in single precision
        QVERIFY(locked);
    }

    void clockReachesThePanel() {
        auto rig = StartedRig(sim::kKindDualZone);
        QVERIFY(rig != nullptr);
        QVERIFY(WaitForRecord(rig->session, &PanelSession::GetPanelClock));
        RecordingSink sink;
        CTimeDlg dlg(rig->session);
        dlg.SetMessageSink(&sink);
        QVERIFY(ShowActive(dlg));
        const QDateTime chosen(QDate(2031, 7, 15), QTime(8, 9, 10));
        Field<QCalendarWidget>(dlg, "dateCalendar")->setSelectedDate(chosen.date());
        Field<QTimeEdit>(dlg, "timeEdit")->setTime(chosen.time());
        ClickOk(dlg);
        QTRY_COMPARE_WITH_TIMEOUT(dlg.result(), int(QDialog::Accepted), kWriteLimitMs);
        const uint32_t held =
            rig->sim.WithPanel([](sim::SimPanel& panel) { return panel.ClockSeconds(); });
        QVERIFY2(held >= PanelSeconds(chosen) && held <= PanelSeconds(chosen) + 5,
                 qPrintable(QString::number(held)));
        QVERIFY(sink.boxes.empty());
    }

    void timeDialogFollowsTheSimulatedClock() {
        auto rig = StartedRig(sim::kKindDualZone);
        QVERIFY(rig != nullptr);
        const QDateTime start(QDate(2027, 12, 31), QTime(23, 59, 57));
        rig->sim.WithPanel(
            [&](sim::SimPanel& panel) { panel.SetClockSeconds(PanelSeconds(start)); });
        QVERIFY(WaitUntil(
            [&] {
                PanelClock clock;
                rig->session.GetPanelClock(clock);
                return clock.valid != 0 && clock.time.year == 2027;
            },
            5s));
        CTimeDlg dlg(rig->session);
        QVERIFY(ShowActive(dlg));
        QVERIFY(Shown(dlg) >= start);
        QTRY_VERIFY_WITH_TIMEOUT(Shown(dlg) >= QDateTime(QDate(2028, 1, 1), QTime(0, 0, 0)), 10000);
    }

    void aSilentPanelKeepsTheDialogOpen_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("set point") << "single" << QStringList{"Nie można ustawić wartości zadanej"};
        QTest::newRow("set points and times")
            << "dual"
            << QStringList{"Nie można ustawić wartości zadanej 1",
                           "Nie można ustawić wartości zadanej 2",
                           "Nie można ustawić czasu dla wartości zadanej 1",
                           "Nie można ustawić czasu dla wartości zadanej 2"};
        QTest::newRow("clock") << "clock" << QStringList{"Nie można zapisać"};
    }
    void aSilentPanelKeepsTheDialogOpen() {
        QFETCH(QString, dialog);
        QFETCH(QStringList, messages);
        auto rig = StartedRig(dialog == "single" ? sim::kKindTemperature : sim::kKindDualZone);
        QVERIFY(rig != nullptr);
        std::unique_ptr<PanelDialog> dlg;
        QStringList fields;  // the edits typed into
        QStringList controls = {"okButton", "cancelButton"};
        if (dialog == "single") {
            QVERIFY(WaitForRecord(rig->session, &PanelSession::GetSetpointReading));
            dlg = std::make_unique<CSPValueDlg>(rig->session);
            fields = {"setpointEdit"};
        } else if (dialog == "dual") {
            dlg = std::make_unique<CSPTimeValueDlg>(rig->session);
            fields = {"setpoint1Edit", "hour1Edit", "minute1Edit",
                      "setpoint2Edit", "hour2Edit", "minute2Edit"};
        } else {
            QVERIFY(WaitForRecord(rig->session, &PanelSession::GetPanelClock));
            dlg = std::make_unique<CTimeDlg>(rig->session);
            controls << "dateCalendar"
                     << "timeEdit"
                     << "pcTimeButton";
        }
        controls << fields;
        RecordingSink sink;
        dlg->SetMessageSink(&sink);
        QVERIFY(ShowActive(*dlg));
        rig->sim.SilenceUntilResumed();
        QStringList typed;
        if (dialog == "clock") {
            Field<QTimeEdit>(*dlg, "timeEdit")->setTime(QTime(12, 34, 56));
            Field<QCalendarWidget>(*dlg, "dateCalendar")->setSelectedDate(QDate(2030, 1, 2));
        } else {
            for (int i = 0; i < fields.size(); ++i) {
                typed << QString::number(i + 1);
                Type(Field(*dlg, fields[i]), typed.last());
            }
            typed = {};
            for (const QString& name : fields) {
                typed << Field(*dlg, name)->text();  // as left after leaving each field
            }
        }
        ClickOk(*dlg);
        QTRY_VERIFY_WITH_TIMEOUT(!dlg->IsWriting(), kWriteLimitMs);
        QCOMPARE(sink.Texts(), messages);
        QVERIFY(dlg->isVisible());
        for (const QString& name : controls) {
            QVERIFY2(dlg->findChild<QWidget*>(name)->isEnabled(), qPrintable(name));
        }
        if (dialog == "clock") {
            QCOMPARE(Shown(static_cast<CTimeDlg&>(*dlg)),
                     QDateTime(QDate(2030, 1, 2), QTime(12, 34, 56)));
            return;
        }
        QStringList kept;
        for (const QString& name : fields) {
            kept << Field(*dlg, name)->text();
        }
        QCOMPARE(kept, typed);
    }
};

}  // namespace tk358::test

QTEST_MAIN(tk358::test::DialogsSimTest)
#include "dialogs_sim_test.moc"
