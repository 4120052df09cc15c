// SPDX-License-Identifier: GPL-3.0-or-later
// What the operator's typing in the "Parametry regulacji" dialogs does: every
// bound on both sides, the order in which fields are checked, and the exact
// values handed to the write operation.

#include <QtTest>

#include "param_test_support.h"

namespace tk358::test {
namespace {

using Ints = QList<int>;

// Messages as the operator reads them.
const QString kOpenTime =
    QStringLiteral("Czas otwierania zaworu powinien zawierać się w przedziale <0, 999.9>");
const QString kCloseTime =
    QStringLiteral("Czas zamykania zaworu powinien zawierać się w przedziale <0, 999.9>");
const QString kDeadTime =
    QStringLiteral("Czas nieczułości sterowania powinien zawierać się w przedziale <0, 999.9>");
const QString kStandstill = QStringLiteral(
    "Minimalny czas postoju przed zmianą kierunku\npowinien zawierać się w przedziale <0, 999.9>");
const QString kMinOn = QStringLiteral(
    "Minimalny czas włączenia zaworu powinien zawierać się w przedziale <0.1, 999.9>");
const QString kDeadBand =
    QStringLiteral("Nieczułość sterowania powinna zawierać się w przedziale <0, 25.5>");
const QString kDirection = QStringLiteral("Należy wybrać kierunek regulacji");
const QString kDrain =
    QStringLiteral("Czas zrzutu powinien zawierać się w przedziale <0, 999.9> sekund");
const QString kDelay = QStringLiteral(
    "Opóźnienie zamknięcia zaworu po osiągnięciu temperatury\npowinno zawierać się w przedziale "
    "<0, 999.9> sekund");
const QString kDeviation = QStringLiteral(
    "Odchyłka poprawności temperatury powinna zawierać się w przedziale <0, 99.9> °C");
const QString kThreshold =
    QStringLiteral("Próg temperatury powinien zawierać się w przedziale <-200, 550> °C");
const QString kHysteresis =
    QStringLiteral("Próg histerezy powinien zawierać się w przedziale <0.0, 25.5> °C");
const QString kAiringTime =
    QStringLiteral("Czas wietrzenia powinien zawierać się w przedziale <0, 100> minut");
const QString kAiringPeriod =
    QStringLiteral("Okres wietrzenia powinien zawierać się w przedziale <0, 100> minut");
const QString kAiringThreshold =
    QStringLiteral("Próg wietrzenia ZP powinien zawierać się w przedziale <-200, 550> °C");
const QString kThreshold1 =
    QStringLiteral("Próg 1 temperatury powinien zawierać się w przedziale <-200, 550> °C");
const QString kThreshold2 =
    QStringLiteral("Próg 2 temperatury powinien zawierać się w przedziale <-200, 550> °C");
const QString kHour = QStringLiteral("Godzina powinna zawierać się w przedziale <0, 23>");
const QString kMinute = QStringLiteral("Minuty powinny zawierać się w przedziale <0, 59>");

void Store(FakePanel& panel, std::initializer_list<std::pair<int, int>> values) {
    for (const auto& [code, value] : values) {
        panel.parameters.Store(code, value);
    }
}

// Each panel's stored values; every value differs so that a swap shows.
void TemperaturePanel(FakePanel& p) {
    p.Connect(kTemperatureController);
    Store(p, {{32, 123}, {33, 456}, {34, 78}, {35, 90}, {36, 12}, {37, 5}});
}
void DualZonePanel(FakePanel& p) {
    p.Connect(kDualZoneController);
    Store(p, {{140, 1000}, {141, 2000}, {142, 30}, {143, 40}, {144, 250}, {145, 15}, {146, 1}});
}
void DrainValvePanel(FakePanel& p) {
    p.Connect(kDrainValveController);
    Store(p, {{64, 300}, {65, 150}, {66, 25}});
}
void VentilationPanel(FakePanel& p) {
    p.Connect(kVentilationController);
    Store(p, {{72, -100},
              {73, 250},
              {74, 20},
              {75, 15},
              {76, 1},
              {77, 2},
              {78, 30},
              {79, 60},
              {80, -50}});
}
void ThresholdPanel(FakePanel& p) {
    p.Connect(kThresholdRegulator);
    Store(p, {{90, 215}, {91, -150}, {92, 10}, {93, 20}, {165, 2}});
    // The night set and the starts: 6:00 and 22:00.
    Store(p, {{160, 180}, {161, -200}, {162, 5}, {163, 255}, {95, 36}, {164, 132}});
}

const Ints kTemperatureArgs{123, 456, 78, 90, 5, 12, 0};
const Ints kDualZoneArgs{1000, 2000, 30, 40, 15, 250, 1};
const Ints kDrainArgs{300, 150, 25};
const Ints kVentArgs{-100, 250, 20, 15, 1, 2, 30, 60, -50};
const Ints kThresholdArgs{215, -150, 10, 20, 2};
const Ints kTimeArgs{215, -150, 10, 20, 180, -200, 5, 255, 6, 0, 22, 0, 2};

Ints With(Ints args, std::initializer_list<std::pair<int, int>> changes) {
    for (const auto& [index, value] : changes) {
        args[index] = value;
    }
    return args;
}

void AddColumns() {
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<Ints>("args");
}

void Accepted(const char* name, QStringList edits, QStringList clicks, Ints args) {
    QTest::newRow(name) << edits << clicks << QString() << QString() << args;
}
void Refused(const char* name, QStringList edits, QStringList clicks, QString message,
             QString focus) {
    QTest::newRow(name) << edits << clicks << message << focus << Ints{};
}

void RunRow(void (*setup)(FakePanel&), ParamDialogChoice choice, const char* operation) {
    QFETCH(QStringList, edits);
    QFETCH(QStringList, clicks);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    QFETCH(Ints, args);
    FakePanel panel;
    setup(panel);
    OpenDialog d(panel, choice);
    QVERIFY(d.Dialog().isVisible());
    d.TypeAll(edits);
    d.ClickAll(clicks);
    d.PressOk();
    ExpectOutcome(d, panel, message, focus, operation, args);
}

}  // namespace

class ParamFieldsTest : public QObject {
    Q_OBJECT

private slots:
    void temperatureController_data() {
        AddColumns();
        const QString minOn = QStringLiteral("minOnTimeEdit");
        Accepted("unchanged", {}, {}, kTemperatureArgs);
        Refused("min movement 0,05", {"minOnTimeEdit=0,05"}, {}, kMinOn, minOn);
        Accepted("min movement 0.1", {"minOnTimeEdit=0.1"}, {}, With(kTemperatureArgs, {{4, 1}}));
        Accepted("min movement 999.9", {"minOnTimeEdit=999.9"}, {},
                 With(kTemperatureArgs, {{4, 9999}}));
        Refused("min movement 1000", {"minOnTimeEdit=1000"}, {}, kMinOn, minOn);
        Accepted("dead zone 25.5", {"deadBandEdit=25.5"}, {}, With(kTemperatureArgs, {{5, 255}}));
        Refused("dead zone 25,6", {"deadBandEdit=25,6"}, {}, kDeadBand, "deadBandEdit");
        Refused("dead zone -0.1", {"deadBandEdit=-0.1"}, {}, kDeadBand, "deadBandEdit");
        Accepted("open 999.99 truncated", {"openTimeEdit=999.99"}, {},
                 With(kTemperatureArgs, {{0, 9999}}));
        Refused("open 1000", {"openTimeEdit=1000"}, {}, kOpenTime, "openTimeEdit");
        Refused("open -0.1", {"openTimeEdit=-0.1"}, {}, kOpenTime, "openTimeEdit");
        Accepted("close -0.05 is 0", {"closeTimeEdit=-0.05"}, {}, With(kTemperatureArgs, {{1, 0}}));
        Refused("close 1e3", {"closeTimeEdit=1e3"}, {}, kCloseTime, "closeTimeEdit");
        Refused("dead time 1000", {"deadTimeEdit=1000"}, {}, kDeadTime, "deadTimeEdit");
        Accepted("dead time 1,5,0", {"deadTimeEdit=1,5,0"}, {}, With(kTemperatureArgs, {{2, 15}}));
        Refused("standstill 1000", {"minStandstillEdit=1000"}, {}, kStandstill,
                "minStandstillEdit");
        Accepted("standstill text is 0", {"minStandstillEdit=abc"}, {},
                 With(kTemperatureArgs, {{3, 0}}));
        Refused("first refused field wins", {"deadBandEdit=30", "openTimeEdit=1000"}, {}, kOpenTime,
                "openTimeEdit");
        Refused("later field after good ones", {"closeTimeEdit=5", "minOnTimeEdit=0"}, {}, kMinOn,
                minOn);
    }
    void temperatureController() {
        RunRow(TemperaturePanel, {ParamDialog::Param}, "WriteRegulationParameters");
    }

