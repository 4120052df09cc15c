// SPDX-License-Identifier: GPL-3.0-or-later
// Opening, display, enable rules, writing and a failed write of the
// "Parametry regulacji" dialogs.

#include <QCheckBox>
#include <QLabel>
#include <QtTest>
#include <chrono>

#include "dialogs/param_a_dlg.h"
#include "dialogs/param_c_dlg.h"
#include "dialogs/param_c_time_dlg.h"
#include "dialogs/param_dlg.h"
#include "dialogs/param_z_dlg.h"
#include "param_test_support.h"
#include "present/service_fields.h"

using namespace std::chrono_literals;

namespace tk358::test {
namespace {

const QString kReadFailure = QStringLiteral("Nie można odczytać parametrów regulacji");
const QString kWriteFailure = QStringLiteral("Nie można zapisać parametrów regulacji");

// The panel kind each dialog is for.
int KindFor(ParamDialog dialog, bool dualZone) {
    switch (dialog) {
        case ParamDialog::Param:
            return dualZone ? kDualZoneController : kTemperatureController;
        case ParamDialog::ParamZ:
            return kDrainValveController;
        case ParamDialog::ParamA:
            return kVentilationController;
        default:
            return kThresholdRegulator;
    }
}

enum class Fault {
    None,
    IdentityLinkDown,
    RegulatorLinkDown,
    ParametersLinkDown,
    NotIdentified,
    WrongKind,
    RegulatorNotValid,
    ParametersNotRead,
    OtherKindRead,  // only the other valve controller's set has been read
};

}  // namespace
}  // namespace tk358::test

Q_DECLARE_METATYPE(tk358::ParamDialog)
Q_DECLARE_METATYPE(tk358::test::Fault)

namespace tk358::test {
namespace {

void Apply(FakePanel& panel, Fault fault, int kind) {
    switch (fault) {
        case Fault::None:
            break;
        case Fault::IdentityLinkDown:
            panel.getterStatus["identity"] = kStatusFailed;
            break;
        case Fault::RegulatorLinkDown:
            panel.getterStatus["regulator"] = kStatusFailed;
            break;
        case Fault::ParametersLinkDown:
            panel.getterStatus["parameters"] = kStatusFailed;
            break;
        case Fault::NotIdentified:
            panel.identity.identified = 0;
            break;
        case Fault::WrongKind:
            panel.Connect(kind == kVentilationController ? kDrainValveController
                                                         : kVentilationController);
            break;
        case Fault::RegulatorNotValid:
            panel.regulator.valid = 0;
            break;
        case Fault::ParametersNotRead:
            panel.parameters = ParameterSet{};
            break;
        case Fault::OtherKindRead:
            panel.parameters = ParameterSet{};
            panel.parameters.SetReadComplete(kind == kDualZoneController ? kTemperatureController
                                                                         : kDualZoneController);
            break;
    }
}

// Every edit of the dialog enabled or disabled, by name.
QStringList EnabledEdits(PanelDialog& dlg) {
    QStringList names;
    for (QLineEdit* edit : dlg.findChildren<QLineEdit*>()) {
        if (edit->isEnabled()) {
            names << edit->objectName();
        }
    }
    names.sort();
    return names;
}

QStringList AllEdits(PanelDialog& dlg) {
    QStringList names;
    for (QLineEdit* edit : dlg.findChildren<QLineEdit*>()) {
        names << edit->objectName();
    }
    names.sort();
    return names;
}

}  // namespace

class ParamDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void choiceMakesItsDialog() {
        FakePanel panel;
        QVERIFY(MakeParamDialog(panel, {ParamDialog::None}) == nullptr);
        QVERIFY(dynamic_cast<CParamDlg*>(MakeParamDialog(panel, {ParamDialog::Param}).get()));
        QVERIFY(dynamic_cast<CParamZDlg*>(MakeParamDialog(panel, {ParamDialog::ParamZ}).get()));
        QVERIFY(dynamic_cast<CParamADlg*>(MakeParamDialog(panel, {ParamDialog::ParamA}).get()));
        QVERIFY(dynamic_cast<CParamCDlg*>(MakeParamDialog(panel, {ParamDialog::ParamC}).get()));
        QVERIFY(
            dynamic_cast<CParamCTimeDlg*>(MakeParamDialog(panel, {ParamDialog::ParamCTime}).get()));
        for (ParamDialog d : {ParamDialog::Param, ParamDialog::ParamZ, ParamDialog::ParamA,
                              ParamDialog::ParamC, ParamDialog::ParamCTime}) {
            QCOMPARE(MakeParamDialog(panel, {d})->windowTitle(),
                     QStringLiteral("Parametry regulacji"));
        }
    }

