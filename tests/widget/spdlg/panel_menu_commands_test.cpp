// SPDX-License-Identifier: GPL-3.0-or-later
// The "Panel" menu commands: which dialog opens, and when nothing opens; and
// the information dialog they show.

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include "dialog_driver.h"
#include "dialogs/panel_info_dlg.h"
#include "dialogs/panel_menu_commands.h"
#include "support/fake_panel.h"
#include "widget/dialogs/recording_sink.h"

namespace tk358::test {
namespace {

// A panel on which every dialog of these commands can open.
void MakeReadable(FakePanel& panel, int kind) {
    panel.identity.identified = 1;
    panel.identity.deviceType = static_cast<uint8_t>(kind);
    panel.setpoint.valid = 1;
    panel.parameters.SetReadComplete(kind);
    panel.parameters.Store(1, 11);
    panel.parameters.Store(128, 1281);
    panel.parameters.Store(133, 1331);
}

QString LabelText(QDialog* dialog) {
    return dialog->findChild<QLabel*>("panelInfoText")->text();
}

}  // namespace

class PanelMenuCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void infoDialogShowsThePanelsText() {
        FakePanel panel;
        panel.identity.serialNumber = 1234;
        panel.identity.hardwareVariant = 2;
        panel.identity.firmwareVersion = 105;
        panel.identity.deviceType = kUnknownDevice;      // no "Typ:" line
        panel.getterStatus["identity"] = kStatusFailed;  // shown as last received
        panel.info.probeSerialNumber = 77;
        panel.info.calibrationYear = 2009;
        panel.info.calibrationMonth = 3;
        panel.info.probeCalibrationError = 1;
        QString shown;
        QString title;
        const auto watch = WhenModal("panelInfoDialog", [&](QDialog* dialog) {
            shown = LabelText(dialog);
            title = dialog->windowTitle();
            QPushButton* close = Button(*dialog, "closeButton");
            if (close != nullptr && close->text() == QStringLiteral("Zamknij")) {
                QTest::mouseClick(close, Qt::LeftButton);
            }
        });
        RecordingSink sink;
        QCOMPARE(RunPanelInfoCommand(panel, nullptr, &sink), int(QDialog::Accepted));
        QCOMPARE(title, QStringLiteral("Informacje o panelu"));
        QCOMPARE(shown, QStringLiteral("Numer seryjny panelu: 1234\n"
                                       "Wersja panelu: B.1.5\n"
                                       "\n"
                                       "Numer seryjny sondy: 77\n"
                                       "Data kalibracji sondy: 2009-03\n"
                                       "Błąd kalibracji sondy!\n"));
        QVERIFY(sink.boxes.empty());
    }

    void infoNeedsThePanelInformation_data() {
        QTest::addColumn<int>("status");
        QTest::newRow("no answer") << 3;
        QTest::newRow("busy") << 1;
    }
    void infoNeedsThePanelInformation() {
        QFETCH(int, status);
        FakePanel panel;
        panel.getterStatus["info"] = status;
        RecordingSink sink;
        QCOMPARE(RunPanelInfoCommand(panel, nullptr, &sink), int(QDialog::Rejected));
        QCOMPARE(sink.Texts(), QStringList{"Nie można odczytać informacji o panelu"});
        QCOMPARE(sink.boxes.front().icon, MessageIcon::Plain);
    }

    void setpointDialogByKind_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("temperature controller") << 0 << "setpointDialog";
        QTest::newRow("drain valve") << 1 << "setpointDialog";
        QTest::newRow("dual zone") << 3 << "setpointTimeDialog";
        QTest::newRow("unknown") << 5 << "setpointDialog";
    }
    void setpointDialogByKind() {
        QFETCH(int, kind);
        QFETCH(QString, dialog);
        FakePanel panel;
        MakeReadable(panel, kind == 5 ? 0 : kind);
        panel.identity.deviceType = static_cast<uint8_t>(kind);
        bool opened = false;
        const auto watch = WhenModal(dialog, [&](QDialog* d) {
            opened = true;
            d->reject();
        });
        RecordingSink sink;
        QCOMPARE(RunSetpointCommand(panel, nullptr, &sink), int(QDialog::Rejected));
        QVERIFY(opened);
        QVERIFY(sink.boxes.empty());
    }

    void pidAsksTheDualZoneControllerForTheZone_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("zoneChoice");  // "cancel", a radio, or "" when not asked
        QTest::addColumn<QString>("kpShown");     // empty: no PID dialog
        QTest::newRow("zone 2") << 3 << "zone2Radio"
                                << "133.1";
        QTest::newRow("zone 1") << 3 << "zone1Radio"
                                << "128.1";
        QTest::newRow("zone choice cancelled") << 3 << "cancel"
                                               << "";
        QTest::newRow("temperature controller") << 0 << ""
                                                << "1.1";
    }
    void pidAsksTheDualZoneControllerForTheZone() {
        QFETCH(int, kind);
        QFETCH(QString, zoneChoice);
        QFETCH(QString, kpShown);
        FakePanel panel;
        MakeReadable(panel, kind);
        std::unique_ptr<QTimer> zoneWatch;
        if (!zoneChoice.isEmpty()) {
            zoneWatch = WhenModal("zoneDialog", [zoneChoice](QDialog* d) {
                if (zoneChoice == "cancel") {
                    QTest::mouseClick(Button(*d, "cancelButton"), Qt::LeftButton);
                    return;
                }
                d->findChild<QRadioButton*>(zoneChoice)->setChecked(true);
                QTest::mouseClick(Button(*d, "okButton"), Qt::LeftButton);
            });
        }
        QString shown;
        const auto pidWatch = WhenModal("pidDialog", [&](QDialog* d) {
            shown = Field(*d, "kpEdit")->text();
            d->reject();
        });
        RecordingSink sink;
        QCOMPARE(RunPidCommand(panel, nullptr, &sink), int(QDialog::Rejected));
        QCOMPARE(shown, kpShown);
        QVERIFY(sink.boxes.empty());
    }

    void pidDoesNothingWithoutAnIdentifiedPanel() {
        FakePanel panel;
        MakeReadable(panel, 0);
        panel.identity.identified = 0;
        bool opened = false;
        const auto pidWatch = WhenModal("pidDialog", [&](QDialog* d) {
            opened = true;
            d->reject();
        });
        RecordingSink sink;
        QCOMPARE(RunPidCommand(panel, nullptr, &sink), int(QDialog::Rejected));
        QTest::qWait(50);
        QVERIFY(!opened);
        QVERIFY(sink.boxes.empty());
    }
};

}  // namespace tk358::test

QTEST_MAIN(tk358::test::PanelMenuCommandsTest)
#include "panel_menu_commands_test.moc"
