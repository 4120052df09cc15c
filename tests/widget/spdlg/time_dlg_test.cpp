// SPDX-License-Identifier: GPL-3.0-or-later
// "Data i czas": following the panel's or the PC's clock, standing still after
// the operator's change, and the clock that reaches the panel.

#include <QCalendarWidget>
#include <QTableView>
#include <QTimeEdit>
#include <QtTest>
#include <chrono>
#include <memory>

#include "dialog_driver.h"
#include "dialogs/time_dlg.h"
#include "support/fake_panel.h"
#include "support/time_dlg_probe.h"
#include "widget/dialogs/recording_sink.h"

using namespace std::chrono_literals;

namespace tk358::test {
namespace {

SystemTime At(int year, int month, int day, int hour, int minute, int second) {
    SystemTime t;
    t.year = static_cast<uint16_t>(year);
    t.month = static_cast<uint16_t>(month);
    t.day = static_cast<uint16_t>(day);
    t.hour = static_cast<uint16_t>(hour);
    t.minute = static_cast<uint16_t>(minute);
    t.second = static_cast<uint16_t>(second);
    return t;
}

const QStringList kControls = {"dateCalendar", "timeEdit", "pcTimeButton", "okButton",
                               "cancelButton"};

// A dialog over a panel whose clock reads 2024-02-29 23:59:58, with a PC clock
// the test moves.
struct Fixture {
    Fixture() {
        panel.clock.valid = 1;
        panel.clock.time = At(2024, 2, 29, 23, 59, 58);
        dialog = std::make_unique<CTimeDlg>(panel, nullptr, [pc = pcNow] { return *pc; });
        dialog->SetMessageSink(&sink);
    }
    QCalendarWidget* Calendar() const { return Field<QCalendarWidget>(*dialog, "dateCalendar"); }
    QTimeEdit* Time() const { return Field<QTimeEdit>(*dialog, "timeEdit"); }
    QDateTime Shown() const { return QDateTime(Calendar()->selectedDate(), Time()->time()); }

    FakePanel panel;
    RecordingSink sink;
    std::shared_ptr<QDateTime> pcNow =
        std::make_shared<QDateTime>(QDate(2031, 7, 15), QTime(8, 9, 10, 500));
    std::unique_ptr<CTimeDlg> dialog;
};

const QDateTime kPanelShown(QDate(2024, 2, 29), QTime(23, 59, 58));

}  // namespace

class TimeDlgTest : public QObject {
    Q_OBJECT

private slots:
    void openingNeedsAPanelClock_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("valid");
        QTest::newRow("no answer") << 3 << true;
        QTest::newRow("never received") << 0 << false;
    }
    void openingNeedsAPanelClock() {
        QFETCH(int, status);
        QFETCH(bool, valid);
        Fixture f;
        f.panel.linkStatus = status;
        f.panel.clock.valid = valid ? 1 : 0;
        QCOMPARE(f.dialog->exec(), int(QDialog::Rejected));
        QCOMPARE(f.sink.Texts(), QStringList{"Nie można odczytać czasu"});
        QVERIFY(!TimeDlgProbe::FollowsPanel(*f.dialog));
    }

    void followsThePanelClock() {
        Fixture f;
        QVERIFY(ShowActive(*f.dialog));
        QCOMPARE(f.dialog->windowTitle(), QStringLiteral("Data i czas"));
        QCOMPARE(f.Shown(), kPanelShown);
        QCOMPARE(f.Time()->displayFormat(), QStringLiteral("HH:mm:ss"));
        f.panel.clock.time = At(2024, 3, 1, 0, 0, 1);
        QTRY_COMPARE(f.Shown(), QDateTime(QDate(2024, 3, 1), QTime(0, 0, 1)));
        QVERIFY(TimeDlgProbe::FollowsPanel(*f.dialog));
        QVERIFY(!TimeDlgProbe::FollowsPc(*f.dialog));
    }

