// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/value_format.h"

#include <clocale>
#include <string>

#include <gtest/gtest.h>

namespace tk358 {
namespace {

struct FormatCase {
    double shown;
    int unit;
    bool showUnit;
    bool twoDecimals;
    const char* text;
    bool raisedTwo;
};

void ExpectFormats(const FormatCase& c) {
    const ValueText v = FormatValue(c.shown, c.unit, c.showUnit, c.twoDecimals);
    EXPECT_EQ(v.text, c.text) << "unit " << c.unit << " value " << c.shown << " showUnit "
                              << c.showUnit << " twoDecimals " << c.twoDecimals;
    EXPECT_EQ(v.raisedTwo, c.raisedTwo) << "unit " << c.unit;
}

TEST(ValueFormatTest, EveryUnitWithItsUnit) {
    const FormatCase cases[] = {
        {147.04, 1, true, false, "147.0 W/m", true},
        {147.04, 1, true, true, "147.0 W/m", true},
        {100.0, 2, true, false, "100.00 kLx", false},
        {21.26, 3, true, false, "21.3 \u00B0C", false},
        {21.26, 3, true, true, "21.26 \u00B0C", false},
        {-5.04, 3, true, false, "-5.0 \u00B0C", false},
        {-12.345, 3, true, true, "-12.35 \u00B0C", false},
        {270.4, 4, true, true, "270 \u00B0", false},
        {1013.25, 5, true, false, "1013.2 hPa", false},
        {3.05, 6, true, false, "3.0 m/s", false},
        {45.0, 7, true, false, "45.0 %", false},
        {45.0, 7, true, true, "45.0 %", false},
        {412.5, 8, true, false, "412 ppm", false},
        {413.5, 8, true, false, "414 ppm", false},
    };
    for (const FormatCase& c : cases) {
        ExpectFormats(c);
    }
}

TEST(ValueFormatTest, EveryUnitWithoutItsUnit) {
    const FormatCase cases[] = {
        {147.04, 1, false, false, "147.0", false},  {147.04, 1, false, true, "147.04", false},
        {1.5, 2, false, false, "1.50", false},      {21.26, 3, false, false, "21.3", false},
        {21.26, 3, false, true, "21.26", false},    {90.6, 4, false, true, "91", false},
        {999.96, 5, false, false, "1000.0", false}, {7.25, 5, false, true, "7.25", false},
        {-0.5, 6, false, false, "-0.5", false},     {-0.5, 6, false, true, "-0.50", false},
        {45.0, 7, false, false, "45.0", false},     {45.0, 7, false, true, "45.00", false},
        {400.2, 8, false, true, "400", false},
    };
    for (const FormatCase& c : cases) {
        ExpectFormats(c);
    }
}

TEST(ValueFormatTest, CodesOutsideTheTableShowNothing) {
    for (int unit : {0, 9, -1, 100}) {
        for (bool showUnit : {false, true}) {
            EXPECT_EQ(FormatValue(12.5, unit, showUnit, false), ValueText{})
                << "unit " << unit << " showUnit " << showUnit;
        }
    }
}

TEST(ValueFormatTest, ConvertsOnlyBetweenIrradianceAndIlluminance) {
    EXPECT_DOUBLE_EQ(ConvertUnits(147.0, 1, 2), 100.0);
    EXPECT_DOUBLE_EQ(ConvertUnits(100.0, 2, 1), 147.0);
    EXPECT_DOUBLE_EQ(ConvertUnits(21.5, 3, 3), 21.5);
    EXPECT_DOUBLE_EQ(ConvertUnits(21.5, 0, 0), 21.5);
    EXPECT_DOUBLE_EQ(ConvertUnits(147.0, 1, 1), 147.0);
    EXPECT_DOUBLE_EQ(ConvertUnits(147.0, 1, 3), 147.0);
}

TEST(ValueFormatTest, ValueAreaTextByState) {
    ValueDisplayContent fresh;
    fresh.displayUnit = 3;
    EXPECT_EQ(ValueAreaText(fresh).text, "???");

    ValueDisplayContent converted;
    converted.invalid = false;
    converted.raw = 100.0;
    converted.sourceUnit = 2;
    converted.displayUnit = 1;
    EXPECT_EQ(ValueAreaText(converted), (ValueText{"147.0 W/m", true}));

    converted.raw = 147.0;
    converted.sourceUnit = 1;
    converted.displayUnit = 2;
    EXPECT_EQ(ValueAreaText(converted), (ValueText{"100.00 kLx", false}));

    ValueDisplayContent fixed;
    fixed.mode = 0;
    fixed.fixedText = "Brak";
    EXPECT_EQ(ValueAreaText(fixed).text, "Brak");  // fixed text wins over "???"

    ValueDisplayContent otherMode = converted;
    otherMode.mode = 2;
    EXPECT_EQ(ValueAreaText(otherMode), ValueText{});
}

TEST(ValueFormatTest, KeepsThePointUnderACommaLocale) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "pl_PL.UTF-8") == nullptr) {
        GTEST_SKIP() << "pl_PL.UTF-8 locale not installed";
    }
    const ValueText v = FormatValue(21.26, 3, true, true);
    const ValueText bare = FormatValue(-3.5, 6, false, false);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(v.text, "21.26 \u00B0C");
    EXPECT_EQ(bare.text, "-3.5");
}

}  // namespace
}  // namespace tk358
