// SPDX-License-Identifier: GPL-3.0-or-later
// Fault injection of the simulated panel: each fault changes exactly what it
// names, and the program's line cutter still finds the real lines.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/line_cutter.h"
#include "link/records.h"
#include "sim/panel_lines.h"
#include "sim/sim_panel.h"
#include "sim_test_support.h"

namespace tk358::sim {
namespace {

using namespace std::chrono_literals;
using test::Ask;

// Lines the program's cutter hands to a decoder, in order.
std::vector<std::string> ProgramLines(const std::string& bytes) {
    LineCutter cutter;
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < kAnswerKindCount; ++i) {
        cutter.Dispatcher().Attach(static_cast<AnswerKind>(i), [&lines](const AnswerLine& line) {
            lines.emplace_back(line.View());
            return kStatusOk;
        });
    }
    for (char b : bytes) {
        cutter.Push(b);
    }
    return lines;
}

SimPanel Monitoring(int kind, const FaultSettings& faults) {
    SimConfig config = DefaultConfig(kind);
    config.monitoring = true;
    SimPanel panel(config);
    panel.SetFaults(faults);
    return panel;
}

TEST(SimFaultsTest, SilenceLosesAnswersAndStatusLinesForItsTime) {
    SimPanel panel = Monitoring(kKindDualZone, {});
    panel.SilenceFor(2500ms);
    EXPECT_EQ(Ask(panel, "020A00"), "");
    EXPECT_TRUE(test::StatusBurst(panel, 2000).empty());
    EXPECT_EQ(Ask(panel, "031000" + HexText(1000, 8)), "") << "not heard, not done";
    EXPECT_NE(panel.ClockSeconds(), 1000u);
    panel.Advance(500ms);
    EXPECT_FALSE(panel.Silent());
    EXPECT_NE(Ask(panel, "020A00"), "");
    EXPECT_EQ(panel.Frames().size(), 3u) << "every request is recorded";

    panel.SilenceUntilResumed();
    panel.Advance(1h);
    EXPECT_EQ(Ask(panel, "020A00"), "");
    panel.Resume();
    EXPECT_NE(Ask(panel, "020A00"), "");
}

TEST(SimFaultsTest, JunkBetweenLinesLeavesTheRealLinesWhole) {
    for (const bool overlong : {false, true}) {
        FaultSettings faults;
        faults.garbageBetweenLines = !overlong;
        faults.overlongLines = overlong;
        SimPanel panel = Monitoring(kKindThreshold, faults);
        panel.Receive(BuildRequest("020A00").Text());
        panel.Advance(1s);
        const std::string bytes = test::Drain(panel);
        const std::vector<std::string> lines = ProgramLines(bytes);
        ASSERT_EQ(lines.size(), 5u) << "identification and four status lines";
        EXPECT_TRUE(lines[0].starts_with("020A00:0358:"));
        for (const std::string& line : lines) {
            EXPECT_EQ(line.find("999"), std::string::npos) << "the overlong tail was decoded";
        }
        if (overlong) {
            EXPECT_GT(bytes.find("\r\n"), 256u) << "the first line end comes past 256 bytes";
            EXPECT_NE(bytes.find(TemperatureLine(999.99, false)), std::string::npos);
        } else {
            std::size_t junk = 0;
            for (std::size_t at = bytes.find(GarbageLine()); at != std::string::npos;
                 at = bytes.find(GarbageLine(), at + 1)) {
                ++junk;
            }
            EXPECT_EQ(junk, 5u) << "a junk line before each line";
        }
    }
}

TEST(SimFaultsTest, NoiseLeavesNoStatusLineReadableButAnswersWhole) {
    FaultSettings faults;
    faults.noisyStatusLines = true;
    for (int kind = 0; kind < kKindCount; ++kind) {
        SimPanel panel = Monitoring(kind, faults);
        const std::vector<std::string> sent = test::StatusBurst(panel, 1000);
        const std::vector<std::string> clean = panel.StatusLines();  // as of the burst
        ASSERT_EQ(sent.size(), clean.size()) << "kind " << kind;
        for (std::size_t i = 0; i < sent.size(); ++i) {
            EXPECT_EQ(sent[i].size(), clean[i].size()) << sent[i];
            EXPECT_EQ(sent[i].substr(2), clean[i].substr(2)) << "only the code is hit";
            EXPECT_TRUE(sent[i].ends_with("\r\n")) << sent[i];
        }
        std::string bytes;
        for (const std::string& line : sent) {
            bytes += line;
        }
        EXPECT_TRUE(ProgramLines(bytes).empty()) << "kind " << kind;
        EXPECT_TRUE(Ask(panel, "020A00").starts_with("020A00:0358:")) << "kind " << kind;
    }
}

TEST(SimFaultsTest, ShortLinesEndOneByteBelowWhatTheProgramNeeds) {
    struct Case {
        int kind;
        const char* prefix;
        std::size_t length;
    };
    const Case cases[] = {
        {3, "020200:", 50}, {3, "028B00:", 23}, {3, "028800:", 87}, {3, "028900:", 48},
        {3, "029800:", 13}, {3, "030000:", 11}, {0, "028000:", 20}, {1, "028A00:", 28},
        {2, "029300:", 28}, {4, "029500:", 13},
    };
    for (const Case& c : cases) {
        FaultSettings faults;
        faults.shortLines = true;
        SimPanel panel = Monitoring(c.kind, faults);
        const AnswerLine line = test::Find(test::StatusBurst(panel, 1000), c.prefix);
        EXPECT_EQ(static_cast<std::size_t>(line.length), c.length) << c.prefix;
        EXPECT_TRUE(line.View().ends_with("\r\n")) << c.prefix;
    }
    FaultSettings onlyTemperature;
    onlyTemperature.shortLines = true;
    onlyTemperature.shortPrefix = "020200:";
    SimPanel panel = Monitoring(kKindDualZone, onlyTemperature);
    EXPECT_EQ(Ask(panel, "020A00").size(), 40u);
    const std::vector<std::string> lines = test::StatusBurst(panel, 1000);
    EXPECT_EQ(test::Find(lines, "020200:").length, 50);
    EXPECT_EQ(test::Find(lines, "028B00:").length, 25);

    FaultSettings all;
    all.shortLines = true;
    panel.SetFaults(all);
    EXPECT_EQ(Ask(panel, "020A00").size(), 34u);
    EXPECT_EQ(Ask(panel, "0286000084").size(), 25u);
    EXPECT_EQ(Ask(panel, "050100").size(), 27u);
}

TEST(SimFaultsTest, ErrorBitsAndRefusals) {
    FaultSettings faults;
    faults.busyPanelInfo = true;
    faults.refuseParameterWrites = true;
    faults.parameterReadError = true;
    faults.regulatorError = true;
    faults.clockError = true;
    faults.sensorFault = true;
    faults.setpointFaultBits = 5;  // A and C
    SimPanel panel = Monitoring(kKindDualZone, faults);
    EXPECT_TRUE(AnswerLine::From(Ask(panel, "050100")).Bit(8, 0));
    EXPECT_TRUE(AnswerLine::From(Ask(panel, "0286000084")).Bit(13, 0));
    EXPECT_TRUE(AnswerLine::From(Ask(panel, "028700008A0000")).Bit(19, 0));
    EXPECT_TRUE(AnswerLine::From(Ask(panel, "028700008A0127")).Bit(19, 0));
    EXPECT_EQ(panel.Parameters().Get(138), 36) << "refused bytes change nothing";

    const std::vector<std::string> lines = test::StatusBurst(panel, 1000);
    EXPECT_TRUE(test::Find(lines, "020200:").Bit(10, 0));
    EXPECT_TRUE(test::Find(lines, "028800:").Bit(11, 0));
    EXPECT_TRUE(test::Find(lines, "030000:").Bit(8, 0));
    const AnswerLine dual = test::Find(lines, "028B00:");
    EXPECT_TRUE(dual.Bit(10, 0));
    EXPECT_FALSE(dual.Bit(10, 1));
    EXPECT_TRUE(dual.Bit(11, 0));

    SimPanel single = Monitoring(kKindTemperature, faults);
    EXPECT_EQ(test::Find(test::StatusBurst(single, 1000), "028000:").Digit(7), 5);

    panel.SetFaults({});
    EXPECT_FALSE(AnswerLine::From(Ask(panel, "050100")).Bit(8, 0));
    EXPECT_FALSE(test::Find(test::StatusBurst(panel, 1000), "020200:").Bit(10, 0));
}

TEST(SimFaultsTest, EveryNthAnswerIsDroppedButStatusLinesAreNot) {
    FaultSettings faults;
    faults.dropEveryNthAnswer = 3;
    SimPanel panel = Monitoring(kKindDualZone, faults);
    std::vector<bool> answered;
    for (int i = 0; i < 9; ++i) {
        answered.push_back(!Ask(panel, "020A00").empty());
    }
    EXPECT_EQ(answered,
              (std::vector<bool>{true, true, false, true, true, false, true, true, false}));
    EXPECT_EQ(test::StatusBurst(panel, 1000).size(), 6u);
    // A dropped write answer still took the byte: the program starts the value again.
    SimPanel writes = Monitoring(kKindThreshold, faults);
    Ask(writes, "028700005A00F8");
    Ask(writes, "028700005A0130");
    EXPECT_EQ(writes.Parameters().Get(90), -2000);
    EXPECT_EQ(Ask(writes, "028700005A00F8"), "");
}

}  // namespace
}  // namespace tk358::sim
