// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/utf8_text.h"

#include <gtest/gtest.h>
#include <locale.h>
#include <wctype.h>

#include <string>

namespace tk358 {
namespace {

TEST(Utf8TextTest, EqualsIgnoreCase) {
    struct Case {
        std::string a;
        std::string b;
        bool equal;
    };
    const Case cases[] = {
        {"GENERAL", "general", true},
        {"ĄĆĘŁŃÓŚŹŻ", "ąćęłńóśźż", true},
        {"ĄŻ", "ąż", true},
        {"Zażółć GĘŚLĄ jaźń", "ZAŻÓŁĆ gęślą JAŹŃ", true},
        {"ŸÀÉÎÕÜ", "ÿàéîõü", true},
        {"ΑΒΓΔ ΆΈΉΊΌΎΏ", "αβγδ άέήίόύώ", true},
        {"ΟΔΟΣ", "οδος", true},  // final sigma
        {"ЁЖЗИЙ ЄЇЎ ҐӀ", "ёжзий єїў ґӏ", true},
        {"ȘȚ ẞ Ạ", "șț ß ạ", true},
        {"ą", "a", false},
        {"ł", "l", false},
        {"ABC", "ABCD", false},
        {"", "", true},
        {"\xC4", "\xC4", true},           // a cut character equals itself
        {"\xC4", "\xC4\x85", false},      // but not the whole character
        {"\xC3\xA0", "\xE0", false},      // à in UTF-8 versus a Latin-1 byte
        {"\xC0\x81", "\xC0\xA1", false},  // overlong forms are bytes, not letters
        {"A\xFFZ", "a\xFFz", true},
        {"\xED\xA0\x80", "\xED\xA0\x80", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EqualsIgnoreCaseUtf8(c.a, c.b), c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(EqualsIgnoreCaseUtf8(c.b, c.a), c.equal) << c.b << " / " << c.a;
    }
}

// The table must agree with the C library's Unicode lower-case mapping wherever
// it folds, and must cover the blocks it claims completely.
TEST(Utf8TextTest, FoldingAgreesWithTheUnicodeLocale) {
    locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (utf8 == static_cast<locale_t>(nullptr)) {
        GTEST_SKIP() << "no C.UTF-8 locale";
    }
    auto lower = [&](char32_t c) { return static_cast<char32_t>(towlower_l(c, utf8)); };
    auto fullyCovered = [](char32_t c) {
        return c < 0x180 || (c >= 0x386 && c < 0x3B0) || (c >= 0x400 && c < 0x530) ||
               (c >= 0x1E00 && c < 0x1F00);
    };
    for (char32_t c = 0; c < 0x1F00; ++c) {
        if (c == 0x3C2 || c == 0x130) {
            continue;  // final sigma folds on purpose; dotted I is locale-dependent
        }
        if (FoldCase(c) != c || fullyCovered(c)) {
            EXPECT_EQ(FoldCase(c), lower(c)) << std::hex << "U+" << static_cast<unsigned>(c);
        }
    }
    freelocale(utf8);
}

TEST(Utf8TextTest, CutNeverSplitsACharacter) {
    struct Case {
        std::string text;
        std::size_t max;
        std::string expected;
    };
    const Case cases[] = {
        {"Arial", 31, "Arial"},
        {"abc", 3, "abc"},
        {"abcd", 3, "abc"},
        {"abą", 3, "ab"},  // ą is two bytes
        {"abą", 4, "abą"},
        {"a€", 3, "a"},  // € is three bytes
        {"a𝄞", 4, "a"},  // four bytes
        {"a𝄞", 5, "a𝄞"},
        {"ab\x80\x80\x80\x80\x80", 4, "ab\x80\x80"},  // not UTF-8: cut at the limit
        {std::string(30, 'x') + "ąb", 31, std::string(30, 'x')},
        {"", 0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CutUtf8(c.text, c.max), c.expected) << c.text << " max " << c.max;
    }
}

}  // namespace
}  // namespace tk358