    void pcTimeFollowsThePc() {
        Fixture f;
        QVERIFY(ShowActive(*f.dialog));
        QTest::mouseClick(Button(*f.dialog, "pcTimeButton"), Qt::LeftButton);
        QCOMPARE(f.Shown(), QDateTime(QDate(2031, 7, 15), QTime(8, 9, 10)));
        QVERIFY(!TimeDlgProbe::FollowsPanel(*f.dialog));
        QVERIFY(TimeDlgProbe::FollowsPc(*f.dialog));
        f.panel.clock.time = At(2024, 3, 1, 0, 0, 1);  // no longer followed
        *f.pcNow = QDateTime(QDate(2031, 7, 16), QTime(0, 0, 0));
        QTRY_COMPARE(f.Shown(), *f.pcNow);
    }

    void anOperatorChangeStopsFollowing_data() {
        QTest::addColumn<bool>("pcFirst");
        QTest::addColumn<QString>("change");
        QTest::newRow("time picker, panel") << false << "time";
        QTest::newRow("calendar, panel") << false << "calendar";
        QTest::newRow("calendar page, panel") << false << "page";
        QTest::newRow("time picker, PC") << true << "time";
        QTest::newRow("calendar, PC") << true << "calendar";
    }
    void anOperatorChangeStopsFollowing() {
        QFETCH(bool, pcFirst);
        QFETCH(QString, change);
        Fixture f;
        QVERIFY(ShowActive(*f.dialog));
        if (pcFirst) {
            QTest::mouseClick(Button(*f.dialog, "pcTimeButton"), Qt::LeftButton);
        }
        if (change == "time") {
            f.Time()->setFocus();
            f.Time()->setCurrentSection(QDateTimeEdit::HourSection);
            QTest::keyClick(f.Time(), Qt::Key_Down);
        } else if (change == "calendar") {
            auto* view = f.Calendar()->findChild<QTableView*>();
            view->setFocus();
            QTest::keyClick(view, Qt::Key_Right);
        } else {
            f.Calendar()->showNextMonth();  // the operator leafing to another month
        }
        QVERIFY(!TimeDlgProbe::FollowsPanel(*f.dialog));
        QVERIFY(!TimeDlgProbe::FollowsPc(*f.dialog));
        const QDateTime chosen = f.Shown();
        f.panel.clock.time = At(2025, 1, 1, 1, 1, 1);
        *f.pcNow = QDateTime(QDate(2032, 1, 1), QTime(2, 2, 2));
        QTest::qWait(300);
        QCOMPARE(f.Shown(), chosen);
    }

