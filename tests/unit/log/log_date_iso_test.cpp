// SPDX-License-Identifier: GPL-3.0-or-later
// The opt-in ISO 8601 date of the measurement log: written with the offset
// from UTC, it reads back to the same instants through the hour that summer
// time's end repeats, where the locale's date and time are ambiguous.

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "log/locale_format.h"
#include "log/log_line.h"
#include "log/log_reader.h"
#include "log_test_support.h"

namespace tk358 {
namespace {

constexpr std::time_t kAutumnChange = 1792890000;  // 2026-10-25 01:00 UTC

TEST(LogDateIsoTest, WritesLocalTimeWithItsOffset) {
    test::WarsawTime zone;
    const struct {
        std::time_t time;
        const char* text;
    } cases[] = {
        {1792888200, "2026-10-25T02:30:00+02:00"},  // the first 02:30, summer time
        {1792891800, "2026-10-25T02:30:00+01:00"},  // the second one
        {1774744200, "2026-03-29T01:30:00+01:00"}, {1774747800, "2026-03-29T03:30:00+02:00"},
        {1796904000, "2026-12-10T13:00:00+01:00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatIsoDateTime(c.time), c.text) << c.time;
    }
}

// Every ten minutes from 23:00 to 03:00 UTC on the night summer time ends,
// written by the line builder and read back by the reader.
TEST(LogDateIsoTest, ReadsBackTheRepeatedHourInOrder) {
    test::WarsawTime zone;
    for (const int code : {kDateIso8601, kDateLocale}) {
        std::time_t now = kAutumnChange - 2 * 3600;
        LogLineBuilder builder(LogEnvironment{[] { return std::string(","); },
                                              [&] { return FormatLocalDateTime(now); },
                                              [&] { return FormatIsoDateTime(now); }});
        LogLineOptions options;
        options.dateCode = code;
        std::vector<std::time_t> written;
        LogReader reader(LogReaderOptions{{"C"}});
        std::vector<std::time_t> read;
        for (; now <= kAutumnChange + 2 * 3600; now += 600) {
            const LogLine line = builder.Build(options, test::GoodReadings());
            builder.Written(line);
            written.push_back(now);
            std::string text = line.text;
            while (!text.empty()) {
                const std::size_t end = text.find("\r\n");
                LogRecord record;
                if (reader.Read(text.substr(0, end), record) == LogReader::Line::kRecord) {
                    read.push_back(record.time);
                }
                text.erase(0, end + 2);
            }
        }
        if (code == kDateIso8601) {
            EXPECT_EQ(read, written);
        } else {
            // The locale's date cannot tell the two 02:xx hours apart.
            ASSERT_EQ(read.size(), written.size());
            EXPECT_NE(read, written);
        }
    }
}

TEST(LogDateIsoTest, ReadsEveryFormOfTheOffset) {
    test::WarsawTime zone;  // none of these depends on it
    const struct {
        const char* line;
        bool record;
        std::time_t time;
    } cases[] = {
        {"2026-10-25T02:30:00+02:00;20,5;21,0", true, 1792888200},
        {"2026-10-25T02:30:00+01:00;20,5;21,0", true, 1792891800},
        {"2026-10-25T00:30:00Z;20,5;21,0", true, 1792888200},
        {"2026-10-25T06:00:00+0530;20,5;21,0", true, 1792888200},
        {"2026-10-24T21:30:00-03;20,5;21,0", true, 1792888200},
        {"2026-10-24T21:30:00-03:00;20,5;21,0", true, 1792888200},
        {"2026-10-25T02:30:00+1:00;20,5;21,0", false, 0},
        {"2026-10-25T02:30:00+01:;20,5;21,0", false, 0},
        {"2026-10-25T02:30:00+01:60;20,5;21,0", false, 0},
        {"2026-10-25T02:30:00+24:00;20,5;21,0", false, 0},
    };
    for (const auto& c : cases) {
        LogReader reader(LogReaderOptions{{"C"}});  // a fresh one learns the layout again
        LogRecord record;
        const LogReader::Line kind = reader.Read(c.line, record);
        EXPECT_EQ(kind == LogReader::Line::kRecord, c.record) << c.line;
        if (c.record) {
            EXPECT_EQ(record.time, c.time) << c.line;
            EXPECT_FLOAT_EQ(record.values[kLogTemperature], 20.5f) << c.line;
        }
    }
}

}  // namespace
}  // namespace tk358
