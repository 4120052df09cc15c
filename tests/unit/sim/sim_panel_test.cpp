// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated panel's answers, read back at the positions the program reads.

#include "sim/sim_panel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim_test_support.h"

namespace tk358::sim {
namespace {

using namespace std::chrono_literals;
using test::Ask;
using test::Crlf;

// The program's rule for the panel kind of an identification answer.
int ProgramDeviceType(const AnswerLine& a) {
    if (a.length < 25 || !a.StartsWith("020A00:0358:")) {
        return -1;
    }
    const auto variant = a.Unsigned(12, 2);
    if (a.length < 35) {
        return 5;
    }
    switch (variant) {
        case 0:
            return a.Bit(33, 0) ? 1 : 0;
        case 1:
            return 2;
        case 3:
            return 4;
        case 5:
            return 3;
        default:
            return 5;
    }
}

TEST(SimPanelTest, IdentificationCarriesTheKindsIdentity) {
    struct Case {
        int kind;
        int variant;
        int firmware;
        int serial;
    };
    const Case cases[] = {
        {0, 0, 203, 1201}, {1, 0, 104, 1302}, {2, 1, 110, 2417},
        {3, 5, 107, 3105}, {4, 3, 105, 4021},
    };
    for (const Case& c : cases) {
        SimPanel panel(DefaultConfig(c.kind));
        const AnswerLine a = AnswerLine::From(Ask(panel, "020A00"));
        EXPECT_TRUE(a.StartsWith("020A00:0358:")) << c.kind;
        EXPECT_EQ(a.length, 40) << c.kind;
        EXPECT_EQ(a.Unsigned(12, 2), static_cast<uint64_t>(c.variant)) << c.kind;
        EXPECT_EQ(a.Unsigned(14, 2) * 100 + a.Unsigned(16, 2), static_cast<uint64_t>(c.firmware));
        EXPECT_EQ(a.Unsigned(27, 4), static_cast<uint64_t>(c.serial)) << c.kind;
        EXPECT_FALSE(a.Bit(25, 0)) << c.kind;
        EXPECT_EQ(ProgramDeviceType(a), c.kind);
    }
}

std::string AskFresh(const SimConfig& config, std::string_view request) {
    SimPanel panel(config);
    return Ask(panel, request);
}

TEST(SimPanelTest, IdentificationOptionsNumberFlagAndShortForm) {
    SimConfig config = DefaultConfig(kKindDualZone);
    EXPECT_EQ(AskFresh(config, "020A00"), Crlf("020A00:0358:05010700000000:0C21:00005F"));

    config.noNumber = true;
    config.optionBits = 0x8E1F;  // digit 32 bit 3, digit 34 bit 0, digit 35 all; not digit 33 bit 0
    config.firmwareVersion = 1234;
    const AnswerLine a = AnswerLine::From(AskFresh(config, "020A00"));
    EXPECT_TRUE(a.Bit(25, 0));
    EXPECT_TRUE(a.Bit(32, 3));
    EXPECT_FALSE(a.Bit(33, 0)) << "the drain-valve bit belongs to kind 1 only";
    EXPECT_TRUE(a.Bit(34, 0));
    EXPECT_EQ(a.Digit(35), 0xF);
    EXPECT_EQ(a.Unsigned(14, 2) * 100 + a.Unsigned(16, 2), 1234u);

    config.shortIdentification = true;
    const std::string shortLine = AskFresh(config, "020A00");
    EXPECT_EQ(shortLine.size(), 25u);
    EXPECT_EQ(ProgramDeviceType(AnswerLine::From(shortLine)), 5);
    EXPECT_TRUE(shortLine.starts_with("020A00:0358:05")) << shortLine;
}

TEST(SimPanelTest, PanelInformationFields) {
    SimConfig config = DefaultConfig(kKindTemperature);
    config.statusBits = 0x15;  // status 1 and 3, and status 5
    config.probeCalibrationError = true;
    config.probeByte = 0x3C;
    config.probeSerialNumber = 51234;
    config.calibrationYear = 2009;
    config.calibrationMonth = 3;
    SimPanel panel(config);
    const AnswerLine a = AnswerLine::From(Ask(panel, "050100"));
    ASSERT_TRUE(a.StartsWith("050100:"));
    EXPECT_GE(a.length, 28);
    EXPECT_FALSE(a.Bit(8, 0)) << "busy";
    EXPECT_EQ(a.Digit(10), 0x5);
    EXPECT_TRUE(a.Bit(13, 0)) << "calibration error";
    EXPECT_TRUE(a.Bit(13, 2)) << "status 5";
    EXPECT_EQ(a.Unsigned(15, 2), 0x3Cu);
    EXPECT_EQ(a.Unsigned(18, 4), 51234u);
    EXPECT_EQ(a.Digit(26) + 2001, 2009);
    EXPECT_EQ(a.Digit(27) + 1, 3);
}

// The program's reading of a "028600:" answer; nullopt when it refuses it.
std::optional<int64_t> ProgramReadValue(const AnswerLine& a, int code) {
    if (a.length < 17 || a.Bit(13, 0)) {
        return std::nullopt;
    }
    const int count = a.Digit(16) & 7;
    if (a.Bit(15, 2) || count == 0 || a.length < 2 * count + 18 ||
        a.Unsigned(7, 4) != static_cast<uint64_t>(code)) {
        return std::nullopt;
    }
    if (a.Bit(15, 3)) {
        return a.Signed(18, 2 * count);
    }
    return static_cast<int64_t>(a.Unsigned(18, 2 * count));
}

TEST(SimPanelTest, ParameterReadAnswersCarryWidthSignAndValue) {
    struct Case {
        int kind;
        int firmware;  // 0: the kind's default
        int code;
        std::optional<int64_t> set;
        const char* answer;
        std::optional<int64_t> programReads;
    };
    const Case cases[] = {
        {4, 0, 90, -2000, "028600:005A:00:82:F83074", -2000},             // 2 bytes signed
        {3, 0, 132, std::nullopt, "028600:0084:00:84:0000083434", 2100},  // 4 bytes
        {0, 0, 36, -5, "028600:0024:00:81:FBD8", -5},                     // 1 byte signed
        {0, 0, 1, std::nullopt, "028600:0001:00:02:001461", 20},          // 2 bytes unsigned
        {4, 0, 92, std::nullopt, "028600:005C:00:02:000515", 5},
        {0, 0, 0, 4500, "028600:0000:00:84:000011944F", 4500},
        {0, 0, 38, std::nullopt, "028600:0026:00:81:00D1", 0},
        {0, 0, 90, std::nullopt, "028600:005A:00:40:DE", std::nullopt},     // not a kind-0 code
        {4, 100, 160, std::nullopt, "028600:00A0:00:40:98", std::nullopt},  // old firmware
    };
    for (const Case& c : cases) {
        SimConfig config = DefaultConfig(c.kind);
        if (c.firmware != 0) {
            config.firmwareVersion = c.firmware;
        }
        SimPanel panel(config);
        if (c.set) {
            ASSERT_TRUE(panel.SetParameter(c.code, *c.set)) << c.code;
        }
        const std::string answer = Ask(panel, "028600" + HexText(static_cast<uint32_t>(c.code), 4));
        EXPECT_EQ(answer, Crlf(c.answer)) << "code " << c.code;
        EXPECT_EQ(ProgramReadValue(AnswerLine::From(answer), c.code), c.programReads)
            << "code " << c.code;
    }
}

TEST(SimPanelTest, EveryKnownCodeOfEveryKindReadsBackItsDefault) {
    for (int kind = 0; kind < kKindCount; ++kind) {
        SimPanel panel(DefaultConfig(kind));
        for (int code : KnownCodes(kind, panel.Config().firmwareVersion)) {
            const std::string answer =
                Ask(panel, "028600" + HexText(static_cast<uint32_t>(code), 4));
            EXPECT_EQ(ProgramReadValue(AnswerLine::From(answer), code),
                      panel.Parameters().Get(code))
                << "kind " << kind << " code " << code << ": " << answer;
        }
    }
}

TEST(SimPanelTest, ParameterWritesCommitOnTheLastByteInOrder) {
    struct Step {
        const char* data;    // code, byte index, byte
        const char* answer;  // without checksum
        int64_t valueAfter;
    };
    struct Case {
        const char* name;
        int kind;
        int code;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"two bytes, -2000",
         4,
         90,
         {{"005A00F8", "028700:005A:00:F8:0025", 210},
          {"005A0130", "028700:005A:01:30:00EC", -2000}}},
        {"second byte first", 4, 90, {{"005A0130", "028700:005A:01:30:01EB", 210}}},
        {"restart from byte 0",
         4,
         90,
         {{"005A00F8", "028700:005A:00:F8:0025", 210},
          {"005A00F8", "028700:005A:00:F8:0025", 210},
          {"005A0130", "028700:005A:01:30:00EC", -2000}}},
        {"another code between",
         4,
         90,
         {{"005A00F8", "028700:005A:00:F8:0025", 210},
          {"005B0130", "028700:005B:01:30:01EA", 210},
          {"005A0130", "028700:005A:01:30:01EB", 210}}},
        {"four bytes",
         3,
         132,
         {{"00840000", "028700:0084:00:00:00F3", 2100},
          {"00840100", "028700:0084:01:00:00F2", 2100},
          {"00840208", "028700:0084:02:08:00E9", 2100},
          {"00840366", "028700:0084:03:66:008A", 2150}}},
        {"one byte", 0, 36, {{"002400FB", "028700:0024:00:FB:0058", -5}}},
        {"beyond the width", 0, 36, {{"00240105", "028700:0024:01:05:014C", 10}}},
        {"set point is not a parameter write",
         0,
         0,
         {{"00000000", "028700:0000:00:00:0176", 4500}}},
    };
    for (const Case& c : cases) {
        SimPanel panel(DefaultConfig(c.kind));
        for (const Step& s : c.steps) {
            EXPECT_EQ(Ask(panel, std::string("028700") + s.data), Crlf(s.answer))
                << c.name << ": " << s.data;
            EXPECT_EQ(panel.Parameters().Get(c.code), s.valueAfter) << c.name << ": " << s.data;
        }
    }
}

TEST(SimPanelTest, AcknowledgedCommandsEchoTheirData) {
    struct Case {
        int kind;
        const char* request;
        const char* answer;  // empty: the panel does not know the command
    };
    const Case cases[] = {
        {0, "028100FFFFF830", "028100:FFFFF83057"},
        {1, "028100FFFFF830", "028100:FFFFF83057"},
        {3, "028100FFFFF830", ""},
        {0, "0230000051", "023000:00517D"},
        {2, "0230000000", "023000:0000CE"},
        {0, "02840041200000", "028400:4120000019"},
        {3, "02840041200000", "028400:4120000019"},
        {1, "02840041200000", ""},
        {3, "02850001", "028500:0178"},
        {0, "02850001", ""},
        {3, "03100002304A80", "031000:02304A80F1"},
        {4, "03100002304A80", "031000:02304A80F1"},
        {0, "03100002304A80", ""},
        {3, "0A0B00", ""},
    };
    for (const Case& c : cases) {
        SimPanel panel(DefaultConfig(c.kind));
        const std::string expected = *c.answer != 0 ? Crlf(c.answer) : std::string();
        EXPECT_EQ(Ask(panel, c.request), expected) << "kind " << c.kind << ": " << c.request;
    }
}

TEST(SimPanelTest, WrittenSetPointCvAndLockShowInTheStatusLines) {
    SimPanel temperature(DefaultConfig(kKindTemperature));
    Ask(temperature, "028100FFFFF830");
    ASSERT_TRUE(temperature.SetParameter(38, 1));  // CV lock: the written CV stays
    Ask(temperature, "02840041200000");
    temperature.Advance(3s);
    const std::vector<std::string> lines = temperature.StatusLines();
    EXPECT_EQ(test::Find(lines, "028000:").Signed(10, 8), -2000);
    const AnswerLine regulator = test::Find(lines, "028800:");
    EXPECT_TRUE(regulator.Bit(11, 1));
    EXPECT_DOUBLE_EQ(regulator.Float(31), 10.0);

    SimPanel dual(DefaultConfig(kKindDualZone));
    EXPECT_FALSE(test::Find(dual.StatusLines(), "028800:").Bit(11, 1));
    Ask(dual, "02850001");
    EXPECT_TRUE(test::Find(dual.StatusLines(), "028800:").Bit(11, 1));
}

TEST(SimPanelTest, ClockRunsFromTheTimeLastSet) {
    SimPanel panel(DefaultConfig(kKindDualZone));
    Ask(panel, "031000" + HexText(36'720'000, 8));  // 2001-03-01 00:00:00
    EXPECT_EQ(test::Find(panel.StatusLines(), "030000:").Unsigned(10, 8), 36'720'000u);
    panel.Advance(5500ms);
    const AnswerLine clock = test::Find(panel.StatusLines(), "030000:");
    EXPECT_EQ(clock.Unsigned(10, 8), 36'720'005u);
    EXPECT_TRUE(clock.Bit(8, 2)) << "clock enabled";
    EXPECT_FALSE(clock.Bit(8, 0));
}

TEST(SimPanelTest, MonitoringModeStartsAndStopsTheStatusLines) {
    SimPanel panel(DefaultConfig(kKindDualZone));
    EXPECT_TRUE(test::StatusBurst(panel, 5000).empty()) << "off at power-on";
    Ask(panel, "0230000051");
    EXPECT_TRUE(test::StatusBurst(panel, 999).empty());
    EXPECT_EQ(test::StatusBurst(panel, 1).size(), 6u);
    EXPECT_EQ(test::StatusBurst(panel, 1000).size(), 6u);
    Ask(panel, "0230000000");
    EXPECT_TRUE(test::StatusBurst(panel, 5000).empty());
}

TEST(SimPanelTest, IgnoresRequestsItCannotTrust) {
    const std::string lines[] = {
        "020A00F5\r\n",    // wrong checksum
        "020a00F4\r\n",    // lower case
        "020A0F4\r\n",     // odd length
        "0286000A6E\r\n",  // read with two data digits (checksum right)
        "\r\n",
        "0A0B00EB\r\n",  // unknown command
    };
    SimPanel panel(DefaultConfig(kKindDualZone));
    for (const std::string& line : lines) {
        panel.Receive(line);
        EXPECT_TRUE(panel.TakeOutput().empty()) << line;
    }
    ASSERT_EQ(panel.Frames().size(), std::size(lines));
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        EXPECT_EQ(panel.Frames()[i].line, lines[i]);
        EXPECT_FALSE(panel.Frames()[i].accepted);
    }
}

