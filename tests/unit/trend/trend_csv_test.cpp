// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/trend_csv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log/log_line.h"

namespace tk358 {
namespace {

// 21.5 / 22.0 / gap at 100; a lost link (all gaps) at 101; 21.65 / 22.25 / 19.0 at 102.
TrendRecorder ThreeSeconds() {
    TrendRecorder r;
    r.Tick(100'000, TrendValues{21.5, 22.0, std::nullopt});
    r.Tick(101'000, TrendValues{});
    r.Tick(102'000, TrendValues{-0.04, 22.25, 19.0});
    return r;
}

TrendCsvEnvironment Environment(std::string decimal, std::string dateSuffix = "") {
    return TrendCsvEnvironment{
        [decimal] { return decimal; },
        [dateSuffix](std::time_t t) { return "T" + std::to_string(t) + dateSuffix; }};
}

TEST(TrendCsvTest, WritesTheLogsFormatWithItsSeparatorAndDecimalSign) {
    struct Case {
        const char* what;
        int separatorCode;
        int decimalCode;
        std::string userDecimal;
        std::string expected;
    };
    const Case cases[] = {
        {"tab and comma", kSeparatorTab, kDecimalComma, ".",
         "Data i Godzina\tTemperatura °C\tWartość zadana °C\tWartość zadana 2 °C\r\n"
         "T100\t21,5\t22,0\t???\r\n"
         "T101\t???\t???\t???\r\n"
         "T102\t-0,0\t22,2\t19,0\r\n"},
        {"the locale's comma gives a semicolon", kSeparatorLocale, kDecimalLocale, ",",
         "Data i Godzina;Temperatura °C;Wartość zadana °C;Wartość zadana 2 °C\r\n"
         "T100;21,5;22,0;???\r\n"
         "T101;???;???;???\r\n"
         "T102;-0,0;22,2;19,0\r\n"},
        {"comma and point", kSeparatorComma, kDecimalPoint, ",",
         "Data i Godzina,Temperatura °C,Wartość zadana °C,Wartość zadana 2 °C\r\n"
         "T100,21.5,22.0,???\r\n"
         "T101,???,???,???\r\n"
         "T102,-0.0,22.2,19.0\r\n"},
    };
    const TrendRecorder r = ThreeSeconds();
    for (const Case& c : cases) {
        TrendCsvOptions options;
        options.separatorCode = c.separatorCode;
        options.decimalCode = c.decimalCode;
        EXPECT_EQ(BuildTrendCsv(r, 0, 1e9, options, Environment(c.userDecimal)), c.expected)
            << c.what;
    }
}

TEST(TrendCsvTest, WritesOnlyTheCurvesShownAndTheSecondsInView) {
    TrendCsvOptions options;
    options.separatorCode = kSeparatorSemicolon;
    options.decimalCode = kDecimalPoint;
    options.curves = {true, false, false};
    EXPECT_EQ(BuildTrendCsv(ThreeSeconds(), 100.5, 102, options, Environment(".")),
              "Data i Godzina;Temperatura °C\r\n"
              "T101;???\r\n"
              "T102;-0.0\r\n");
    options.curves = {true, true, false};
    EXPECT_EQ(BuildTrendCsv(ThreeSeconds(), 500, 600, options, Environment(".")),
              "Data i Godzina;Temperatura °C;Wartość zadana °C\r\n");
}

TEST(TrendCsvTest, QuotesADateThatHoldsTheSeparator) {
    TrendRecorder r;
    r.Tick(5'000, TrendValues{20.0, std::nullopt, std::nullopt});
    TrendCsvOptions options;
    options.separatorCode = kSeparatorComma;
    options.decimalCode = kDecimalPoint;
    options.curves = {true, false, false};
    EXPECT_EQ(BuildTrendCsv(r, 0, 10, options, Environment(".", ", 19:50")),
              "Data i Godzina,Temperatura °C\r\n\"T5, 19:50\",20.0\r\n");
}

TEST(TrendCsvTest, DayOfSamplesHasOneLineASecond) {
    TrendRecorder r;
    for (int64_t s = 0; s < 86400; ++s) {
        r.Tick(s * 1000, TrendValues{20.0, 21.0, std::nullopt});
    }
    TrendCsvOptions options;
    options.separatorCode = kSeparatorTab;
    options.decimalCode = kDecimalPoint;
    const std::string text = BuildTrendCsv(r, 0, 86400, options, Environment("."));
    std::size_t lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2)) {
        ++lines;
    }
    EXPECT_EQ(lines, 86401u);  // the header and every second
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
}

}  // namespace
}  // namespace tk358
