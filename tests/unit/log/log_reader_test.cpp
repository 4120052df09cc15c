// SPDX-License-Identifier: GPL-3.0-or-later
// Reading measurement logs back: what the program's own line builder writes,
// under every separator, decimal sign and writing locale, with headers that
// change the columns and faulty readings, comes back as the same times and
// values; what cannot be read is counted, never fatal.

#include <gtest/gtest.h>
#include <locale.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "log/locale_format.h"
#include "log/log_line.h"
#include "log/log_reader.h"
#include "log_test_support.h"

namespace tk358 {
namespace {

// The zone the times are written in: the round trip crosses the change to
// summer time on 29 March 2026.
using test::WarsawTime;

// "%c" of a time in the named locale, as a program running under it writes.
std::string DateIn(const char* localeName, std::time_t time) {
    locale_t loc = newlocale(LC_TIME_MASK, localeName, static_cast<locale_t>(0));
    EXPECT_NE(loc, static_cast<locale_t>(0)) << localeName;
    locale_t old = uselocale(loc);
    std::string text = FormatLocalDateTime(time);
    uselocale(old);
    freelocale(loc);
    return text;
}

struct Written {
    std::string text;
    std::vector<LogRecord> records;
};

// A day's readings every ten minutes, the column set changing twice and some
// readings faulty, written by the log's own line builder.
Written WriteLog(const char* localeName, int separatorCode, int decimalCode,
                 const std::string& userDecimal, bool crlf) {
    Written out;
    std::time_t now = 1774742400 - 3 * 3600;  // 2026-03-28 23:00 UTC, before the change
    LogLineBuilder builder(LogEnvironment{[userDecimal] { return userDecimal; },
                                          [&] { return DateIn(localeName, now); }});
    for (int i = 0; i < 144; ++i, now += 600) {
        LogLineOptions options;
        options.separatorCode = separatorCode;
        options.decimalCode = decimalCode;
        options.setpoint = i < 50 || i >= 100;
        options.secondSetpoint = i >= 50;
        LogReadings r = test::GoodReadings();
        r.temperature.temperature = -12.5 + 0.3 * i;
        r.temperature.sensorError = i % 17 == 3 ? 1 : 0;
        r.setpoint.setpoint = 1500 + 10 * i;
        r.secondSetpoint = SecondSetpointShown{true, i % 5 != 0, 40.0 - 0.1 * i};
        const LogLine line = builder.Build(options, r);
        builder.Written(line);
        out.text += line.text;

        LogRecord expected;
        expected.time = now;
        const float temperature =
            static_cast<float>(std::round(r.temperature.temperature * 10) / 10);
        expected.values[kLogTemperature] = r.temperature.sensorError ? kLogNoValue : temperature;
        if (options.setpoint) {
            expected.values[kLogSetpoint] = static_cast<float>(r.setpoint.setpoint / 100.0);
        }
        if (options.secondSetpoint) {
            expected.values[kLogSetpoint2] =
                r.secondSetpoint.valid
                    ? static_cast<float>(std::round(r.secondSetpoint.value * 10) / 10)
                    : kLogNoValue;
        }
        out.records.push_back(expected);
    }
    if (!crlf) {
        std::string lf;
        for (char c : out.text) {
            if (c != '\r') {
                lf += c;
            }
        }
        out.text = lf;
    }
    return out;
}

void ExpectSameValue(float expected, float actual, const std::string& where) {
    if (std::isnan(expected)) {
        EXPECT_TRUE(std::isnan(actual)) << where << " read " << actual;
    } else {
        EXPECT_NEAR(expected, actual, 1e-4) << where;
    }
}

TEST(LogReaderTest, ReadsBackWhatTheLogWritesUnderEveryOption) {
    WarsawTime zone;
    for (const char* localeName : {"C", "pl_PL.UTF-8"}) {
        for (int separator = 0; separator <= 3; ++separator) {
            for (int decimal = 0; decimal <= 2; ++decimal) {
                for (const char* user : {".", ","}) {
                    const bool crlf = separator != 1;
                    const Written log = WriteLog(localeName, separator, decimal, user, crlf);
                    test::TempDir dir("tk358-log-reader");
                    const std::string path = dir.File("log.csv");
                    // A byte-order mark and a comment before the header.
                    test::WriteFile(path, "\xEF\xBB\xBFPiec nr 2\r\n" + log.text);
                    std::vector<LogRecord> read;
                    const LogReadResult result = ReadLogFiles(
                        {path},
                        [&](const LogRecord& r, const LogRecordPlace&) { read.push_back(r); },
                        nullptr, LogReaderOptions{{"C", "pl_PL.UTF-8"}});
                    const std::string where = std::string(localeName) + " sep " +
                                              std::to_string(separator) + " dec " +
                                              std::to_string(decimal) + " user " + user;
                    ASSERT_EQ(read.size(), log.records.size()) << where;
                    EXPECT_EQ(result.stats.skipped, 1u) << where;  // the comment
                    EXPECT_EQ(result.stats.headers, 3u) << where;
                    EXPECT_TRUE(result.stats.setpoint2Differs) << where;
                    for (std::size_t i = 0; i < read.size(); ++i) {
                        const std::string line = where + " line " + std::to_string(i);
                        ASSERT_EQ(read[i].time, log.records[i].time) << line;
                        for (std::size_t c = 0; c < kLogColumnCount; ++c) {
                            ExpectSameValue(log.records[i].values[c], read[i].values[c], line);
                        }
                    }
                }
            }
        }
    }
}

struct LineCase {
    const char* name;
    const char* text;
    LogReader::Line kind;
    std::array<float, 3> values;
};

TEST(LogReaderTest, TellsReadingsFromWhatItCannotRead) {
    WarsawTime zone;
    const float gap = kLogNoValue;
    const std::vector<LineCase> cases = {
        {"header",
         "Data i Godzina,Temperatura °C,Wartość zadana °C",
         LogReader::Line::kHeader,
         {gap, gap, gap}},
        {"comma both",
         "Tue Dec  8 13:13:40 2026,21,5,-0,3",
         LogReader::Line::kRecord,
         {21.5f, -0.3f, gap}},
        {"gap first",
         "Tue Dec  8 13:13:41 2026,???,22,0",
         LogReader::Line::kRecord,
         {gap, 22.0f, gap}},
        {"iso, other separator",
         "2026-12-08 13:13:42;21.5;22.0",
         LogReader::Line::kRecord,
         {21.5f, 22.0f, gap}},
        {"torn value",
         "Tue Dec  8 13:13:43 2026,21,5,2",
         LogReader::Line::kSkipped,
         {gap, gap, gap}},
        {"torn date", "Tue Dec  8 13:1", LogReader::Line::kSkipped, {gap, gap, gap}},
        {"one column short",
         "Tue Dec  8 13:13:44 2026,21,5",
         LogReader::Line::kSkipped,
         {gap, gap, gap}},
        {"value too many",
         "Tue Dec  8 13:13:44 2026,1,0,2,0,3,0",
         LogReader::Line::kSkipped,
         {gap, gap, gap}},
        {"no decimal",
         "Tue Dec  8 13:13:45 2026,21,22",
         LogReader::Line::kSkipped,
         {gap, gap, gap}},
        {"empty", "\r", LogReader::Line::kEmpty, {gap, gap, gap}},
        {"bad month",
         "Tue Foo  8 13:13:46 2026,21,5,22,0",
         LogReader::Line::kSkipped,
         {gap, gap, gap}},
        {"hour 25", "2026-12-08 25:00:00,21,5,22,0", LogReader::Line::kSkipped, {gap, gap, gap}},
        {"quoted polish",
         "\"wto, 8 gru 2026, 13:13:47\",20,0,???",
         LogReader::Line::kRecord,
         {20.0f, gap, gap}},
        {"header, set point only",
         "Data i Godzina\tWartość zadana °C",
         LogReader::Line::kHeader,
         {gap, gap, gap}},
        {"tab", "Tue Dec  8 13:13:48 2026\t19.5", LogReader::Line::kRecord, {gap, 19.5f, gap}},
    };
    LogReader reader(LogReaderOptions{{"C", "pl_PL.UTF-8"}});
    for (const LineCase& c : cases) {
        LogRecord record;
        EXPECT_EQ(reader.Read(c.text, record), c.kind) << c.name;
        if (c.kind == LogReader::Line::kRecord) {
            for (std::size_t i = 0; i < 3; ++i) {
                ExpectSameValue(c.values[i], record.values[i], c.name);
            }
        }
    }
    EXPECT_EQ(reader.Stats().skipped, 7u);
    EXPECT_EQ(reader.Stats().records, 5u);
}

TEST(LogReaderTest, ReadsSeveralFilesAsOneSeriesAndAgainFromAnyLine) {
    WarsawTime zone;
    test::TempDir dir("tk358-log-reader");
    // A log split by hand as a rotation splits it; the second part starts
    // without a header and the clock was set back by an hour in it.
    const std::string first = dir.File("a.log");
    const std::string second = dir.File("b.log");
    test::WriteFile(first,
                    "Data i Godzina;Temperatura °C\r\n"
                    "2026-12-08 10:00:00;1,0\r\n2026-12-08 10:00:10;2,0\r\n");
    test::WriteFile(second, "2026-12-08 10:00:20;3,0\n2026-12-08 09:00:30;4,0\n2026-12-08 09:00:4");
    std::vector<std::pair<LogRecord, LogRecordPlace>> read;
    std::vector<LogReaderState> states;
    const LogReadResult result = ReadLogFiles({first, dir.File("missing.log"), second},
                                              [&](const LogRecord& r, const LogRecordPlace& place) {
                                                  read.emplace_back(r, place);
                                                  states.push_back(*place.state);
                                              });
    ASSERT_EQ(read.size(), 4u);
    EXPECT_EQ(result.unreadable, std::vector<std::string>{dir.File("missing.log")});
    EXPECT_EQ(result.stats.skipped, 1u);    // the torn last line
    EXPECT_EQ(result.stats.backwards, 1u);  // kept in the file's order
    const std::vector<float> values{1, 2, 3, 4};
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_FLOAT_EQ(read[i].first.values[kLogTemperature], values[i]);
        EXPECT_TRUE(std::isnan(read[i].first.values[kLogSetpoint]));
        EXPECT_EQ(read[i].second.file, i < 2 ? 0u : 2u);
        // Read again from its place and state, the line gives the same reading.
        LogReader again;
        again.SetState(states[i]);
        std::vector<LogRecord> reread;
        ReadLogRange(i < 2 ? first : second, read[i].second.offset, again,
                     [&](const LogRecord& r, uint64_t) {
                         reread.push_back(r);
                         return false;
                     });
        ASSERT_EQ(reread.size(), 1u);
        EXPECT_EQ(reread[0].time, read[i].first.time);
    }
    EXPECT_EQ(read[1].first.time - read[0].first.time, 10);
    EXPECT_EQ(read[2].first.time - read[3].first.time, 3590);
}

}  // namespace
}  // namespace tk358