    void dualZoneController_data() {
        AddColumns();
        Accepted("unchanged reverse", {}, {}, kDualZoneArgs);
        Accepted("normal", {}, {"normalRadio"}, With(kDualZoneArgs, {{6, 0}}));
        Accepted("normal then reverse", {}, {"normalRadio", "reverseRadio"}, kDualZoneArgs);
        Accepted("dead zone 25.5", {"deadBandEdit=25.5"}, {}, With(kDualZoneArgs, {{5, 255}}));
        Refused("dead zone 25.6", {"deadBandEdit=25.6"}, {}, kDeadBand, "deadBandEdit");
        Refused("no direction", {}, {"-reverseRadio"}, kDirection, "normalRadio");
        Refused("fields before direction", {"minOnTimeEdit=0"}, {"-reverseRadio"}, kMinOn,
                "minOnTimeEdit");
    }
    void dualZoneController() {
        RunRow(DualZonePanel, {ParamDialog::Param}, "WriteRegulationParameters");
    }

    void drainValveController_data() {
        AddColumns();
        Accepted("unchanged", {}, {}, kDrainArgs);
        Accepted("drain 999.9", {"drainTimeEdit=999.9"}, {}, With(kDrainArgs, {{0, 9999}}));
        Refused("drain 1000", {"drainTimeEdit=1000"}, {}, kDrain, "drainTimeEdit");
        Refused("drain -0.1", {"drainTimeEdit=-0.1"}, {}, kDrain, "drainTimeEdit");
        Accepted("delay 0", {"closeDelayEdit=0"}, {}, With(kDrainArgs, {{1, 0}}));
        Refused("delay 1000", {"closeDelayEdit=1000"}, {}, kDelay, "closeDelayEdit");
        Accepted("deviation 99,95", {"deviationEdit=99,95"}, {}, With(kDrainArgs, {{2, 999}}));
        Refused("deviation 100", {"deviationEdit=100"}, {}, kDeviation, "deviationEdit");
        Accepted("deviation -0.05 is 0", {"deviationEdit=-0.05"}, {}, With(kDrainArgs, {{2, 0}}));
    }
    void drainValveController() {
        RunRow(DrainValvePanel, {ParamDialog::ParamZ}, "WriteDrainValveParameters");
    }

