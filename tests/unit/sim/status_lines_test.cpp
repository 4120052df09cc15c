// SPDX-License-Identifier: GPL-3.0-or-later
// The unrequested status lines of every kind: which lines, their lengths, and
// the process values at the positions the program reads.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "sim/panel_lines.h"
#include "sim/sim_panel.h"
#include "sim_test_support.h"

namespace tk358::sim {
namespace {

using namespace std::chrono_literals;

// The program's length check of each status line.
const std::map<std::string, int> kProgramMinimum = {
    {"020200:", 51}, {"028000:", 21}, {"028B00:", 24}, {"028800:", 88}, {"028900:", 49},
    {"028A00:", 29}, {"029300:", 29}, {"029800:", 14}, {"029500:", 14}, {"030000:", 10},
};

// Sum of the line's digit pairs, checksum included, ":" skipped.
unsigned DigitPairSum(const std::string& line) {
    std::string digits;
    for (char c : line.substr(0, line.size() - 2)) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) {
            digits += c;
        }
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        sum += static_cast<unsigned>(std::stoul(digits.substr(i, 2), nullptr, 16));
    }
    return sum & 0xFFu;
}

TEST(StatusLinesTest, EachKindSendsItsLinesWithinTheProgramsChecks) {
    const std::map<int, std::vector<std::string>> expected = {
        {0, {"020200:", "028000:", "028800:", "028900:"}},
        {1, {"020200:", "028000:", "028800:", "028A00:"}},
        {2, {"020200:", "029300:"}},
        {3, {"020200:", "028B00:", "028800:", "028900:", "029800:", "030000:"}},
        {4, {"020200:", "029800:", "029500:", "030000:"}},
    };
    for (const auto& [kind, prefixes] : expected) {
        SimConfig config = DefaultConfig(kind);
        config.monitoring = true;
        SimPanel panel(config);
        const std::vector<std::string> lines = test::StatusBurst(panel, 1000);
        ASSERT_EQ(lines.size(), prefixes.size()) << "kind " << kind;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            EXPECT_TRUE(line.starts_with(prefixes[i])) << "kind " << kind << ": " << line;
            EXPECT_GE(static_cast<int>(line.size()), kProgramMinimum.at(prefixes[i])) << line;
            EXPECT_TRUE(line.ends_with("\r\n")) << line;
            EXPECT_EQ(line.find('\r'), line.size() - 2) << line;
            EXPECT_EQ(DigitPairSum(line), 0u) << "checksum of " << line;
        }
    }
}

// Runs a panel for a while so its values are not the starting ones.
SimPanel Running(int kind, std::chrono::milliseconds time) {
    SimConfig config = DefaultConfig(kind);
    config.clockSeconds = 36'720'000 + 23 * 3600;  // 2001-03-01 23:00
    SimPanel panel(config);
    panel.Advance(time);
    return panel;
}

void ExpectRegulator(const AnswerLine& a, const RegulatorValues& r) {
    EXPECT_EQ(a.Unsigned(7, 2), 0u);
    EXPECT_NEAR(a.Float(13), r.error, 1e-5);
    EXPECT_NEAR(a.Float(22), r.processValue, 1e-5);
    EXPECT_NEAR(a.Float(31), r.controlValue, 1e-5);
    EXPECT_NEAR(a.Float(40), r.pTerm, 1e-5);
    EXPECT_NEAR(a.Float(49), r.iTerm, 1e-5);
    EXPECT_NEAR(a.Float(58), r.dTerm, 1e-5);
    EXPECT_NEAR(a.Float(67), r.pvDerivative1, 1e-7);
    EXPECT_NEAR(a.Float(76), r.pvDerivative2, 1e-7);
    EXPECT_EQ(a.Unsigned(85, 4), static_cast<uint64_t>(r.loopPeriod));
    EXPECT_FALSE(a.Bit(11, 0));
}

void ExpectValve(const AnswerLine& a, const ValveValues& v) {
    EXPECT_EQ(a.Unsigned(7, 2), 0u);
    EXPECT_NEAR(a.Float(10) / 10.0, v.position, 1e-4);
    EXPECT_EQ(a.Field32(19), v.timer1);
    EXPECT_EQ(a.Field32(28), v.timer2);
    EXPECT_EQ(a.Digit(38), v.command);
    EXPECT_EQ(a.Bit(40, 0), v.motorRunning);
    EXPECT_EQ(a.Bit(40, 1), v.opening);
    EXPECT_EQ(a.Unsigned(42, 4), static_cast<uint64_t>(v.commandValue));
}