    void openingCondition_data() {
        QTest::addColumn<ParamDialog>("dialog");
        QTest::addColumn<bool>("dualZone");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<bool>("opens");
        struct Dialog {
            const char* name;
            ParamDialog dialog;
            bool dualZone;
            bool usesRegulator;
        };
        const Dialog dialogs[] = {{"temperature", ParamDialog::Param, false, true},
                                  {"dual-zone", ParamDialog::Param, true, true},
                                  {"drain valve", ParamDialog::ParamZ, false, true},
                                  {"ventilation", ParamDialog::ParamA, false, false},
                                  {"threshold", ParamDialog::ParamC, false, false},
                                  {"threshold zones", ParamDialog::ParamCTime, false, false}};
        const std::pair<const char*, Fault> faults[] = {
            {"ready", Fault::None},
            {"identity link down", Fault::IdentityLinkDown},
            {"regulator link down", Fault::RegulatorLinkDown},
            {"parameters link down", Fault::ParametersLinkDown},
            {"not identified", Fault::NotIdentified},
            {"wrong kind", Fault::WrongKind},
            {"regulator not valid", Fault::RegulatorNotValid},
            {"parameters not read", Fault::ParametersNotRead}};
        for (const Dialog& d : dialogs) {
            for (const auto& [faultName, fault] : faults) {
                // The regulator state matters only to the dialogs that read it.
                const bool regulatorFault =
                    fault == Fault::RegulatorLinkDown || fault == Fault::RegulatorNotValid;
                const bool opens = fault == Fault::None || (regulatorFault && !d.usesRegulator);
                QTest::addRow("%s, %s", d.name, faultName)
                    << d.dialog << d.dualZone << fault << opens;
            }
        }
        QTest::newRow("temperature, only the dual-zone set read")
            << ParamDialog::Param << false << Fault::OtherKindRead << false;
        QTest::newRow("dual-zone, only the temperature set read")
            << ParamDialog::Param << true << Fault::OtherKindRead << false;
    }
    void openingCondition() {
        QFETCH(ParamDialog, dialog);
        QFETCH(bool, dualZone);
        QFETCH(Fault, fault);
        QFETCH(bool, opens);
        FakePanel panel;
        const int kind = KindFor(dialog, dualZone);
        panel.Connect(kind);
        Apply(panel, fault, kind);

        OpenDialog d(panel, {dialog, true});
        QCOMPARE(d.Dialog().isVisible(), opens);
        QCOMPARE(d.sink.Texts(), opens ? QStringList{} : QStringList{kReadFailure});
        if (!opens) {
            QCOMPARE(d.Dialog().result(), int(QDialog::Rejected));
        }
    }

