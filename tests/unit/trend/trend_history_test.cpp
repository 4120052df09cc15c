// SPDX-License-Identifier: GPL-3.0-or-later
// A logged history as the chart draws it: joined over the log's own interval,
// broken where lines are missing or "???", the same lowest and highest values
// from the blocks of a distant view as from the lines of a close one, and the
// second set point drawn only when it is more than a copy of the first.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "trend/history_csv.h"
#include "trend/trend_backfill.h"
#include "trend/trend_history.h"

namespace tk358 {
namespace {

constexpr int64_t kStart = 1'796'688'000;  // 2026-12-08 00:00 UTC

// ISO lines every `step` seconds; a value of -1000 writes "???", a line whose
// temperature is -2000 is left out.
std::string Lines(int64_t step, int count, const std::function<double(int)>& value,
                  bool copySetpoint = true) {
    std::string text = "Data i Godzina;Temperatura °C;Wartość zadana °C;Wartość zadana 2 °C\r\n";
    for (int i = 0; i < count; ++i) {
        const double v = value(i);
        if (v == -2000) {
            continue;
        }
        const std::time_t t = static_cast<std::time_t>(kStart + i * step);
        std::tm tm{};
        gmtime_r(&t, &tm);
        char date[32];
        std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &tm);
        char values[64];
        if (v == -1000) {
            std::snprintf(values, sizeof values, "???;21,0;%s", copySetpoint ? "21,0" : "5,0");
        } else {
            std::snprintf(values, sizeof values, "%.1f;21,0;%s", v, copySetpoint ? "21,0" : "5,0");
        }
        std::string line = std::string(date) + ";" + values;
        for (char& c : line) {
            c = c == '.' ? ',' : c;
        }
        text += line + "\r\n";
    }
    return text;
}

class TrendHistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
    void TearDown() override {
        ::unsetenv("TZ");
        ::tzset();
    }
    std::unique_ptr<TrendHistory> Load(const std::string& text, const std::string& name = "a.log") {
        const std::string path = dir_.File(name);
        test::WriteFile(path, text);
        auto history = std::make_unique<TrendHistory>(std::vector<std::string>{path});
        history->Load();
        return history;
    }
    test::TempDir dir_{"tk358-history"};
};

// Runs of joined columns: a count of the columns holding values that do not
// join the one before.
int Runs(const DecimatedCurve& curve) {
    int runs = 0;
    for (const TrendColumn& c : curve.columns) {
        runs += c.count > 0 && !c.joinsPrevious ? 1 : 0;
    }
    return runs;
}

TEST_F(TrendHistoryTest, JoinsOverTheLogsIntervalAndBreaksOnlyAtGaps) {
    struct Case {
        const char* name;
        int64_t step;
        std::function<double(int)> value;
        int runs;  // in a close view of the whole file, one column per line
    };
    const std::vector<Case> cases = {
        {"10 s, whole", 10, [](int) { return 20.0; }, 1},
        {"60 s, whole", 60, [](int) { return 20.0; }, 1},
        {"10 s, a ??? in the middle", 10, [](int i) { return i == 50 ? -1000.0 : 20.0; }, 2},
        {"10 s, two lines missing", 10, [](int i) { return i == 50 || i == 51 ? -2000.0 : 20.0; },
         2},
        {"1 s, a second late", 1, [](int i) { return i == 30 ? -2000.0 : 20.0; }, 1},
        {"1 s, two lines missing", 1, [](int i) { return i == 30 || i == 31 ? -2000.0 : 20.0; }, 2},
    };
    for (const Case& c : cases) {
        const auto history = Load(Lines(c.step, 100, c.value));
        const double start = static_cast<double>(kStart);
        const double end = start + static_cast<double>(c.step * 99);
        const DecimatedCurve curve = history->Decimate(kLogTemperature, start, end, 100);
        EXPECT_EQ(Runs(curve), c.runs) << c.name;
        EXPECT_TRUE(history->HasValues(kLogSetpoint)) << c.name;
        EXPECT_FALSE(history->HasValues(kLogSetpoint2)) << c.name << ": a mere copy is not drawn";
    }
}

