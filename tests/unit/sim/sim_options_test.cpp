// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of tk358-sim.

#include "sim/sim_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/panel_calendar.h"

namespace tk358::sim {
namespace {

TEST(SimOptionsTest, KindAndIdentityInAnyOrder) {
    struct Case {
        std::vector<std::string> args;
        int kind;
        int variant;
        int firmware;
        int serial;
        bool clockEnabled;
    };
    const Case cases[] = {
        {{}, 3, 5, 107, 3105, true},
        {{"0"}, 0, 0, 203, 1201, false},
        {{"--serial", "77", "2"}, 2, 1, 110, 77, false},
        {{"4", "--firmware=1.00"}, 4, 3, 100, 4021, false},
        {{"--firmware", "100", "--clock-enabled", "1", "4"}, 4, 3, 100, 4021, true},
        {{"--firmware", "1.01", "4"}, 4, 3, 101, 4021, true},
        {{"--variant", "2", "1"}, 1, 2, 104, 1302, false},
    };
    for (const Case& c : cases) {
        const SimCommandLine line = ParseCommandLine(c.args);
        ASSERT_EQ(line.error, "") << c.args.size();
        const SimConfig& p = line.runner.panel;
        EXPECT_EQ(p.kind, c.kind);
        EXPECT_EQ(p.hardwareVariant, c.variant) << c.kind;
        EXPECT_EQ(p.firmwareVersion, c.firmware) << c.kind;
        EXPECT_EQ(p.serialNumber, c.serial) << c.kind;
        EXPECT_EQ(p.clockEnabled, c.clockEnabled) << c.kind;
    }
}

TEST(SimOptionsTest, LinkFaultsAndStartState) {
    const SimCommandLine c = ParseCommandLine({"--port",
                                               "12",
                                               "--pace",
                                               "--turnaround=15",
                                               "--short-prefix",
                                               "020200:",
                                               "--busy",
                                               "--setpoint-faults",
                                               "3",
                                               "--drop-every",
                                               "4",
                                               "--set",
                                               "90=-2000",
                                               "--set",
                                               "165=1",
                                               "--clock",
                                               "2001-03-01 00:00:00",
                                               "--silent-for",
                                               "2500",
                                               "--no-number",
                                               "--short-id"});
    ASSERT_EQ(c.error, "");
    EXPECT_EQ(c.runner.portNumber, 12);
    EXPECT_TRUE(c.runner.pace);
    EXPECT_EQ(c.runner.turnaround.count(), 15);
    EXPECT_TRUE(c.faults.shortLines);
    EXPECT_EQ(c.faults.shortPrefix, "020200:");
    EXPECT_TRUE(c.faults.busyPanelInfo);
    EXPECT_EQ(c.faults.setpointFaultBits, 3);
    EXPECT_EQ(c.faults.dropEveryNthAnswer, 4);
    EXPECT_EQ(c.parameters, (std::vector<std::pair<int, int64_t>>{{90, -2000}, {165, 1}}));
    EXPECT_EQ(c.runner.panel.clockSeconds, 36'720'000u);
    EXPECT_EQ(c.silentFor.count(), 2500);
    EXPECT_TRUE(c.runner.panel.noNumber);
    EXPECT_TRUE(c.runner.panel.shortIdentification);
}

TEST(SimOptionsTest, WrongLinesAreRefusedWithAReason) {
    const std::vector<std::vector<std::string>> wrong = {
        {"5"},
        {"--port", "0"},
        {"--port", "256"},
        {"--port"},
        {"--frobnicate"},
        {"--pace=1"},
        {"--firmware", "1.100"},
        {"--set", "90"},
        {"--clock", "1999-12-31 23:59:59"},
        {"--setpoint-faults", "8"},
        {"x"},
    };
    for (const auto& args : wrong) {
        EXPECT_NE(ParseCommandLine(args).error, "") << args.front();
    }
    EXPECT_TRUE(ParseCommandLine({"--help"}).help);
    EXPECT_NE(HelpText().find("--turnaround"), std::string::npos);
}

}  // namespace
}  // namespace tk358::sim