    void display_data() {
        QTest::addColumn<ParamDialog>("dialog");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("service");  // the service field showing the same, or 0
        auto row = [](const char* name, ParamDialog dialog, int kind, int code, int stored,
                      const char* field, const char* text, ServiceField service = {}) {
            QTest::newRow(name) << dialog << kind << code << stored << QString::fromUtf8(field)
                                << QString::fromUtf8(text) << static_cast<int>(service);
        };
        using F = ServiceField;
        const auto P = ParamDialog::Param;
        row("temperature open time", P, 0, 32, 123, "openTimeEdit", "12.3", F::kValveOpenTime);
        row("temperature close time", P, 0, 33, 9999, "closeTimeEdit", "999.9");
        row("temperature dead time", P, 0, 34, 7, "deadTimeEdit", "0.7");
        row("temperature standstill", P, 0, 35, 40, "minStandstillEdit", "4.0");
        row("temperature dead band", P, 0, 36, 12, "deadBandEdit", "1.2", F::kDeadBand);
        row("temperature min movement", P, 0, 37, 5, "minOnTimeEdit", "0.5");
        // 25.5 % is written as one signed byte; the panel answers it as -1 or 255.
        row("temperature dead band read back signed", P, 0, 36, -1, "deadBandEdit", "25.5",
            F::kDeadBand);
        row("temperature dead band read back unsigned", P, 0, 36, 255, "deadBandEdit", "25.5",
            F::kDeadBand);
        row("dual-zone open time", P, 3, 140, 1000, "openTimeEdit", "100.0");
        row("dual-zone close time", P, 3, 141, 1, "closeTimeEdit", "0.1");
        row("dual-zone dead time", P, 3, 142, 2, "deadTimeEdit", "0.2");
        row("dual-zone standstill", P, 3, 143, 3, "minStandstillEdit", "0.3");
        row("dual-zone dead band", P, 3, 144, 250, "deadBandEdit", "25.0", F::kDeadBand);
        row("dual-zone min movement", P, 3, 145, 15, "minOnTimeEdit", "1.5");
        row("drain time", ParamDialog::ParamZ, 1, 64, 300, "drainTimeEdit", "30.0");
        row("drain delay", ParamDialog::ParamZ, 1, 65, 151, "closeDelayEdit", "15.1");
        row("drain deviation", ParamDialog::ParamZ, 1, 66, 25, "deviationEdit", "2.5",
            F::kDeviation);
        const auto A = ParamDialog::ParamA;
        row("ventilation T1", A, 2, 72, -100, "t1Edit", "-10.0");
        row("ventilation T2", A, 2, 73, -5, "t2Edit", "-0.5", F::kVentT2);
        row("ventilation H1", A, 2, 74, 20, "h1Edit", "2.0");
        row("ventilation H2", A, 2, 75, 255, "h2Edit", "25.5", F::kVentH2);
        row("ventilation CP", A, 2, 78, 30, "airingTimeEdit", "30", F::kAiringTime);
        row("ventilation OP", A, 2, 79, 100, "airingPeriodEdit", "100");
        row("ventilation ZP", A, 2, 80, 5500, "airingThresholdEdit", "550.0");
        // Thresholds are written without a sign and may be answered so.
        row("ventilation T1 read back unsigned", A, 2, 72, 63536, "t1Edit", "-200.0", F::kVentT1);
        row("ventilation T2 read back unsigned", A, 2, 73, 65535, "t2Edit", "-0.1", F::kVentT2);
        row("ventilation ZP read back unsigned", A, 2, 80, 65036, "airingThresholdEdit", "-50.0",
            F::kAiringThreshold);
        const auto C = ParamDialog::ParamC;
        row("threshold T1 signed", C, 4, 90, -2000, "t1Edit", "-200.0");
        row("threshold T2 signed", C, 4, 91, -150, "t2Edit", "-15.0");
        row("threshold H1", C, 4, 92, 10, "h1Edit", "1.0");
        row("threshold H2 unsigned", C, 4, 93, 0xFFFF, "h2Edit", "6553.5", F::kDayH2);
        const auto T = ParamDialog::ParamCTime;
        row("zones day T1 signed", T, 4, 90, -2000, "dayT1Edit", "-200.0", F::kDayT1);
        row("zones day H2", T, 4, 93, 255, "dayH2Edit", "25.5");
        row("zones night T1 signed", T, 4, 160, -1, "nightT1Edit", "-0.1");
        row("zones night T2", T, 4, 161, 5500, "nightT2Edit", "550.0");
        row("zones night H1 unsigned", T, 4, 162, 0x8000, "nightH1Edit", "3276.8", F::kNightH1);
        row("zones night H2", T, 4, 163, 3, "nightH2Edit", "0.3");
        row("zones day start hour", T, 4, 95, 45, "dayHourEdit", "7");
        row("zones day start minute", T, 4, 95, 45, "dayMinuteEdit", "30");
        row("zones night start hour", T, 4, 164, 143, "nightHourEdit", "23");
        row("zones night start minute", T, 4, 164, 143, "nightMinuteEdit", "50");
    }
    void display() {
        QFETCH(ParamDialog, dialog);
        QFETCH(int, kind);
        QFETCH(int, code);
        QFETCH(int, stored);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(int, service);
        FakePanel panel;
        panel.Connect(kind);
        panel.parameters.Store(code, stored);
        OpenDialog d(panel, {dialog, true});
        QVERIFY(d.Dialog().isVisible());
        QCOMPARE(d.Text(field), text);
        if (service != 0) {
            // The service view reads the code the same way.
            ReadingsSnapshot snapshot;
            snapshot.connected = true;
            snapshot.identity = panel.identity;
            snapshot.parameters = panel.parameters;
            QString serviceText = QStringLiteral("(not shown)");
            for (const ServiceText& t : ComputeServiceTexts(snapshot)) {
                if (static_cast<int>(t.field) == service) {
                    serviceText = QString::fromStdString(t.text);
                }
            }
            QCOMPARE(serviceText, text);
        }
    }