    void okWritesTheChosenDateAndTime_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("call");  // empty: refused
        QTest::newRow("1 January 2000")
            << QDate(2000, 1, 1) << QTime(0, 0, 0) << "SetPanelClock(2000-01-01 w6 00:00:00.000)";
        QTest::newRow("leap day") << QDate(2024, 2, 29) << QTime(13, 14, 15, 999)
                                  << "SetPanelClock(2024-02-29 w4 13:14:15.000)";
        QTest::newRow("last day of 2099") << QDate(2099, 12, 31) << QTime(23, 59, 59)
                                          << "SetPanelClock(2099-12-31 w4 23:59:59.000)";
        QTest::newRow("31 December 1999") << QDate(1999, 12, 31) << QTime(23, 59, 59) << "";
    }
    void okWritesTheChosenDateAndTime() {
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QFETCH(QString, call);
        Fixture f;
        QVERIFY(ShowActive(*f.dialog));
        f.Calendar()->setSelectedDate(date);
        f.Time()->setTime(time);
        ClickOk(*f.dialog);
        if (call.isEmpty()) {
            QCOMPARE(f.sink.Texts(),
                     QStringList{"Ustawiona data powinna być większa niż 1 styczeń 2000."});
            QCOMPARE(f.sink.boxes.front().icon, MessageIcon::Information);
            QVERIFY(f.Calendar()->isAncestorOf(QApplication::focusWidget()));
            QVERIFY(f.dialog->isVisible());
            QTest::qWait(20);
            QVERIFY(f.panel.Calls().empty());
            return;
        }
        QTRY_COMPARE(f.dialog->result(), int(QDialog::Accepted));
        QCOMPARE(ToQStringList(f.panel.CallTexts()), QStringList{call});
        QVERIFY(f.sink.boxes.empty());
    }

    // The clock followed has moved on since the last tick: OK takes it as it is
    // now, so an unchanged panel clock is written as itself (and the session
    // then sends nothing), never set back.
    void okTakesTheFollowedClockAsItIsNow_data() {
        QTest::addColumn<bool>("pc");
        QTest::addColumn<QString>("call");
        QTest::newRow("panel") << false << "SetPanelClock(2024-03-01 w5 00:00:00.000)";
        QTest::newRow("PC") << true << "SetPanelClock(2031-07-15 w2 08:09:11.000)";
    }
    void okTakesTheFollowedClockAsItIsNow() {
        QFETCH(bool, pc);
        QFETCH(QString, call);
        Fixture f;
        QVERIFY(ShowActive(*f.dialog));
        if (pc) {
            QTest::mouseClick(Button(*f.dialog, "pcTimeButton"), Qt::LeftButton);
        }
        f.panel.clock.time = At(2024, 3, 1, 0, 0, 0);
        f.panel.clock.time.dayOfWeek = 5;
        *f.pcNow = QDateTime(QDate(2031, 7, 15), QTime(8, 9, 11, 250));
        ClickOk(*f.dialog);  // before the next tick
        QTRY_COMPARE(f.dialog->result(), int(QDialog::Accepted));
        QCOMPARE(ToQStringList(f.panel.CallTexts()), QStringList{call});
    }

    void aFailedWriteKeepsTheChoice() {
        Fixture f;
        f.panel.ScriptStatuses({kStatusFailed});
        QVERIFY(ShowActive(*f.dialog));
        f.Calendar()->setSelectedDate(QDate(2001, 3, 1));
        f.Time()->setTime(QTime(12, 0, 0));
        ClickOk(*f.dialog);
        QTRY_VERIFY(!f.dialog->IsWriting());
        QCOMPARE(f.sink.Texts(), QStringList{"Nie można zapisać"});
        QVERIFY(f.dialog->isVisible());
        for (const QString& name : kControls) {
            QVERIFY2(f.dialog->findChild<QWidget*>(name)->isEnabled(), qPrintable(name));
        }
        QTest::qWait(300);
        QCOMPARE(f.Shown(), QDateTime(QDate(2001, 3, 1), QTime(12, 0, 0)));
    }

    void theClockRunsOnWhileTheWorkerWrites() {
        Fixture f;
        f.panel.Hold();
        QVERIFY(ShowActive(*f.dialog));
        ClickOk(*f.dialog);
        QVERIFY(f.panel.WaitUntilWriting(5s));
        for (const QString& name : kControls) {
            QVERIFY2(!f.dialog->findChild<QWidget*>(name)->isEnabled(), qPrintable(name));
        }
        f.panel.clock.time = At(2024, 3, 1, 0, 0, 0);
        QTRY_COMPARE(f.Shown(), QDateTime(QDate(2024, 3, 1), QTime(0, 0, 0)));
        f.panel.Release();
        QTRY_COMPARE(f.dialog->result(), int(QDialog::Accepted));
        QCOMPARE(ToQStringList(f.panel.CallTexts()),
                 QStringList{"SetPanelClock(2024-02-29 w4 23:59:58.000)"});
        QVERIFY(!TimeDlgProbe::FollowsPanel(*f.dialog));  // a closed dialog follows nothing
    }
};

}  // namespace tk358::test

QTEST_MAIN(tk358::test::TimeDlgTest)
#include "time_dlg_test.moc"
