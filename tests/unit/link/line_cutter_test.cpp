// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/line_cutter.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "link/records.h"
#include "support/line_cutter_probe.h"

namespace tk358 {
namespace {

struct Decoded {
    AnswerKind kind;
    std::string line;
    bool operator==(const Decoded&) const = default;
};

// A cutter whose every decoder records the line it got and returns `result`.
class Recorder {
public:
    explicit Recorder(int result = kStatusOk) {
        for (std::size_t i = 0; i < kAnswerKindCount; ++i) {
            const auto kind = static_cast<AnswerKind>(i);
            cutter.Dispatcher().Attach(kind, [this, kind, result](const AnswerLine& line) {
                decoded.push_back({kind, std::string(line.View())});
                return result;
            });
        }
    }

    std::vector<int> Feed(const std::string& bytes) {
        std::vector<int> results;
        for (char b : bytes) {
            if (const std::optional<int> r = cutter.Push(b)) {
                results.push_back(*r);
            }
        }
        return results;
    }

    LineCutter cutter;
    std::vector<Decoded> decoded;
};

TEST(LineCutterTest, EachPrefixReachesItsOwnDecoder) {
    const std::pair<const char*, AnswerKind> table[] = {
        {"020A00:", AnswerKind::kIdentification}, {"020200:", AnswerKind::kTemperature},
        {"028000:", AnswerKind::kSetpoint},       {"028B00:", AnswerKind::kDualSetpoint},
        {"030000:", AnswerKind::kClock},          {"031000:", AnswerKind::kClockWrite},
        {"050100:", AnswerKind::kPanelInfo},      {"028600:", AnswerKind::kParameterRead},
        {"028700:", AnswerKind::kParameterWrite}, {"028100:", AnswerKind::kSetpointWrite},
        {"023000:", AnswerKind::kMonitoringMode}, {"028400:", AnswerKind::kCvValue},
        {"028500:", AnswerKind::kCvLock},         {"028800:", AnswerKind::kRegulator},
        {"028900:", AnswerKind::kValve},          {"028A00:", AnswerKind::kDrainValve},
        {"029300:", AnswerKind::kVentilation},    {"029800:", AnswerKind::kActiveZone},
        {"029500:", AnswerKind::kRelay},
    };
    ASSERT_EQ(std::size(table), kAnswerKindCount);
    for (const auto& [prefix, kind] : table) {
        Recorder r;
        const std::string line = std::string(prefix) + "0000\r\n";
        EXPECT_EQ(r.Feed(line), std::vector<int>{kStatusOk});
        EXPECT_EQ(r.decoded, (std::vector<Decoded>{{kind, line}})) << prefix;
    }
}

TEST(LineCutterTest, CutsTheStream) {
    struct Case {
        const char* name;
        std::string stream;
        std::vector<Decoded> decoded;
    };
    const std::string overlong = "020200:" + std::string(293, '1');
    const std::string overlongWithPrefixInside =
        std::string(256, '0') + "020200:12\r\n" + "029800:01XX\r\n";
    const Case cases[] = {
        {"two lines in one burst",
         "029800:01A2\r\n028A00:0000000A\r\n",
         {{AnswerKind::kActiveZone, "029800:01A2\r\n"},
          {AnswerKind::kDrainValve, "028A00:0000000A\r\n"}}},
        {"garbage line before a line",
         "\x05zz\xff\r\n029800:01A2\r\n",
         {{AnswerKind::kActiveZone, "029800:01A2\r\n"}}},
        {"garbage glued to a line hides its prefix", "zz029800:01A2\r\n", {}},
        {"lone CR and LF do not end a line",
         "029800:0\r1\n2\n\r\r\n",
         {{AnswerKind::kActiveZone, "029800:0\r1\n2\n\r\r\n"}}},
        {"300-byte line dropped whole, next line decodes",
         overlong + "\r\n029800:01A2\r\n",
         {{AnswerKind::kActiveZone, "029800:01A2\r\n"}}},
        {"no part past the 256th byte is taken for a line",
         overlongWithPrefixInside,
         {{AnswerKind::kActiveZone, "029800:01XX\r\n"}}},
        // 255 characters and CR fill the buffer; the LF after them still ends the line.
        {"CR LF split by the full buffer",
         "029500:" + std::string(248, '2') + "\r\n029800:01A2\r\n",
         {{AnswerKind::kActiveZone, "029800:01A2\r\n"}}},
        {"a line of exactly 256 bytes fits",
         "029500:" + std::string(247, '3') + "\r\n",
         {{AnswerKind::kRelay, "029500:" + std::string(247, '3') + "\r\n"}}},
    };
    for (const Case& c : cases) {
        Recorder r;
        r.Feed(c.stream);
        EXPECT_EQ(r.decoded, c.decoded) << c.name;
        EXPECT_EQ(test::LineCutterProbe::Length(r.cutter), 0) << c.name;
    }
}

TEST(LineCutterTest, ReportsTheResultOfEveryCompleteLine) {
    Recorder failing(kStatusFailed);
    EXPECT_EQ(failing.Feed("028000:0\r\nnoise\r\n050100:0\r\n050"),
              (std::vector<int>{kStatusFailed, kStatusOk, kStatusFailed}));

    Recorder busy(kStatusBusy);
    EXPECT_EQ(busy.Feed("050100:01\r\n"), std::vector<int>{kStatusBusy});

    LineCutter bare;  // nothing attached: every line is accepted as it stands
    std::vector<int> results;
    for (char b : std::string("028600:0001\r\n\r\n")) {
        if (const std::optional<int> r = bare.Push(b)) {
            results.push_back(*r);
        }
    }
    EXPECT_EQ(results, (std::vector<int>{kStatusOk, kStatusOk}));
}

TEST(LineCutterTest, ShortLineAfterLongOneSeesZeroDigitsPastItsEnd) {
    LineCutter cutter;
    int64_t field = -1;
    int length = -1;
    cutter.Dispatcher().Attach(AnswerKind::kSetpoint, [&](const AnswerLine& line) {
        field = line.Signed(10, 8);
        length = line.length;
        return kStatusOk;
    });
    for (char b : std::string("028000:000FFFFFF9C00\r\n028000:1\r\n")) {
        cutter.Push(b);
    }
    EXPECT_EQ(length, 10);
    EXPECT_EQ(field, 0);
}

TEST(LineCutterTest, ClearForgetsThePartialLine) {
    Recorder r;
    r.Feed("029800:01");
    EXPECT_EQ(test::LineCutterProbe::Length(r.cutter), 9);
    r.cutter.Clear();
    r.Feed("A2\r\n029800:02\r\n");
    EXPECT_EQ(r.decoded, (std::vector<Decoded>{{AnswerKind::kActiveZone, "029800:02\r\n"}}));
}

TEST(LineCutterTest, DetachedKindIsAcceptedUndecoded) {
    Recorder r(kStatusFailed);
    r.cutter.Dispatcher().Attach(AnswerKind::kRelay, nullptr);
    EXPECT_EQ(r.Feed("029500:01\r\n"), std::vector<int>{kStatusOk});
    EXPECT_TRUE(r.decoded.empty());
}

}  // namespace
}  // namespace tk358
