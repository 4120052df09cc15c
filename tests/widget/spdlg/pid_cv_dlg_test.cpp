// SPDX-License-Identifier: GPL-3.0-or-later
// "Parametry PID" and "Ustawienia CV": where the values come from, what is
// refused, and what reaches the panel.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "dialog_driver.h"
#include "dialogs/cv_dlg.h"
#include "dialogs/pid_dlg.h"
#include "support/fake_panel.h"
#include "widget/dialogs/recording_sink.h"

namespace tk358::test {
namespace {

const QString kPidReadFailure = QStringLiteral("Nie można odczytać parametrów PID");
const QString kCvReadFailure = QStringLiteral("Nie można odczytać ustawień CV");
const QString kKpRefused =
    QStringLiteral("Wartość Kp powinna zawierać się w przedziale <0, 999.9>");
const QString kTiRefused = QStringLiteral("Wartość Ti powinna zawierać się w przedziale <0, 9999>");
const QString kTdRefused = QStringLiteral("Wartość Td powinna zawierać się w przedziale <0, 9999>");
const QString kTaRefused = QStringLiteral("Wartość Ta powinna zawierać się w przedziale <0, 9999>");
const QString kCvRefused =
    QStringLiteral("Wypełnienie sterowania powinno zawierać się w przedziale <-100, 100>");
const QStringList kPidFields = {"kpEdit", "tiEdit", "tdEdit", "taEdit"};

// Every PID code holds its own number times ten plus one, so each shown value
// tells which code it came from (code 133 shows Kp 133.1, code 134 Ti 1341).
void FillPidCodes(FakePanel& panel) {
    for (int code : {1, 6, 7, 8, 128, 129, 130, 131, 133, 134, 135, 136}) {
        panel.parameters.Store(code, code * 10 + 1);
    }
}

QStringList Texts(const QWidget& dialog, const QStringList& names) {
    QStringList texts;
    for (const QString& name : names) {
        texts << Field(dialog, name)->text();
    }
    return texts;
}

}  // namespace

class PidCvDlgTest : public QObject {
    Q_OBJECT

private slots:
    void pidShowsTheZonesValues_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("completeKind");
        QTest::addColumn<int>("zone");
        QTest::addColumn<QStringList>("shown");  // empty: refused
        QTest::addColumn<QString>("zoneTitle");  // empty: none shown
        QTest::newRow("temperature controller")
            << 0 << 0 << 0 << QStringList{"1.1", "61", "71", "81"} << "";
        QTest::newRow("dual zone, zone 1")
            << 3 << 3 << 0 << QStringList{"128.1", "1291", "1301", "1311"} << "Strefa 1";
        QTest::newRow("dual zone, zone 2")
            << 3 << 3 << 1 << QStringList{"133.1", "1341", "1351", "1361"} << "Strefa 2";
        QTest::newRow("negative zone is zone 1")
            << 3 << 3 << -1 << QStringList{"128.1", "1291", "1301", "1311"} << "Strefa 1";
        QTest::newRow("dual zone not read") << 3 << 0 << 0 << QStringList{} << "";
        QTest::newRow("temperature controller not read") << 0 << 3 << 0 << QStringList{} << "";
        QTest::newRow("drain valve") << 1 << 0 << 0 << QStringList{} << "";
        QTest::newRow("unknown kind") << 5 << 0 << 0 << QStringList{} << "";
    }
    void pidShowsTheZonesValues() {
        QFETCH(int, kind);
        QFETCH(int, completeKind);
        QFETCH(int, zone);
        QFETCH(QStringList, shown);
        QFETCH(QString, zoneTitle);
        FakePanel panel;
        panel.identity.identified = 1;
        panel.identity.deviceType = static_cast<uint8_t>(kind);
        FillPidCodes(panel);
        panel.parameters.SetReadComplete(completeKind);
        RecordingSink sink;
        CPIDDlg dlg(panel, zone);
        dlg.SetMessageSink(&sink);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Parametry PID"));
        if (shown.isEmpty()) {
            QVERIFY(!dlg.isVisible());
            QCOMPARE(sink.Texts(), QStringList{kPidReadFailure});
            return;
        }
        QCOMPARE(Texts(dlg, kPidFields), shown);
        // The window title is the same for both zones; the dialog says which.
        auto* zoneLabel = dlg.findChild<QLabel*>(QStringLiteral("zoneLabel"));
        QCOMPARE(zoneLabel->isVisible() ? zoneLabel->text() : QString(), zoneTitle);
    }