    void direction_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("reverseFlag");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("reverseChecked");
        QTest::newRow("temperature controller has none") << 0 << 1 << false << false;
        QTest::newRow("dual-zone normal") << 3 << 0 << true << false;
        QTest::newRow("dual-zone reverse") << 3 << 1 << true << true;
        QTest::newRow("dual-zone any nonzero") << 3 << 0x80 << true << true;
    }
    void direction() {
        QFETCH(int, kind);
        QFETCH(int, reverseFlag);
        QFETCH(bool, shown);
        QFETCH(bool, reverseChecked);
        FakePanel panel;
        panel.Connect(kind);
        panel.parameters.Store(146, reverseFlag);
        OpenDialog d(panel, {ParamDialog::Param});
        auto* normal = d.Find<QRadioButton>(QStringLiteral("normalRadio"));
        auto* reverse = d.Find<QRadioButton>(QStringLiteral("reverseRadio"));
        auto* label = d.Find<QLabel>(QStringLiteral("directionLabel"));
        QCOMPARE(label->text(), QStringLiteral("Reg. rewersyjna"));
        QCOMPARE(normal->text(), QStringLiteral("Sterowanie normalne"));
        QCOMPARE(reverse->text(), QStringLiteral("Sterowanie rewersyjne"));
        QCOMPARE(normal->isVisible(), shown);
        QCOMPARE(reverse->isVisible(), shown);
        QCOMPARE(label->isVisible(), shown);
        if (shown) {
            QCOMPARE(reverse->isChecked(), reverseChecked);
            QCOMPARE(normal->isChecked(), !reverseChecked);
        }
    }

    // Opening shows the mask's bits; OK without change passes the two bits back.
    void fans_data() {
        QTest::addColumn<int>("mask");
        QTest::addColumn<bool>("fan1");
        QTest::addColumn<bool>("fan2");
        QTest::addColumn<int>("written");
        QTest::newRow("none") << 0 << false << false << 0;
        QTest::newRow("fan 1") << 1 << true << false << 1;
        QTest::newRow("fan 2") << 2 << false << true << 2;
        QTest::newRow("both") << 3 << true << true << 3;
        // Bits the dialog has no box for neither hide a running fan nor reach the panel.
        QTest::newRow("fan 1 and bit 2") << 5 << true << false << 1;
        QTest::newRow("bit 2 alone") << 4 << false << false << 0;
    }
    void fans() {
        QFETCH(int, mask);
        QFETCH(bool, fan1);
        QFETCH(bool, fan2);
        QFETCH(int, written);
        FakePanel panel;
        panel.Connect(kVentilationController);
        panel.parameters.Store(77, mask);
        panel.parameters.Store(76, 0);
        OpenDialog d(panel, {ParamDialog::ParamA});
        QCOMPARE(d.Find<QCheckBox>(QStringLiteral("fan1Check"))->isChecked(), fan1);
        QCOMPARE(d.Find<QCheckBox>(QStringLiteral("fan2Check"))->isChecked(), fan2);
        QVERIFY(!d.Find<QCheckBox>(QStringLiteral("airingCheck"))->isChecked());
        d.PressOk();
        QTRY_VERIFY(!d.Dialog().isVisible());
        QCOMPARE(ToList(panel.Calls().at(0).args), (QList<int>{0, 0, 0, 0, 0, written, 0, 0, 0}));
    }

    void channels_data() {
        QTest::addColumn<ParamDialog>("dialog");
        QTest::addColumn<bool>("channelChoice");
        QTest::addColumn<int>("panelChannels");
        QTest::addColumn<bool>("oneChecked");
        QTest::addColumn<bool>("radiosEnabled");
        const auto C = ParamDialog::ParamC;
        const auto T = ParamDialog::ParamCTime;
        QTest::newRow("choice, 1 channel") << C << true << 1 << true << true;
        QTest::newRow("choice, 2 channels") << C << true << 2 << false << true;
        QTest::newRow("choice, count not set") << C << true << 0 << true << true;
        QTest::newRow("no choice, 1 channel") << C << false << 1 << false << false;
        QTest::newRow("no choice, 2 channels") << C << false << 2 << false << false;
        QTest::newRow("zones, 1 channel") << T << true << 1 << true << true;
        QTest::newRow("zones, 2 channels") << T << true << 2 << false << true;
        QTest::newRow("zones, count 3") << T << true << 3 << true << true;
    }
    void channels() {
        QFETCH(ParamDialog, dialog);
        QFETCH(bool, channelChoice);
        QFETCH(int, panelChannels);
        QFETCH(bool, oneChecked);
        QFETCH(bool, radiosEnabled);
        FakePanel panel;
        panel.Connect(kThresholdRegulator);
        panel.parameters.Store(165, panelChannels);
        OpenDialog d(panel, {dialog, channelChoice});
        auto* one = d.Find<QRadioButton>(QStringLiteral("oneChannelRadio"));
        auto* two = d.Find<QRadioButton>(QStringLiteral("twoChannelsRadio"));
        QCOMPARE(one->text(), QStringLiteral("1 kanał"));
        QCOMPARE(two->text(), QStringLiteral("2 kanały"));
        QCOMPARE(one->isChecked(), oneChecked);
        QCOMPARE(two->isChecked(), !oneChecked);
        QCOMPARE(one->isEnabled(), radiosEnabled);
        QCOMPARE(two->isEnabled(), radiosEnabled);

        const QStringList second =
            dialog == ParamDialog::ParamC
                ? QStringList{"h2Edit", "t2Edit"}
                : QStringList{"dayH2Edit", "dayT2Edit", "nightH2Edit", "nightT2Edit"};
        QStringList firstOnly = AllEdits(d.Dialog());
        for (const QString& name : second) {
            firstOnly.removeAll(name);
        }
        QCOMPARE(EnabledEdits(d.Dialog()), oneChecked ? firstOnly : AllEdits(d.Dialog()));
        if (!radiosEnabled) {
            d.PressOk();
            QTRY_VERIFY(!d.Dialog().isVisible());
            QCOMPARE(panel.Calls().at(0).args.back(), 2);
            return;
        }
        // A click applies the count to the fields at once.
        two->click();
        QCOMPARE(EnabledEdits(d.Dialog()), AllEdits(d.Dialog()));
        one->click();
        QCOMPARE(EnabledEdits(d.Dialog()), firstOnly);
    }

    // While the worker writes only the ventilation controller's check boxes
    // stay usable; afterwards a failed write gives everything back as typed.
    void writingAndFailure_data() {
        QTest::addColumn<ParamDialog>("dialog");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::newRow("temperature") << ParamDialog::Param << 0 << "minOnTimeEdit"
                                     << "0,1";
        QTest::newRow("dual-zone") << ParamDialog::Param << 3 << "deadBandEdit"
                                   << "25,5";
        QTest::newRow("drain valve") << ParamDialog::ParamZ << 1 << "deviationEdit"
                                     << "9.95";
        QTest::newRow("ventilation") << ParamDialog::ParamA << 2 << "t2Edit"
                                     << "-12,3";
        QTest::newRow("threshold") << ParamDialog::ParamC << 4 << "h2Edit"
                                   << "2.5";
        QTest::newRow("threshold zones") << ParamDialog::ParamCTime << 4 << "nightMinuteEdit"
                                         << "35";
    }
    void writingAndFailure() {
        QFETCH(ParamDialog, dialog);
        QFETCH(int, kind);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        FakePanel panel;
        panel.Connect(kind);
        panel.parameters.Store(37, 5);  // a valid minimum movement time
        panel.parameters.Store(145, 5);
        panel.parameters.Store(165, 2);
        panel.Hold();
        panel.SetWriteStatus(kStatusFailed);
        OpenDialog d(panel, {dialog, true});
        d.Type(field, typed);
        d.PressOk();
        QVERIFY(panel.WaitUntilWriting(5s));

        QCOMPARE(EnabledEdits(d.Dialog()), QStringList{});
        for (QRadioButton* radio : d.Dialog().findChildren<QRadioButton*>()) {
            QVERIFY2(!radio->isEnabled(), qPrintable(radio->objectName()));
        }
        for (QCheckBox* box : d.Dialog().findChildren<QCheckBox*>()) {
            QVERIFY2(box->isEnabled(), qPrintable(box->objectName()));
        }
        QVERIFY(!d.Find<QPushButton>(QStringLiteral("okButton"))->isEnabled());
        QVERIFY(!d.Find<QPushButton>(QStringLiteral("cancelButton"))->isEnabled());

        panel.Release();
        QTRY_COMPARE(d.sink.Texts(), QStringList{kWriteFailure});
        QVERIFY(d.Dialog().isVisible());
        QCOMPARE(d.Text(field), typed);
        QCOMPARE(EnabledEdits(d.Dialog()), AllEdits(d.Dialog()));
        QVERIFY(d.Find<QPushButton>(QStringLiteral("okButton"))->isEnabled());
        QVERIFY(d.Find<QPushButton>(QStringLiteral("cancelButton"))->isEnabled());

        // A new OK writes the same values again and closes on success.
        panel.SetWriteStatus(kStatusOk);
        d.PressOk();
        QTRY_VERIFY(!d.Dialog().isVisible());
        const std::vector<WriteCall> calls = panel.Calls();
        QCOMPARE(calls.size(), size_t{2});
        QCOMPARE(ToList(calls[1].args), ToList(calls[0].args));
    }

    // With one channel the second channel's fields stay disabled after a failure.
    void failureKeepsOneChannel() {
        FakePanel panel;
        panel.Connect(kThresholdRegulator);
        panel.parameters.Store(165, 1);
        panel.SetWriteStatus(kStatusFailed);
        OpenDialog d(panel, {ParamDialog::ParamC, true});
        d.PressOk();
        QTRY_COMPARE(d.sink.Texts(), QStringList{kWriteFailure});
        QCOMPARE(EnabledEdits(d.Dialog()), (QStringList{"h1Edit", "t1Edit"}));
        QVERIFY(d.Find<QRadioButton>(QStringLiteral("oneChannelRadio"))->isEnabled());
    }
};

}  // namespace tk358::test

QTEST_MAIN(tk358::test::ParamDialogsTest)
#include "param_dialogs_test.moc"