    void ventilationController_data() {
        AddColumns();
        Accepted("unchanged", {}, {}, kVentArgs);
        Accepted("T1 -200", {"t1Edit=-200"}, {}, With(kVentArgs, {{0, -2000}}));
        Accepted("T1 550", {"t1Edit=550"}, {}, With(kVentArgs, {{0, 5500}}));
        Refused("T1 -200.1", {"t1Edit=-200.1"}, {}, kThreshold, "t1Edit");
        Refused("T1 550.1", {"t1Edit=550.1"}, {}, kThreshold, "t1Edit");
        Accepted("T2 -200,05 truncated", {"t2Edit=-200,05"}, {}, With(kVentArgs, {{1, -2000}}));
        Refused("T2 550.1", {"t2Edit=550.1"}, {}, kThreshold, "t2Edit");
        Accepted("H1 -0.09 is 0", {"h1Edit=-0.09"}, {}, With(kVentArgs, {{2, 0}}));
        Accepted("H1 25.5", {"h1Edit=25.5"}, {}, With(kVentArgs, {{2, 255}}));
        Refused("H2 25.6", {"h2Edit=25.6"}, {}, kHysteresis, "h2Edit");
        Refused("H2 -0.1", {"h2Edit=-0.1"}, {}, kHysteresis, "h2Edit");
        Accepted("CP 0", {"airingTimeEdit=0"}, {}, With(kVentArgs, {{6, 0}}));
        Accepted("CP 100", {"airingTimeEdit=100"}, {}, With(kVentArgs, {{6, 100}}));
        Accepted("CP 12,5 is 12", {"airingTimeEdit=12,5"}, {}, With(kVentArgs, {{6, 12}}));
        Refused("CP 101", {"airingTimeEdit=101"}, {}, kAiringTime, "airingTimeEdit");
        Refused("CP -1", {"airingTimeEdit=-1"}, {}, kAiringTime, "airingTimeEdit");
        Accepted("OP 100", {"airingPeriodEdit=100"}, {}, With(kVentArgs, {{7, 100}}));
        Refused("OP 101", {"airingPeriodEdit=101"}, {}, kAiringPeriod, "airingPeriodEdit");
        Refused("OP -1", {"airingPeriodEdit=-1"}, {}, kAiringPeriod, "airingPeriodEdit");
        Accepted("ZP -200", {"airingThresholdEdit=-200"}, {}, With(kVentArgs, {{8, -2000}}));
        Refused("ZP 550.1", {"airingThresholdEdit=550.1"}, {}, kAiringThreshold,
                "airingThresholdEdit");
        Refused("ZP -200.1", {"airingThresholdEdit=-200.1"}, {}, kAiringThreshold,
                "airingThresholdEdit");
        Refused("T2 before CP", {"airingTimeEdit=101", "t2Edit=600"}, {}, kThreshold, "t2Edit");
        Accepted("airing off", {}, {"airingCheck"}, With(kVentArgs, {{4, 0}}));
        Accepted("fan 1 added", {}, {"fan1Check"}, With(kVentArgs, {{5, 3}}));
        Accepted("fan 2 removed", {}, {"fan2Check"}, With(kVentArgs, {{5, 0}}));
        Accepted("fans swapped", {}, {"fan2Check", "fan1Check"}, With(kVentArgs, {{5, 1}}));
    }
    void ventilationController() {
        RunRow(VentilationPanel, {ParamDialog::ParamA}, "WriteVentilationParameters");
    }