TEST(StatusLinesTest, TemperatureControllerValuesAtTheirPositions) {
    SimPanel panel = Running(kKindTemperature, 95s);
    const std::vector<std::string> lines = panel.StatusLines();
    const ProcessValues& v = panel.Values();
    EXPECT_NEAR(test::Find(lines, "020200:").Signed(12, 8) / 100.0, v.temperature, 0.005);
    EXPECT_EQ(test::Find(lines, "028000:").Signed(10, 8), 4500);
    EXPECT_EQ(test::Find(lines, "028000:").Digit(7), 0);
    ExpectRegulator(test::Find(lines, "028800:"), v.regulator);
    ExpectValve(test::Find(lines, "028900:"), v.valve);
}

TEST(StatusLinesTest, DualZoneValuesAtTheirPositions) {
    SimPanel panel = Running(kKindDualZone, 47s);
    const std::vector<std::string> lines = panel.StatusLines();
    const ProcessValues& v = panel.Values();
    const AnswerLine setpoint = test::Find(lines, "028B00:");
    EXPECT_EQ(setpoint.Unsigned(7, 2), 0u);
    EXPECT_FALSE(setpoint.Bit(11, 0));
    EXPECT_EQ(setpoint.Signed(13, 8), 1800) << "23:00 is in the second zone";
    EXPECT_EQ(test::Find(lines, "029800:").Unsigned(7, 2), 1u);
    ExpectRegulator(test::Find(lines, "028800:"), v.regulator);
    ExpectValve(test::Find(lines, "028900:"), v.valve);
    EXPECT_EQ(test::Find(lines, "030000:").Unsigned(10, 8), 36'720'000u + 23 * 3600 + 47);
}

TEST(StatusLinesTest, DrainVentilationAndRelayValuesAtTheirPositions) {
    SimPanel drain = Running(kKindDrainValve, 20s);
    drain.Process().SetTemperature(30.0);  // far below the set point: a drain starts
    drain.Advance(15s);
    const DrainValues& d = drain.Values().drain;
    const AnswerLine a = test::Find(drain.StatusLines(), "028A00:");
    EXPECT_EQ(a.Field32(7), d.timer1);
    EXPECT_EQ(a.Field32(16), d.timer2);
    EXPECT_EQ(a.Unsigned(25, 2), static_cast<uint64_t>(d.state));
    EXPECT_EQ(a.Unsigned(28, 2), d.valveOpen ? 1u : 0u);
    EXPECT_EQ(d.state, kDrainInDrop);
    EXPECT_GT(d.timer1, 0);

    SimPanel ventilation = Running(kKindVentilation, 130s);
    const VentilationValues& f = ventilation.Values().ventilation;
    const AnswerLine b = test::Find(ventilation.StatusLines(), "029300:");
    EXPECT_EQ(b.Unsigned(7, 2), f.virtualFans);
    EXPECT_EQ(b.Unsigned(10, 2), f.fans);
    EXPECT_EQ(b.Field32(13), 130);
    EXPECT_EQ(b.Field32(22), f.periodStart);

    SimPanel threshold = Running(kKindThreshold, 10s);
    threshold.Process().SetTemperature(16.0);
    threshold.Advance(1s);
    const AnswerLine c = test::Find(threshold.StatusLines(), "029500:");
    EXPECT_EQ(c.Unsigned(7, 2), 1u);
    EXPECT_EQ(c.Unsigned(10, 2), 1u);
    EXPECT_EQ(c.Unsigned(13, 4), 10u);
    EXPECT_EQ(test::Find(threshold.StatusLines(), "029800:").Unsigned(7, 2), 1u) << "night";
}

TEST(StatusLinesTest, NegativeTemperatureAndSetPointUseTheSignedField) {
    SimPanel panel(DefaultConfig(kKindTemperature));
    panel.Process().SetTemperature(-12.34);
    ASSERT_TRUE(panel.SetParameter(0, -1234));
    const std::vector<std::string> lines = panel.StatusLines();
    EXPECT_EQ(test::Find(lines, "020200:").Signed(12, 8), -1234);
    EXPECT_EQ(test::Find(lines, "028000:").Signed(10, 8), -1234);
}

}  // namespace
}  // namespace tk358::sim