TEST(SimPanelTest, CutsRequestsFromAnyChunkingAndRecordsThemInOrder) {
    SimPanel panel(DefaultConfig(kKindDualZone));
    const std::string burst = "020A00F4\r\n050100FA\r\n0286000084F4\r\n";
    panel.Advance(250ms);
    panel.Receive(burst.substr(0, 3));
    panel.Advance(10ms);
    panel.Receive(burst.substr(3, 20));
    panel.Receive(burst.substr(23));
    const std::vector<OutgoingLine> out = panel.TakeOutput();
    ASSERT_EQ(out.size(), 3u);
    EXPECT_TRUE(out[0].bytes.starts_with("020A00:0358:"));
    EXPECT_TRUE(out[1].bytes.starts_with("050100:"));
    EXPECT_TRUE(out[2].bytes.starts_with("028600:0084:"));
    EXPECT_TRUE(out[0].answer && out[1].answer && out[2].answer);

    const std::vector<RecordedFrame>& frames = panel.Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].line, "020A00F4\r\n");
    EXPECT_EQ(frames[0].at, 260ms);
    EXPECT_EQ(frames[2].line, "0286000084F4\r\n");
    EXPECT_TRUE(frames[2].accepted);
    panel.ClearFrames();
    EXPECT_TRUE(panel.Frames().empty());
}

TEST(SimPanelTest, DropsAnOverlongRequestWholeAndResynchronises) {
    SimPanel panel(DefaultConfig(kKindDualZone));
    // 300 bytes ending in what would be a valid request if only the tail were kept.
    const std::string overlong = std::string(290, '0') + "020A00F4\r\n";
    panel.Receive(overlong);
    EXPECT_TRUE(panel.TakeOutput().empty());
    EXPECT_TRUE(panel.Frames().empty());
    panel.Receive("050100FA\r\n");
    EXPECT_EQ(panel.TakeOutput().size(), 1u);
}

}  // namespace
}  // namespace tk358::sim