    void thresholdRegulator_data() {
        AddColumns();
        const Ints oneChannel{215, 0, 10, 0, 1};
        Accepted("unchanged", {}, {}, kThresholdArgs);
        Accepted("T1 -200", {"t1Edit=-200"}, {}, With(kThresholdArgs, {{0, -2000}}));
        Accepted("T1 550", {"t1Edit=550"}, {}, With(kThresholdArgs, {{0, 5500}}));
        Refused("T1 -200.1", {"t1Edit=-200.1"}, {}, kThreshold1, "t1Edit");
        Refused("T1 550.1", {"t1Edit=550.1"}, {}, kThreshold1, "t1Edit");
        Refused("T2 550.1", {"t2Edit=550.1"}, {}, kThreshold2, "t2Edit");
        Refused("T2 -200.1", {"t2Edit=-200.1"}, {}, kThreshold2, "t2Edit");
        Refused("H1 25.6", {"h1Edit=25.6"}, {}, kHysteresis, "h1Edit");
        Accepted("H2 -0.09 is 0", {"h2Edit=-0.09"}, {}, With(kThresholdArgs, {{3, 0}}));
        Refused("H2 25.6", {"h2Edit=25.6"}, {}, kHysteresis, "h2Edit");
        Refused("T2 before H1", {"h1Edit=26", "t2Edit=551"}, {}, kThreshold2, "t2Edit");
        Accepted("one channel skips T2 and H2", {"t2Edit=999", "h2Edit=-5"}, {"oneChannelRadio"},
                 oneChannel);
        Refused("one channel checks T1", {"t1Edit=600"}, {"oneChannelRadio"}, kThreshold1,
                "t1Edit");
        Refused("back to two channels checks T2", {"t2Edit=999"},
                {"oneChannelRadio", "twoChannelsRadio"}, kThreshold2, "t2Edit");
    }
    void thresholdRegulator() {
        RunRow(ThresholdPanel, {ParamDialog::ParamC, true}, "WriteThresholdParameters");
    }