    void pidNeedsEveryLinkStatus_data() {
        QTest::addColumn<QString>("record");
        QTest::newRow("parameters") << "parameters";
        QTest::newRow("identity") << "identity";
    }
    void pidNeedsEveryLinkStatus() {
        QFETCH(QString, record);
        FakePanel panel;
        panel.identity.identified = 1;
        panel.identity.deviceType = kTemperatureController;
        panel.parameters.SetReadComplete(0);
        panel.getterStatus[record.toStdString()] = kStatusFailed;
        RecordingSink sink;
        CPIDDlg dlg(panel, 0);
        dlg.SetMessageSink(&sink);
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QCOMPARE(sink.Texts(), QStringList{kPidReadFailure});
    }

    void pidWritesOrRefuses_data() {
        QTest::addColumn<int>("zone");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("call");  // empty: refused
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("comma and truncation") << 0 << QStringList{"12,34", "12.7", "0", "9999"}
                                              << "WritePidParameters(123, 12, 0, 9999, 0)"
                                              << ""
                                              << "";
        QTest::newRow("zone 2") << 1 << QStringList{"999.9", "1", "2", "3"}
                                << "WritePidParameters(9999, 1, 2, 3, 1)"
                                << ""
                                << "";
        QTest::newRow("small negative Kp is 0")
            << 0 << QStringList{"-0.05", "12,5", " 7", "8x"} << "WritePidParameters(0, 12, 7, 8, 0)"
            << ""
            << "";
        QTest::newRow("Kp 1000") << 0 << QStringList{"1000", "10000", "0", "0"} << "" << kKpRefused
                                 << "kpEdit";
        QTest::newRow("Kp negative")
            << 0 << QStringList{"-0.1", "0", "0", "0"} << "" << kKpRefused << "kpEdit";
        QTest::newRow("Ti 10000") << 0 << QStringList{"1", "10000", "-1", "0"} << "" << kTiRefused
                                  << "tiEdit";
        QTest::newRow("Td negative")
            << 0 << QStringList{"1", "1", "-1", "10000"} << "" << kTdRefused << "tdEdit";
        QTest::newRow("Ta 10000") << 0 << QStringList{"1", "1", "1", "10000"} << "" << kTaRefused
                                  << "taEdit";
    }
    void pidWritesOrRefuses() {
        QFETCH(int, zone);
        QFETCH(QStringList, typed);
        QFETCH(QString, call);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        FakePanel panel;
        panel.identity.identified = 1;
        panel.identity.deviceType = kDualZoneController;
        panel.parameters.SetReadComplete(kDualZoneController);
        RecordingSink sink;
        CPIDDlg dlg(panel, zone);
        dlg.SetMessageSink(&sink);
        QVERIFY(ShowActive(dlg));
        for (int i = 0; i < kPidFields.size(); ++i) {
            Type(Field(dlg, kPidFields[i]), typed[i]);
        }
        ClickOk(dlg);
        if (call.isEmpty()) {
            QCOMPARE(sink.Texts(), QStringList{message});
            QCOMPARE(FocusName(), focus);
            QVERIFY(dlg.isVisible());
            QTest::qWait(20);
            QVERIFY(panel.Calls().empty());
            return;
        }
        QTRY_COMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(ToQStringList(panel.CallTexts()), QStringList{call});
        QVERIFY(sink.boxes.empty());
    }

    void pidFailedWriteGivesTheControlsBack() {
        FakePanel panel;
        panel.identity.identified = 1;
        panel.identity.deviceType = kTemperatureController;
        panel.parameters.SetReadComplete(kTemperatureController);
        panel.ScriptStatuses({kStatusFailed});
        RecordingSink sink;
        CPIDDlg dlg(panel, 0);
        dlg.SetMessageSink(&sink);
        QVERIFY(ShowActive(dlg));
        Type(Field(dlg, "kpEdit"), "4,5");
        ClickOk(dlg);
        QTRY_VERIFY(!dlg.IsWriting());
        QCOMPARE(sink.Texts(), QStringList{"Nie można ustawić parametrów PID"});
        QVERIFY(dlg.isVisible());
        for (const QString& name : kPidFields + QStringList{"okButton", "cancelButton"}) {
            QVERIFY2(dlg.findChild<QWidget*>(name)->isEnabled(), qPrintable(name));
        }
        QCOMPARE(Texts(dlg, kPidFields), (QStringList{"4,5", "0", "0", "0"}));
    }

