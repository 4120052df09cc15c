// SPDX-License-Identifier: GPL-3.0-or-later
// Line building of the measurement log: separators, decimal signs, header
// rules and the text of each reading.

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "log/log_line.h"
#include "log_test_support.h"

namespace tk358 {
namespace {

using test::FixedEnvironment;
using test::GoodReadings;

// Builds and accepts one line, as a successful write does.
std::string Next(LogLineBuilder& builder, const LogLineOptions& options,
                 const LogReadings& readings = GoodReadings()) {
    LogLine line = builder.Build(options, readings);
    builder.Written(line);
    return line.text;
}

constexpr const char* kAllTitlesSemicolon =
    "Data i Godzina;Temperatura °C;Wartość zadana °C;Wartość zadana 2 °C\r\n";

struct FormatCase {
    const char* name;
    int separatorCode;
    int decimalCode;
    const char* userDecimal;
    const char* expected;  // the line after the header
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.name;
}

class LogLineFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(LogLineFormatTest, SeparatorAndDecimalSignFollowTheirCodes) {
    const FormatCase& c = GetParam();
    LogLineBuilder builder(FixedEnvironment(c.userDecimal));
    LogLineOptions options;
    options.separatorCode = c.separatorCode;
    options.decimalCode = c.decimalCode;
    Next(builder, options);
    EXPECT_EQ(Next(builder, options), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, LogLineFormatTest,
    ::testing::Values(
        FormatCase{"LocaleCommaUser", 0, 0, ",", "T;21,5;22,0;22,0\r\n"},
        FormatCase{"LocalePointUser", 0, 0, ".", "T,21.5,22.0,22.0\r\n"},
        FormatCase{"TabLocaleDecimal", 1, 0, ",", "T\t21,5\t22,0\t22,0\r\n"},
        FormatCase{"CommaPoint", 2, 2, ",", "T,21.5,22.0,22.0\r\n"},
        FormatCase{"SemicolonComma", 3, 1, ".", "T;21,5;22,0;22,0\r\n"},
        FormatCase{"CommaCommaAsChosen", 2, 1, ".", "T,21,5,22,0,22,0\r\n"},
        // The locale separator never equals the decimal sign written.
        FormatCase{"LocaleSeparatorWithCommaDecimal", 0, 1, ".", "T;21,5;22,0;22,0\r\n"},
        FormatCase{"LocaleSeparatorPointDecimalCommaUser", 0, 2, ",", "T;21.5;22.0;22.0\r\n"},
        FormatCase{"UnknownCodesCountAsLocale", 9, -1, ",", "T;21,5;22,0;22,0\r\n"},
        FormatCase{"MultiByteRadix", 1, 0, "\u066b", "T\t21\u066b5\t22\u066b0\t22\u066b0\r\n"}),
    test::CaseName());

TEST(LogLineBuilderTest, FirstLineCarriesTheHeaderOfTheSelectedColumns) {
    LogLineBuilder builder(FixedEnvironment(","));
    LogLineOptions options;
    EXPECT_EQ(Next(builder, options), std::string(kAllTitlesSemicolon) + "T;21,5;22,0;22,0\r\n");

    LogLineBuilder onlySetpoint(FixedEnvironment("."));
    options = LogLineOptions{kSeparatorTab, kDecimalLocale, false, true, false};
    EXPECT_EQ(Next(onlySetpoint, options), "Data i Godzina\tWartość zadana °C\r\nT\t22.0\r\n");
    EXPECT_EQ(Next(onlySetpoint, options), "T\t22.0\r\n");
}

TEST(LogLineBuilderTest, ChangedSelectionGivesNewHeaderEachTime) {
    LogLineBuilder builder(FixedEnvironment(","));
    LogLineOptions all;
    LogLineOptions temperatureOnly{kSeparatorLocale, kDecimalLocale, true, false, false};
    const std::string temperatureHeader = "Data i Godzina;Temperatura °C\r\n";

    EXPECT_EQ(Next(builder, all), std::string(kAllTitlesSemicolon) + "T;21,5;22,0;22,0\r\n");
    EXPECT_EQ(Next(builder, temperatureOnly), temperatureHeader + "T;21,5\r\n");
    EXPECT_EQ(Next(builder, all), std::string(kAllTitlesSemicolon) + "T;21,5;22,0;22,0\r\n");
    EXPECT_EQ(Next(builder, all), "T;21,5;22,0;22,0\r\n");
}

TEST(LogLineBuilderTest, SameHeaderNeverOnTwoConsecutiveLines) {
    LogLineBuilder builder(FixedEnvironment(","));
    LogLineOptions options;
    const std::string plain = "T;21,5;22,0;22,0\r\n";
    const std::string withHeader = std::string(kAllTitlesSemicolon) + plain;

    EXPECT_EQ(Next(builder, options), withHeader);
    builder.ResetHeader();  // reopened for appending right after the header
    EXPECT_EQ(Next(builder, options), plain);
    builder.ResetHeader();  // the header is still the last one produced
    EXPECT_EQ(Next(builder, options), plain);
    EXPECT_EQ(Next(builder, options), plain);
    builder.ResetHeader();  // after a line that produced no header
    EXPECT_EQ(Next(builder, options), withHeader);
}

TEST(LogLineBuilderTest, NewOrEmptiedFileAlwaysStartsWithHeader) {
    LogLineBuilder builder(FixedEnvironment(","));
    LogLineOptions options;
    const std::string withHeader = std::string(kAllTitlesSemicolon) + "T;21,5;22,0;22,0\r\n";

    EXPECT_EQ(Next(builder, options), withHeader);
    builder.StartNewFile();
    EXPECT_EQ(Next(builder, options), withHeader);
}

TEST(LogLineBuilderTest, LineNotWrittenLeavesHeaderDue) {
    LogLineBuilder builder(FixedEnvironment(","));
    LogLineOptions options;
    LogLine lost = builder.Build(options, GoodReadings());
    EXPECT_EQ(Next(builder, options), lost.text);
    EXPECT_EQ(Next(builder, options), "T;21,5;22,0;22,0\r\n");
}

TEST(LogLineBuilderTest, DateFieldHoldingTheSeparatorIsQuoted) {
    LogLineOptions options{kSeparatorComma, kDecimalPoint, true, false, false};
    LogLineBuilder polishDate(FixedEnvironment(",", "pon, 7 gru 2026, 19:50:42"));
    Next(polishDate, options);
    EXPECT_EQ(Next(polishDate, options), "\"pon, 7 gru 2026, 19:50:42\",21.5\r\n");

    options.separatorCode = kSeparatorSemicolon;
    EXPECT_EQ(Next(polishDate, options), "pon, 7 gru 2026, 19:50:42;21.5\r\n");

    LogLineBuilder quoted(FixedEnvironment(".", "a\"b"));
    Next(quoted, options);
    EXPECT_EQ(Next(quoted, options), "\"a\"\"b\";21.5\r\n");
}

struct ReadingCase {
    const char* name;
    void (*change)(LogReadings&);
    const char* values;  // temperature;set point;second set point
};

void PrintTo(const ReadingCase& c, std::ostream* os) {
    *os << c.name;
}

class LogLineReadingTest : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(LogLineReadingTest, EachColumnShowsItsReadingOrFaultMark) {
    LogReadings readings = GoodReadings();
    GetParam().change(readings);
    LogLineBuilder builder(FixedEnvironment(","));
    LogLineOptions options;
    Next(builder, options);
    EXPECT_EQ(Next(builder, options, readings), std::string("T;") + GetParam().values + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Readings, LogLineReadingTest,
    ::testing::Values(
        ReadingCase{"Good", [](LogReadings&) {}, "21,5;22,0;22,0"},
        ReadingCase{"SensorFault", [](LogReadings& r) { r.temperature.sensorError = 1; },
                    "???;22,0;22,0"},
        ReadingCase{"TemperatureNotValid", [](LogReadings& r) { r.temperature.valid = 0; },
                    "???;22,0;22,0"},
        ReadingCase{"SetpointFault", [](LogReadings& r) { r.setpoint.error = 1; }, "21,5;???;???"},
        ReadingCase{"SetpointNotValid", [](LogReadings& r) { r.setpoint.valid = 0; },
                    "21,5;???;???"},
        ReadingCase{"LinkLost", [](LogReadings& r) { r.connected = false; }, "???;???;???"},
        ReadingCase{"NothingReadYet",
                    [](LogReadings& r) {
                        r = LogReadings{true, {}, {}, {}};
                    },
                    "???;???;???"},
        ReadingCase{"SecondDisplayShown",
                    [](LogReadings& r) {
                        r.secondSetpoint = {true, true, 18.0};
                    },
                    "21,5;22,0;18,0"},
        ReadingCase{"SecondDisplayCleared",
                    [](LogReadings& r) {
                        r.secondSetpoint = {true, false, 18.0};
                    },
                    "21,5;22,0;???"},
        ReadingCase{"SecondDisplayLinkLost",
                    [](LogReadings& r) {
                        r.secondSetpoint = {true, true, 18.0};
                        r.connected = false;
                    },
                    "???;???;???"},
        ReadingCase{"NegativeNearZero", [](LogReadings& r) { r.temperature.temperature = -0.04; },
                    "-0,0;22,0;22,0"},
        ReadingCase{"SetpointHundredthsRounded", [](LogReadings& r) { r.setpoint.setpoint = 2155; },
                    "21,5;21,6;21,6"},
        ReadingCase{"NotANumber", [](LogReadings& r) { r.temperature.temperature = NAN; },
                    "???;22,0;22,0"}),
    test::CaseName());

TEST(FormatLogValueTest, OneDecimalWithChosenSign) {
    EXPECT_EQ(FormatLogValue(-0.04, "."), "-0.0");
    EXPECT_EQ(FormatLogValue(-0.04, ","), "-0,0");
    EXPECT_EQ(FormatLogValue(INFINITY, "."), "???");
}

TEST(FormatLogValueTest, RoundsLikePrintfOneDecimal) {
    char expected[64];
    for (int i = -300000; i <= 300000; i += 7) {
        double value = i / 1000.0;
        std::snprintf(expected, sizeof expected, "%.01f", value);
        ASSERT_EQ(FormatLogValue(value, "."), expected) << value;
    }
}

TEST(FormatLogValueTest, IgnoresTheProgramsNumericLocale) {
    if (std::setlocale(LC_NUMERIC, "pl_PL.UTF-8") == nullptr) {
        GTEST_SKIP() << "pl_PL.UTF-8 is not installed";
    }
    std::string value = FormatLogValue(21.5, ".");
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(value, "21.5");
}

struct CommentCase {
    const char* text;
    bool appending;
    const char* expected;
};

TEST(BuildLogCommentTest, EmptyLineWhenAppendingAndCrLfLineEnds) {
    const std::vector<CommentCase> cases = {
        {"", false, ""},
        {"", true, "\r\n"},
        {"Próba pieca", false, "Próba pieca\r\n"},
        {"Próba pieca", true, "\r\nPróba pieca\r\n"},
        {"a\nb", false, "a\r\nb\r\n"},
        {"a\r\nb", false, "a\r\nb\r\n"},
        {"a\rb", false, "a\r\nb\r\n"},
    };
    for (const CommentCase& c : cases) {
        EXPECT_EQ(BuildLogComment(c.text, c.appending), c.expected)
            << c.text << " appending " << c.appending;
    }
}

}  // namespace
}  // namespace tk358
