// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ini_text.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tk358 {
namespace {

using Sections = std::vector<IniSection>;

TEST(IniTextTest, ParsesSectionsEntriesAndOddLines) {
    struct Case {
        const char* name;
        std::string text;
        Sections expected;
    };
    const Case cases[] = {
        {"empty file", "", {{"", {}}}},
        {"lines before the first header",
         "a=1\n;c\n\n",
         {{"", {{"a", "1"}, {";c", ""}, {"", ""}}}}},
        {"split at the first equals sign", "k=v=w\n=x\n", {{"", {{"k", "v=w"}, {"", "x"}}}}},
        {"blanks kept", " key = value \n", {{"", {{" key ", " value "}}}}},
        {"header named at its first entry", "[A]\nx=1\n", {{"", {}}, {"A", {{"x", "1"}}}}},
        {"header without entries stays unnamed",
         "[A]\n[B]\ny\n",
         {{"", {}}, {"", {}}, {"B", {{"y", ""}}}}},
        {"empty header", "[]\nz=2\n", {{"", {}}, {"", {{"z", "2"}}}}},
        {"not headers", "[\n]x[\n[a]b=\n", {{"", {{"[", ""}, {"]x[", ""}, {"[a]b", ""}}}}},
        {"CR LF and LF mixed, no final line end",
         "a=1\r\nb=2\nc=3",
         {{"", {{"a", "1"}, {"b", "2"}, {"c", "3"}}}}},
        {"only one CR dropped", "a=1\r\r\n[S]\r\nb\r", {{"", {{"a", "1\r"}}}, {"S", {{"b", ""}}}}},
        {"duplicate headers",
         "[S]\na=1\n[S]\na=2\n",
         {{"", {}}, {"S", {{"a", "1"}}}, {"S", {{"a", "2"}}}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseIniText(c.text), c.expected) << c.name;
    }
}

TEST(IniTextTest, DecimalTextConversion) {
    struct Case {
        const char* text;
        int32_t asInt;
        uint32_t asUnsigned;
    };
    const Case cases[] = {
        {"", 0, 0},
        {"abc", 0, 0},
        {"3 ", 3, 3},
        {" \t\r\n+17x", 17, 17},
        {"-42", -42, 4294967254u},
        {"- 5", 0, 0},
        {"12 34", 12, 12},
        {"0x1F", 0, 0},
        {"2147483647", 2147483647, 2147483647u},
        {"2147483648", 2147483647, 2147483648u},
        {"4294967295", 2147483647, 4294967295u},
        {"4294967296", 2147483647, 4294967295u},
        {"-2147483648", INT32_MIN, 2147483648u},
        {"-2147483649", INT32_MIN, 2147483647u},
        {"99999999999999999999999999", 2147483647, 4294967295u},
        {"-99999999999999999999999999", INT32_MIN, 4294967295u},
        {"13559807", 13559807, 13559807u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecimalTextToInt32(c.text), c.asInt) << '"' << c.text << '"';
        EXPECT_EQ(DecimalTextToUint32(c.text), c.asUnsigned) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace tk358
