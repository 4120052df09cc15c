// SPDX-License-Identifier: GPL-3.0-or-later
// "Wartość zadana": what the dialogs show, what they refuse and what reaches the panel.

#include <QLineEdit>
#include <QtTest>
#include <chrono>

#include "dialog_driver.h"
#include "dialogs/sp_time_value_dlg.h"
#include "dialogs/sp_value_dlg.h"
#include "support/fake_panel.h"
#include "widget/dialogs/recording_sink.h"

using namespace std::chrono_literals;

namespace tk358::test {
namespace {

const QString kSetpointRefused = QStringLiteral("Wartość zadana poza dopuszczalnym zakresem");
const QString kSetpoint1Refused = QStringLiteral("Wartość zadana 1 poza dopuszczalnym zakresem");
const QString kSetpoint2Refused = QStringLiteral("Wartość zadana 2 poza dopuszczalnym zakresem");
const QString kTime1Refused = QStringLiteral("Błąd w ustawieniu czasu dla wartości zadanej 1");
const QString kTime2Refused = QStringLiteral("Błąd w ustawieniu czasu dla wartości zadanej 2");
const QString kReadFailure = QStringLiteral("Nie można odczytać wartości zadanej");

const QStringList kDualFields = {
    QStringLiteral("setpoint1Edit"), QStringLiteral("hour1Edit"), QStringLiteral("minute1Edit"),
    QStringLiteral("setpoint2Edit"), QStringLiteral("hour2Edit"), QStringLiteral("minute2Edit"),
};

// A dual-zone controller whose parameters have been read.
void SetDualZone(FakePanel& panel, int sp1, int sp2, int t1, int t2) {
    panel.parameters.Store(132, sp1);
    panel.parameters.Store(137, sp2);
    panel.parameters.Store(138, t1);
    panel.parameters.Store(139, t2);
    panel.parameters.SetReadComplete(kDualZoneController);
}

QStringList Texts(const QWidget& dialog, const QStringList& names) {
    QStringList texts;
    for (const QString& name : names) {
        texts << Field(dialog, name)->text();
    }
    return texts;
}

bool AllEnabled(const QWidget& dialog, const QStringList& names) {
    for (const QString& name : names + QStringList{"okButton", "cancelButton"}) {
        if (!dialog.findChild<QWidget*>(name)->isEnabled()) {
            return false;
        }
    }
    return true;
}

}  // namespace

class SetpointDlgTest : public QObject {
    Q_OBJECT

private slots:
    void singleShowsTheReading_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("setpoint");
        QTest::addColumn<QString>("shown");  // empty: refused with the read failure
        QTest::newRow("2345") << 0 << true << 2345 << "23.45";
        QTest::newRow("negative") << 0 << true << -5 << "-0.05";
        QTest::newRow("upper limit") << 0 << true << 55000 << "550.00";
        QTest::newRow("no answer") << 3 << true << 2345 << "";
        QTest::newRow("never received") << 0 << false << 2345 << "";
    }
    void singleShowsTheReading() {
        QFETCH(int, status);
        QFETCH(bool, valid);
        QFETCH(int, setpoint);
        QFETCH(QString, shown);
        FakePanel panel;
        panel.linkStatus = status;
        panel.setpoint.setpoint = setpoint;
        panel.setpoint.valid = valid ? 1 : 0;
        RecordingSink sink;
        CSPValueDlg dlg(panel);
        dlg.SetMessageSink(&sink);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Wartość zadana"));
        if (shown.isEmpty()) {
            QVERIFY(!dlg.isVisible());
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
            QCOMPARE(sink.Texts(), QStringList{kReadFailure});
            return;
        }
        QCOMPARE(Field(dlg, "setpointEdit")->text(), shown);
        QVERIFY(sink.boxes.empty());
    }