    void cvOpensForControllersWithCv_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("identified");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("opens");
        QTest::newRow("temperature controller") << 0 << true << true << true;
        QTest::newRow("dual zone") << 3 << true << true << true;
        QTest::newRow("drain valve") << 1 << true << true << false;
        QTest::newRow("ventilation") << 2 << true << true << false;
        QTest::newRow("threshold regulator") << 4 << true << true << false;
        QTest::newRow("not identified") << 0 << false << true << false;
        QTest::newRow("no regulator state") << 3 << true << false << false;
    }
    void cvOpensForControllersWithCv() {
        QFETCH(int, kind);
        QFETCH(bool, identified);
        QFETCH(bool, valid);
        QFETCH(bool, opens);
        FakePanel panel;
        panel.identity.identified = identified ? 1 : 0;
        panel.identity.deviceType = static_cast<uint8_t>(kind);
        panel.regulator.valid = valid ? 1 : 0;
        panel.regulator.controlValue = 33.35;
        panel.regulator.cvLock = 1;
        RecordingSink sink;
        CCvDlg dlg(panel);
        dlg.SetMessageSink(&sink);
        dlg.show();
        QCOMPARE(dlg.isVisible(), opens);
        if (!opens) {
            QCOMPARE(sink.Texts(), QStringList{kCvReadFailure});
            return;
        }
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Ustawienia CV"));
        QCOMPARE(Field(dlg, "cvEdit")->text(), QStringLiteral("33.4"));
        QVERIFY(Field<QCheckBox>(dlg, "cvLockCheck")->isChecked());
        QCOMPARE(Field<QCheckBox>(dlg, "cvLockCheck")->text(), QStringLiteral("Blokada CV"));
    }

    void cvWritesOrRefuses_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("toggleLock");
        QTest::addColumn<QString>("call");  // empty: refused
        QTest::newRow("lower limit") << "-100" << false << "WriteCvSettings(-100, 0)";
        QTest::newRow("upper limit, lock") << "100" << true << "WriteCvSettings(100, 1)";
        QTest::newRow("as typed") << "33.33" << false << "WriteCvSettings(33.33, 0)";
        QTest::newRow("comma") << "33,33" << true << "WriteCvSettings(33.33, 1)";
        QTest::newRow("above") << "100.01" << false << "";
        QTest::newRow("below") << "-100.001" << false << "";
        QTest::newRow("overflow") << "1e999" << false << "";
    }
    void cvWritesOrRefuses() {
        QFETCH(QString, typed);
        QFETCH(bool, toggleLock);
        QFETCH(QString, call);
        FakePanel panel;
        panel.identity.identified = 1;
        panel.identity.deviceType = kDualZoneController;
        panel.regulator.valid = 1;
        RecordingSink sink;
        CCvDlg dlg(panel);
        dlg.SetMessageSink(&sink);
        QVERIFY(ShowActive(dlg));
        if (toggleLock) {
            QTest::mouseClick(Field<QCheckBox>(dlg, "cvLockCheck"), Qt::LeftButton, {},
                              QPoint(6, Field<QCheckBox>(dlg, "cvLockCheck")->height() / 2));
        }
        Type(Field(dlg, "cvEdit"), typed);
        ClickOk(dlg);
        if (call.isEmpty()) {
            QCOMPARE(sink.Texts(), QStringList{kCvRefused});
            QCOMPARE(FocusName(), QStringLiteral("cvEdit"));
            QTest::qWait(20);
            QVERIFY(panel.Calls().empty());
            return;
        }
        QTRY_COMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(ToQStringList(panel.CallTexts()), QStringList{call});
    }

    void cvFailedWriteGivesTheControlsBack() {
        FakePanel panel;
        panel.identity.identified = 1;
        panel.identity.deviceType = kDualZoneController;
        panel.regulator.valid = 1;
        panel.ScriptStatuses({kStatusFailed});
        RecordingSink sink;
        CCvDlg dlg(panel);
        dlg.SetMessageSink(&sink);
        QVERIFY(ShowActive(dlg));
        Type(Field(dlg, "cvEdit"), "12,5");
        ClickOk(dlg);
        QTRY_VERIFY(!dlg.IsWriting());
        QCOMPARE(sink.Texts(), QStringList{"Nie można zapisać ustawień CV"});
        for (const char* name : {"cvEdit", "cvLockCheck", "okButton", "cancelButton"}) {
            QVERIFY2(dlg.findChild<QWidget*>(name)->isEnabled(), name);
        }
        QCOMPARE(Field(dlg, "cvEdit")->text(), QStringLiteral("12,5"));
    }
};

}  // namespace tk358::test

QTEST_MAIN(tk358::test::PidCvDlgTest)
#include "pid_cv_dlg_test.moc"