    void thresholdZones_data() {
        AddColumns();
        Accepted("unchanged", {}, {}, kTimeArgs);
        // The write turns 7:35 into 45 steps (7:30); the dialog passes what was typed.
        Accepted("night 7 h 35 min", {"nightHourEdit=7", "nightMinuteEdit=35"}, {},
                 With(kTimeArgs, {{10, 7}, {11, 35}}));
        Accepted("day 23 h 59 min", {"dayHourEdit=23", "dayMinuteEdit=59"}, {},
                 With(kTimeArgs, {{8, 23}, {9, 59}}));
        Accepted("day hour 7,5 is 7", {"dayHourEdit=7,5"}, {}, With(kTimeArgs, {{8, 7}}));
        Refused("day hour 24", {"dayHourEdit=24"}, {}, kHour, "dayHourEdit");
        Refused("day minute 60", {"dayMinuteEdit=60"}, {}, kMinute, "dayMinuteEdit");
        Refused("night hour -1", {"nightHourEdit=-1"}, {}, kHour, "nightHourEdit");
        Refused("night hour 24", {"nightHourEdit=24"}, {}, kHour, "nightHourEdit");
        Refused("night minute 60", {"nightMinuteEdit=60"}, {}, kMinute, "nightMinuteEdit");
        Refused("night minute -1", {"nightMinuteEdit=-1"}, {}, kMinute, "nightMinuteEdit");
        Refused("day minute before night hour", {"nightHourEdit=24", "dayMinuteEdit=60"}, {},
                kMinute, "dayMinuteEdit");
        Refused("night hour before night minute", {"nightMinuteEdit=60", "nightHourEdit=24"}, {},
                kHour, "nightHourEdit");
        Refused("starts before thresholds", {"dayT1Edit=600", "nightMinuteEdit=60"}, {}, kMinute,
                "nightMinuteEdit");
        Refused("day T1 -200.1", {"dayT1Edit=-200.1"}, {}, kThreshold1, "dayT1Edit");
        Refused("day T2 550.1", {"dayT2Edit=550.1"}, {}, kThreshold2, "dayT2Edit");
        Refused("day H2 25.6", {"dayH2Edit=25.6"}, {}, kHysteresis, "dayH2Edit");
        Refused("day before night", {"nightT1Edit=600", "dayH1Edit=26"}, {}, kHysteresis,
                "dayH1Edit");
        Refused("night T1 550.1", {"nightT1Edit=550.1"}, {}, kThreshold1, "nightT1Edit");
        Accepted("night T2 -200", {"nightT2Edit=-200"}, {}, With(kTimeArgs, {{5, -2000}}));
        Accepted("night H1 -0.09 is 0", {"nightH1Edit=-0.09"}, {}, With(kTimeArgs, {{6, 0}}));
        Refused("night H2 25.6", {"nightH2Edit=25.6"}, {}, kHysteresis, "nightH2Edit");
        Accepted("one channel skips the second fields",
                 {"dayT2Edit=999", "dayH2Edit=99", "nightT2Edit=-999", "nightH2Edit=99"},
                 {"oneChannelRadio"}, Ints{215, 0, 10, 0, 180, 0, 5, 0, 6, 0, 22, 0, 1});
        Refused("one channel checks night T1", {"nightT1Edit=-201"}, {"oneChannelRadio"},
                kThreshold1, "nightT1Edit");
    }
    void thresholdZones() {
        RunRow(ThresholdPanel, {ParamDialog::ParamCTime}, "WriteThresholdTimeParameters");
    }
};

}  // namespace tk358::test

QTEST_MAIN(tk358::test::ParamFieldsTest)
#include "param_fields_test.moc"