TEST_F(TrendHistoryTest, DistantAndCloseViewsAgreeAndTheExportHasEveryLine) {
    // Three days of 10-s lines with a sharp peak at one line only.
    const int count = 3 * 8640;
    const auto history = Load(Lines(
        10, count, [](int i) { return i == 12345 ? 99.9 : 20.0 + (i % 100) / 10.0; }, false));
    EXPECT_EQ(history->Records(), static_cast<uint64_t>(count));
    EXPECT_TRUE(history->HasValues(kLogSetpoint2));
    const double start = static_cast<double>(kStart);
    const double end = start + 10.0 * (count - 1);
    for (int columns : {200, 1000, 20000}) {  // blocks, blocks, lines
        const DecimatedCurve curve = history->Decimate(kLogTemperature, start, end, columns);
        const std::optional<TrendRange> range = ValueRangeOf(curve);
        ASSERT_TRUE(range) << columns;
        EXPECT_NEAR(range->min, 20.0, 1e-4) << columns;
        EXPECT_NEAR(range->max, 99.9, 1e-4) << columns;
        EXPECT_EQ(Runs(curve), 1) << columns;
    }
    // A close view of the peak reads the lines again.
    const double peak = start + 10.0 * 12345;
    const DecimatedCurve close = history->Decimate(kLogTemperature, peak - 300, peak + 300, 600);
    EXPECT_NEAR(ValueRangeOf(close)->max, 99.9, 1e-4);
    EXPECT_TRUE(close.leadIn && close.leadOut);
    const std::optional<TrendReadout> readout = history->Readout(peak + 3, 10);
    ASSERT_TRUE(readout);
    EXPECT_EQ(readout->time, static_cast<int64_t>(peak));
    EXPECT_NEAR(*readout->values[kLogTemperature], 99.9, 1e-4);

    TrendCsvEnvironment environment{[] { return std::string(","); },
                                    [](std::time_t t) { return std::to_string(t); }};
    const std::string csv = BuildHistoryCsv(*history, peak - 20, peak + 20, {}, environment);
    EXPECT_NE(csv.find(std::to_string(static_cast<int64_t>(peak)) + ";99,9;21,0;5,0\r\n"),
              std::string::npos)
        << csv;
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 5);
}

TEST_F(TrendHistoryTest, BackfillHoldsEachLineOverTheIntervalAndKeepsGaps) {
    // Two days of 10-s lines; in the last day two lines are missing and one
    // temperature is "???".
    const int count = 2 * 8640;
    const int missing = 8640 + 100;
    const int faulty = 8640 + 500;
    const std::string path = dir_.File("live.log");
    test::WriteFile(path, Lines(10, count, [&](int i) {
                        return i == missing || i == missing + 1 ? -2000.0
                               : i == faulty                    ? -1000.0
                                                                : 20.0 + i % 7;
                    }));
    const int64_t now = kStart + 10 * (count - 1) + 5;
    TrendRecorder recorder;
    const BackfillResult result = BackfillFromLog(recorder, path, now);
    EXPECT_EQ(result.lines, 8640u - 2u);
    const TrendBuffer& t = recorder.Curve(kTrendTemperature);
    ASSERT_EQ(t.Size(), result.samples);
    EXPECT_EQ(recorder.NewestTime(), now - 5);
    auto valueAt = [&](int line, int second) {
        return t.At(t.LowerBound(static_cast<double>(kStart + 10 * line + second))).value;
    };
    EXPECT_DOUBLE_EQ(valueAt(9000, 0), 20.0 + 9000 % 7);
    EXPECT_DOUBLE_EQ(valueAt(9000, 9), 20.0 + 9000 % 7);  // held to the next line
    EXPECT_TRUE(std::isnan(valueAt(missing - 1, 1)));     // lines missing: a gap
    EXPECT_TRUE(std::isnan(valueAt(faulty, 3)));          // "???": a gap
    EXPECT_FALSE(recorder.HasValues(kTrendSetpoint2));    // only a copy of the set point
    EXPECT_TRUE(recorder.HasValues(kTrendSetpoint));
    // The live recording carries on after the back-fill.
    EXPECT_TRUE(recorder.Tick((now + 1) * 1000, TrendValues{21.0, 22.0, std::nullopt}));
}

}  // namespace
}  // namespace tk358