    void singleWritesOrRefuses_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("calls");  // empty: refused
        QTest::newRow("comma") << "23,45" << QStringList{"WriteSetpoint(2345, 0)"};
        QTest::newRow("truncated toward zero") << "12.349" << QStringList{"WriteSetpoint(1234, 0)"};
        QTest::newRow("negative truncated") << "-0.059" << QStringList{"WriteSetpoint(-5, 0)"};
        QTest::newRow("upper limit") << "550" << QStringList{"WriteSetpoint(55000, 0)"};
        QTest::newRow("lower limit") << "-200,00" << QStringList{"WriteSetpoint(-20000, 0)"};
        QTest::newRow("above") << "550.01" << QStringList{};
        QTest::newRow("below") << "-200.01" << QStringList{};
        QTest::newRow("huge") << "1e30" << QStringList{};
        QTest::newRow("emptied") << "" << QStringList{};
    }
    void singleWritesOrRefuses() {
        QFETCH(QString, typed);
        QFETCH(QStringList, calls);
        FakePanel panel;
        panel.setpoint.setpoint = 2000;
        panel.setpoint.valid = 1;
        RecordingSink sink;
        CSPValueDlg dlg(panel);
        dlg.SetMessageSink(&sink);
        QVERIFY(ShowActive(dlg));
        Type(Field(dlg, "setpointEdit"), typed);
        ClickOk(dlg);
        if (calls.isEmpty()) {
            QCOMPARE(sink.Texts(), QStringList{kSetpointRefused});
            QCOMPARE(FocusName(), QStringLiteral("setpointEdit"));
            QVERIFY(dlg.isVisible());
            QTest::qWait(20);
            QVERIFY(panel.Calls().empty());
            return;
        }
        QTRY_COMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(ToQStringList(panel.CallTexts()), calls);
        QVERIFY(sink.boxes.empty());
    }

    void singleFailedWriteKeepsTheTypedValue() {
        FakePanel panel;
        panel.setpoint.valid = 1;
        panel.ScriptStatuses({kStatusFailed});
        RecordingSink sink;
        CSPValueDlg dlg(panel);
        dlg.SetMessageSink(&sink);
        QVERIFY(ShowActive(dlg));
        Type(Field(dlg, "setpointEdit"), "21,5");
        ClickOk(dlg);
        QTRY_VERIFY(!dlg.IsWriting());
        QCOMPARE(sink.Texts(), QStringList{"Nie można ustawić wartości zadanej"});
        QVERIFY(dlg.isVisible());
        QVERIFY(AllEnabled(dlg, {"setpointEdit"}));
        QCOMPARE(Field(dlg, "setpointEdit")->text(), QStringLiteral("21,5"));
    }

    void dualShowsParameters_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QString>("minutes");
        QTest::newRow("23.45 rounds up") << 2345 << "23.5" << 45 << "7"
                                         << "30";
        QTest::newRow("23.41 rounds down") << 2341 << "23.4" << 143 << "23"
                                           << "50";
        QTest::newRow("negative") << -2345 << "-23.5" << 0 << "0"
                                  << "0";
        QTest::newRow("zero") << 0 << "0.0" << 13 << "2"
                              << "10";
        QTest::newRow("lowest") << -20000 << "-200.0" << 1 << "0"
                                << "10";
    }
    void dualShowsParameters() {
        QFETCH(int, stored);
        QFETCH(QString, shown);
        QFETCH(int, steps);
        QFETCH(QString, hours);
        QFETCH(QString, minutes);
        FakePanel panel;
        SetDualZone(panel, stored, stored, steps, steps);
        CSPTimeValueDlg dlg(panel);
        dlg.show();
        QVERIFY(dlg.isVisible());
        QCOMPARE(Texts(dlg, kDualFields),
                 (QStringList{shown, hours, minutes, shown, hours, minutes}));
    }

    void dualNeedsTheDualZoneParameters_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("completeKind");
        QTest::newRow("no answer") << 3 << 3;
        QTest::newRow("temperature controller read") << 0 << 0;
        QTest::newRow("nothing read") << 0 << -1;
    }
    void dualNeedsTheDualZoneParameters() {
        QFETCH(int, status);
        QFETCH(int, completeKind);
        FakePanel panel;
        panel.linkStatus = status;
        if (completeKind >= 0) {
            panel.parameters.SetReadComplete(completeKind);
        }
        RecordingSink sink;
        CSPTimeValueDlg dlg(panel);
        dlg.SetMessageSink(&sink);
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QCOMPARE(sink.Texts(), QStringList{kReadFailure});
    }

    void dualReformatsASetpointOnLeavingIt_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("half goes down") << "setpoint1Edit"
                                        << "23.45"
                                        << "23.4";
        QTest::newRow("above half goes up") << "setpoint1Edit"
                                            << "23.46"
                                            << "23.5";
        QTest::newRow("negative") << "setpoint1Edit"
                                  << "-23.46"
                                  << "-23.5";
        QTest::newRow("negative half toward zero") << "setpoint2Edit"
                                                   << "-23.45"
                                                   << "-23.4";
        QTest::newRow("small negative is 0.0") << "setpoint2Edit"
                                               << "-0.05"
                                               << "0.0";
        QTest::newRow("comma kept") << "setpoint2Edit"
                                    << "7,25"
                                    << "7,2";
        QTest::newRow("empty") << "setpoint1Edit"
                               << ""
                               << "0.0";
        QTest::newRow("hours untouched") << "hour1Edit"
                                         << "7,5"
                                         << "7,5";
    }
    void dualReformatsASetpointOnLeavingIt() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        FakePanel panel;
        SetDualZone(panel, 2000, 2000, 0, 0);
        CSPTimeValueDlg dlg(panel);
        QVERIFY(ShowActive(dlg));
        Type(Field(dlg, field), typed);
        QCOMPARE(Field(dlg, field)->text(), typed);  // nothing changes while typing
        QTest::keyClick(Field(dlg, field), Qt::Key_Tab);
        QVERIFY(FocusName() != field);
        QCOMPARE(Field(dlg, field)->text(), shown);
    }

    // Fields are typed in order and OK is clicked; a field named in `enterIn`
    // is typed last and confirmed with Enter, so it keeps its text as typed.
    void dualWritesOrRefuses_data() {
        QTest::addColumn<QStringList>("typed");  // in the order of kDualFields
        QTest::addColumn<QString>("enterIn");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QStringList kWritten = {"WriteSetpoint(2340, 0)", "WriteSetpoint(-500, 1)",
                                      "WriteSetpointTime(45, 0)", "WriteSetpointTime(143, 1)"};
        QTest::newRow("typical") << QStringList{"23,45", "7", "35", "-5", "23", "59"} << ""
                                 << kWritten << ""
                                 << "";
        QTest::newRow("entered as typed")
            << QStringList{"23.45", "0", "75", "0", "0", "0"} << "setpoint1Edit"
            << QStringList{"WriteSetpoint(2345, 0)", "WriteSetpoint(0, 1)",
                           "WriteSetpointTime(7, 0)", "WriteSetpointTime(0, 1)"}
            << ""
            << "";
        QTest::newRow("limits") << QStringList{"550", "0", "0", "-200", "0", "9"} << ""
                                << QStringList{"WriteSetpoint(55000, 0)",
                                               "WriteSetpoint(-20000, 1)",
                                               "WriteSetpointTime(0, 0)", "WriteSetpointTime(0, 1)"}
                                << ""
                                << "";
        QTest::newRow("empty set point 2 is 0")
            << QStringList{"20", "1", "0", "", "2", "0"} << "setpoint2Edit"
            << QStringList{"WriteSetpoint(2000, 0)", "WriteSetpoint(0, 1)",
                           "WriteSetpointTime(6, 0)", "WriteSetpointTime(12, 1)"}
            << ""
            << "";
        QTest::newRow("empty set point 1")
            << QStringList{"", "1", "0", "20", "2", "0"} << "setpoint1Edit" << QStringList{}
            << kSetpoint1Refused << "setpoint1Edit";
        QTest::newRow("set point 1 above") << QStringList{"550.1", "1", "0", "20", "2", "0"} << ""
                                           << QStringList{} << kSetpoint1Refused << "setpoint1Edit";
        QTest::newRow("550.01 entered")
            << QStringList{"550.01", "1", "0", "20", "2", "0"} << "setpoint1Edit" << QStringList{}
            << kSetpoint1Refused << "setpoint1Edit";
        QTest::newRow("set point 1 before time 1")
            << QStringList{"-200.1", "24", "0", "20", "2", "0"} << "" << QStringList{}
            << kSetpoint1Refused << "setpoint1Edit";
        QTest::newRow("24 h") << QStringList{"20", "24", "0", "900", "2", "0"} << ""
                              << QStringList{} << kTime1Refused << "hour1Edit";
        QTest::newRow("negative time 1") << QStringList{"20", "0", "-10", "20", "2", "0"} << ""
                                         << QStringList{} << kTime1Refused << "hour1Edit";
        QTest::newRow("set point 2 below") << QStringList{"20", "1", "0", "-200.1", "99", "0"} << ""
                                           << QStringList{} << kSetpoint2Refused << "setpoint2Edit";
        QTest::newRow("time 2 by minutes") << QStringList{"20", "1", "0", "20", "23", "60"} << ""
                                           << QStringList{} << kTime2Refused << "hour2Edit";
    }
    void dualWritesOrRefuses() {
        QFETCH(QStringList, typed);
        QFETCH(QString, enterIn);
        QFETCH(QStringList, calls);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        FakePanel panel;
        SetDualZone(panel, 2000, 2000, 0, 0);
        RecordingSink sink;
        CSPTimeValueDlg dlg(panel);
        dlg.SetMessageSink(&sink);
        QVERIFY(ShowActive(dlg));
        for (int i = 0; i < kDualFields.size(); ++i) {
            if (kDualFields[i] != enterIn) {
                Type(Field(dlg, kDualFields[i]), typed[i]);
            }
        }
        if (enterIn.isEmpty()) {
            ClickOk(dlg);
        } else {
            Type(Field(dlg, enterIn), typed[kDualFields.indexOf(enterIn)]);
            QTest::keyClick(Field(dlg, enterIn), Qt::Key_Return);
        }
        if (!message.isEmpty()) {
            QCOMPARE(sink.Texts(), QStringList{message});
            QCOMPARE(FocusName(), focus);
            QVERIFY(dlg.isVisible());
            QTest::qWait(20);
            QVERIFY(panel.Calls().empty());
            return;
        }
        QTRY_COMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(ToQStringList(panel.CallTexts()), calls);
        QVERIFY(sink.boxes.empty());
    }

    void dualWritesAllFourWhateverFails_data() {
        QTest::addColumn<QList<int>>("statuses");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("closes");
        const QString m1 = QStringLiteral("Nie można ustawić wartości zadanej 1");
        const QString m2 = QStringLiteral("Nie można ustawić wartości zadanej 2");
        const QString t1 = QStringLiteral("Nie można ustawić czasu dla wartości zadanej 1");
        const QString t2 = QStringLiteral("Nie można ustawić czasu dla wartości zadanej 2");
        QTest::newRow("all succeed") << QList<int>{0, 0, 0, 0} << QStringList{} << true;
        QTest::newRow("set point 1 fails") << QList<int>{3, 0, 0, 0} << QStringList{m1} << true;
        QTest::newRow("only the last succeeds")
            << QList<int>{3, 3, 3, 0} << QStringList{m1, m2, t1} << true;
        QTest::newRow("second and fourth fail")
            << QList<int>{0, 3, 0, 3} << QStringList{m2, t2} << true;
        QTest::newRow("all fail") << QList<int>{3, 3, 3, 3} << QStringList{m1, m2, t1, t2} << false;
    }
    void dualWritesAllFourWhateverFails() {
        QFETCH(QList<int>, statuses);
        QFETCH(QStringList, messages);
        QFETCH(bool, closes);
        FakePanel panel;
        SetDualZone(panel, 2000, 2100, 6, 12);
        panel.ScriptStatuses({statuses.begin(), statuses.end()});
        RecordingSink sink;
        CSPTimeValueDlg dlg(panel);
        dlg.SetMessageSink(&sink);
        QVERIFY(ShowActive(dlg));
        Type(Field(dlg, "setpoint1Edit"), "23.45");
        QTest::keyClick(Field(dlg, "setpoint1Edit"), Qt::Key_Return);
        QTRY_VERIFY(!dlg.IsWriting());
        QCOMPARE(panel.Calls().size(), size_t{4});
        QCOMPARE(sink.Texts(), messages);
        QCOMPARE(dlg.isVisible(), !closes);
        if (closes) {
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            return;
        }
        // Open again with every control enabled and the fields as they were typed.
        QVERIFY(AllEnabled(dlg, kDualFields));
        QCOMPARE(Texts(dlg, kDualFields), (QStringList{"23.45", "1", "0", "21.0", "2", "0"}));
        QCOMPARE(FocusName(), QStringLiteral("setpoint1Edit"));
    }

    void dualDisablesEveryControlWhileWriting() {
        FakePanel panel;
        SetDualZone(panel, 2000, 2100, 6, 12);
        panel.Hold();
        CSPTimeValueDlg dlg(panel);
        QVERIFY(ShowActive(dlg));
        ClickOk(dlg);
        QVERIFY(panel.WaitUntilWriting(5s));
        for (const QString& name : kDualFields + QStringList{"okButton", "cancelButton"}) {
            QVERIFY2(!dlg.findChild<QWidget*>(name)->isEnabled(), qPrintable(name));
        }
        panel.Release();
        QTRY_COMPARE(dlg.result(), int(QDialog::Accepted));
    }
};

}  // namespace tk358::test

QTEST_MAIN(tk358::test::SetpointDlgTest)
#include "setpoint_dlg_test.moc"
