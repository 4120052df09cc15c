// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/status_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "panel/panel_model.h"

namespace tk358 {
namespace {

// Stands in for the locale's "%c" so the expected texts do not depend on it.
std::string IsoDateTime(const std::tm& tm) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

ReadingsSnapshot Identified(uint8_t type, uint16_t number) {
    ReadingsSnapshot s;
    s.connected = true;
    s.identity.identified = 1;
    s.identity.deviceType = type;
    s.identity.serialNumber = number;
    s.identity.hardwareVariant = 1;
    return s;
}

TEST(StatusTextTest, VentilationControllerWithoutExtras) {
    const StatusLine line = BuildStatusLine(Identified(kVentilationController, 7), {}, IsoDateTime);
    EXPECT_FALSE(line.stop);
    EXPECT_EQ(line.text, "TK-358W nr 7. ");
    EXPECT_EQ(line.indicator, IndicatorState::kCorrect);
}

TEST(StatusTextTest, DualZoneWithLoggingAndClock) {
    ReadingsSnapshot s = Identified(kDualZoneController, 12);
    s.clock.time = {2024, 3, 5, 15, 8, 7, 9, 0};
    s.clock.valid = 1;
    const StatusLine line = BuildStatusLine(s, {true, 60}, IsoDateTime);
    EXPECT_EQ(line.text, "TK-358D nr 12.  Rejestracja do pliku co 00:01:00. 2024-03-15 08:07:09");
}

TEST(StatusTextTest, PanelLabels) {
    struct Case {
        bool identified;
        bool noNumber;
        uint8_t type;
        const char* text;
    };
    const Case cases[] = {
        {false, false, kDualZoneController, "TK-358"},
        {true, true, kDualZoneController, "TK-358"},
        {true, false, kDualZoneController, "TK-358D nr 65535. "},
        {true, false, kThresholdRegulator, "TK-358C nr 65535. "},
        {true, false, kVentilationController, "TK-358W nr 65535. "},
        {true, false, kTemperatureController, "TK-358 nr 65535. "},
        {true, false, kDrainValveController, "TK-358 nr 65535. "},
        {true, false, kUnknownDevice, "TK-358 nr 65535. "},
    };
    for (const Case& c : cases) {
        ReadingsSnapshot s = Identified(c.type, 65535);
        s.identity.identified = c.identified ? 1 : 0;
        s.identity.noNumber = c.noNumber ? 1 : 0;
        EXPECT_EQ(BuildStatusLine(s, {}, IsoDateTime).text, c.text);
    }
}

TEST(StatusTextTest, FaultNotesAndIndicator) {
    struct Case {
        TemperatureReading temperature;
        SetpointReading setpoint;
        const char* text;
        IndicatorState indicator;
    };
    SetpointReading faultySetpoint;
    faultySetpoint.error = 1;
    faultySetpoint.valid = 1;
    SetpointReading staleFault = faultySetpoint;
    staleFault.valid = 0;
    const Case cases[] = {
        {{20.0, 1, 1}, {}, "TK-358 nr 3.  Błąd temperatury.", IndicatorState::kError},
        {{}, faultySetpoint, "TK-358 nr 3.  Błąd wartości zadanej.", IndicatorState::kError},
        {{20.0, 1, 1},
         faultySetpoint,
         "TK-358 nr 3.  Błąd temperatury. Błąd wartości zadanej.",
         IndicatorState::kError},
        {{20.0, 1, 0}, staleFault, "TK-358 nr 3. ", IndicatorState::kCorrect},
    };
    for (const Case& c : cases) {
        ReadingsSnapshot s = Identified(kTemperatureController, 3);
        s.temperature = c.temperature;
        s.setpoint = c.setpoint;
        const StatusLine line = BuildStatusLine(s, {}, IsoDateTime);
        EXPECT_EQ(line.text, c.text);
        EXPECT_EQ(line.indicator, c.indicator) << c.text;
    }
}

TEST(StatusTextTest, NoLinkKeepsLoggingNoteAndClock) {
    ReadingsSnapshot s = Identified(kThresholdRegulator, 3);
    s.connected = false;
    s.temperature = {20.0, 1, 1};
    const StatusLine line = BuildStatusLine(s, {true, 3725}, IsoDateTime);
    EXPECT_EQ(line.text, "Brak komunikacji z urządzeniem.  Rejestracja do pliku co 01:02:05. ");
    EXPECT_EQ(line.indicator, IndicatorState::kNoLink);
    EXPECT_EQ(BuildStatusLine(s, {false, 3725}, IsoDateTime).text,
              "Brak komunikacji z urządzeniem. ");
}

TEST(StatusTextTest, ThresholdRegulatorClockOnlyWhenEnabled) {
    ReadingsSnapshot s = Identified(kThresholdRegulator, 3);
    s.clock.time = {2009, 12, 4, 31, 23, 59, 58, 0};
    s.clock.valid = 1;
    EXPECT_EQ(BuildStatusLine(s, {}, IsoDateTime).text, "TK-358C nr 3. ");
    s.clock.clockEnabled = 1;
    EXPECT_EQ(BuildStatusLine(s, {}, IsoDateTime).text, "TK-358C nr 3. 2009-12-31 23:59:58");
}

TEST(StatusTextTest, UnsupportedVariantStops) {
    const struct {
        bool identified;
        uint16_t variant;
        bool unsupported;
    } cases[] = {{true, 0, false}, {true, 1, false},    {true, 2, true},
                 {true, 3, false}, {true, 4, true},     {true, 5, false},
                 {true, 6, true},  {true, 65535, true}, {false, 2, false}};
    for (const auto& c : cases) {
        ReadingsSnapshot s = Identified(kTemperatureController, 3);
        s.identity.identified = c.identified ? 1 : 0;
        s.identity.hardwareVariant = c.variant;
        EXPECT_EQ(IsUnsupportedPanel(s.identity), c.unsupported) << c.variant;
        const StatusLine line = BuildStatusLine(s, {true, 60}, IsoDateTime);
        EXPECT_EQ(line.stop, c.unsupported) << c.variant;
        if (c.unsupported) {
            EXPECT_EQ(line.text, "");
            EXPECT_EQ(line.indicator, IndicatorState::kNoLink);
        }
    }
    // Without a link the stale identity does not stop the program.
    ReadingsSnapshot s = Identified(kTemperatureController, 3);
    s.identity.hardwareVariant = 2;
    s.connected = false;
    EXPECT_FALSE(BuildStatusLine(s, {}, IsoDateTime).stop);
}

TEST(StatusTextTest, ClockBefore1900IsTimeZero) {
    const char* oldTz = std::getenv("TZ");
    const std::string saved = oldTz != nullptr ? oldTz : "";
    setenv("TZ", "UTC", 1);
    tzset();
    const std::tm tm = PanelTimeToTm({1899, 12, 0, 31, 23, 59, 59, 0});
    EXPECT_EQ(IsoDateTime(tm), "1970-01-01 00:00:00");
    EXPECT_EQ(tm.tm_wday, 4);
    setenv("TZ", "CET", 1);
    tzset();
    EXPECT_EQ(IsoDateTime(PanelTimeToTm({})), "1970-01-01 01:00:00");
    if (oldTz != nullptr) {
        setenv("TZ", saved.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

TEST(StatusTextTest, LocaleDateTimeInTheCLocale) {
    std::setlocale(LC_TIME, "C");
    EXPECT_EQ(FormatLocaleDateTime(PanelTimeToTm({2024, 3, 5, 15, 8, 7, 9, 0})),
              "Fri Mar 15 08:07:09 2024");
}

TEST(StatusTextTest, TextWrittenOnlyWhenChanged) {
    StatusTextHolder holder;
    EXPECT_FALSE(holder.Update(""));  // the line starts empty
    EXPECT_TRUE(holder.Update("TK-358W nr 7. "));
    EXPECT_FALSE(holder.Update("TK-358W nr 7. "));
    EXPECT_EQ(holder.Text(), "TK-358W nr 7. ");
    EXPECT_TRUE(holder.Update("Brak komunikacji z urządzeniem. "));
}

}  // namespace
}  // namespace tk358
