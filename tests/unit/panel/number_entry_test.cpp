// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/number_entry.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <string>

namespace tk358 {
namespace {

TEST(NumberEntryTest, ScaledParse) {
    const struct {
        const char* text;
        int scale;
        int value;
    } cases[] = {
        {"1,5", 10, 15},
        {"1.5", 10, 15},
        {"1,5,0", 10, 15},  // stops at the second decimal sign
        {"1.5.3", 10, 15},
        {"", 10, 0},
        {"abc", 10, 0},
        {".", 10, 0},
        {"-", 10, 0},
        {"  \t-0.05", 100, -5},
        {"-0.05", 10, 0},
        {"12.34", 10, 123},
        {"-12.34", 10, -123},
        {"12.34", 100, 1234},
        {"0.29", 100, 29},  // 0.29 * 100 is 28.999999999999996 as a double
        {"1.15", 100, 115},
        {"550", 100, 55000},
        {"550.01", 100, 55001},
        {".5", 10, 5},
        {"5.", 10, 50},
        {"+7", 10, 70},
        {"1e3", 10, 10000},
        {"1E-1", 10, 1},
        {"2.5e+1", 1, 25},
        {"1e", 10, 10},
        {"1e+", 10, 10},
        {"1ex", 10, 10},
        {"12°C", 10, 120},
        {"0x10", 10, 0},
        {"inf", 10, 0},
        {"nan", 10, 0},
        {"- 5", 10, 0},
        {"000000000000000000000000000000000000000012.5", 10, 125},
        {"1234567890123456789012345678901234567890", 10, INT_MAX},
        {"-1234567890123456789012345678901234567890", 10, INT_MIN},
        {"1e99999999999999999999", 100, INT_MAX},
        {"-1e400", 100, INT_MIN},
        {"1e-400", 100, 0},
        {"214748364.7", 10, INT_MAX},
        {"214748364.8", 10, INT_MAX},
        {"-214748364.8", 10, INT_MIN},
        {"-214748364.9", 10, INT_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseScaled(c.text, c.scale), c.value) << '"' << c.text << "\" x" << c.scale;
    }
}

TEST(NumberEntryTest, ScaleThatIsNotAPowerOfTen) {
    EXPECT_EQ(ParseScaled("2,5", 4), 10);
    EXPECT_EQ(ParseScaled("-1.9", 2), -3);
    EXPECT_EQ(ParseScaled("1e300", 3), INT_MAX);
}

// Exponents past the double range: the product saturates by its sign, and
// times 0 it is 0 (an infinity times 0 would be NaN, which has no int).
TEST(NumberEntryTest, OverlongExponentSaturates) {
    const struct {
        const char* text;
        int scale;
        int value;
    } cases[] = {
        {"1e309", 10, INT_MAX},  {"1e309", 100, INT_MAX},
        {"-1e309", 10, INT_MIN}, {"1e309", 3, INT_MAX},
        {"-1e309", 3, INT_MIN},  {"1e309", -3, INT_MIN},
        {"-1e309", -3, INT_MAX}, {"1e309", 0, 0},
        {"-1e309", 0, 0},        {"1e308", 7, INT_MAX},
        {"1e-309", 3, 0},        {"1e309", INT_MIN, INT_MIN},
        {"0e309", 3, 0},         {"1e2147483648", 0, 0},
        {"1,5e309", 1, INT_MAX}, {"-1e99999999999", 7, INT_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseScaled(c.text, c.scale), c.value) << '"' << c.text << "\" x" << c.scale;
    }
}

TEST(NumberEntryTest, RealParse) {
    const std::pair<const char*, double> cases[] = {
        {"33.33", 33.33}, {"33,33", 33.33}, {"-100", -100.0}, {"100.01", 100.01},
        {"", 0.0},        {"x1", 0.0},      {"1e2", 100.0},   {" 7,5,1", 7.5},
    };
    for (auto [text, value] : cases) {
        EXPECT_EQ(ParseReal(text), value) << text;
    }
    EXPECT_EQ(ParseReal("1e400"), HUGE_VAL);
    EXPECT_EQ(ParseReal("-1e400"), -HUGE_VAL);
    EXPECT_EQ(ParseReal("1e-400"), 0.0);
    EXPECT_FALSE(std::isnan(ParseReal("nan")));
}

TEST(NumberEntryTest, IntegerParse) {
    const std::pair<const char*, int> cases[] = {
        {"12,5", 12},
        {"12.7", 12},
        {"  -42x", -42},
        {"+9", 9},
        {"", 0},
        {"abc", 0},
        {"9999", 9999},
        {"10000", 10000},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483648", INT_MIN},
        {"99999999999999999999999999999999999999", INT_MAX},
        {"-99999999999999999999", INT_MIN},
    };
    for (auto [text, value] : cases) {
        EXPECT_EQ(ParseInteger(text), value) << text;
    }
}

TEST(NumberEntryTest, CommaLocaleDoesNotChangeTheParse) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "pl_PL.UTF-8") == nullptr) {
        GTEST_SKIP() << "locale pl_PL.UTF-8 not installed";
    }
    const int scaled = ParseScaled("1.5", 10);
    const int commaScaled = ParseScaled("1,5", 10);
    const double real = ParseReal("12.25");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(scaled, 15);
    EXPECT_EQ(commaScaled, 15);
    EXPECT_EQ(real, 12.25);
}

}  // namespace
}  // namespace tk358
