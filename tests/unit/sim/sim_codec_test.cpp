// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's own line encoding against the protocol's worked examples.

#include "sim/sim_codec.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tk358::sim {
namespace {

TEST(SimCodecTest, RequestLinesCarryTheirChecksum) {
    const struct {
        const char* code;
        const char* data;
        const char* line;
    } cases[] = {
        {"020A00", "", "020A00F4\r\n"},
        {"050100", "", "050100FA\r\n"},
        {"023000", "0051", "02300000517D\r\n"},
        {"028600", "000A", "028600000A6E\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RequestLine(c.code, c.data), c.line) << c.code << c.data;
    }
    // Separators are skipped; a lone last digit is the high digit of its pair.
    EXPECT_EQ(Checksum("02:0A:00"), "F4");
    EXPECT_EQ(Checksum("020A0"), "F4");
    EXPECT_EQ(Checksum(""), "00");
}

TEST(SimCodecTest, FloatFields) {
    const struct {
        double value;
        uint32_t field;
    } encoded[] = {
        {0.0, 0x00000000u},  {10.0, 0x41200000u},  {-10.0, 0xC1200000u}, {0.5, 0x3F000000u},
        {1e40, 0x7FFFFFFFu}, {1e-40, 0x00000000u}, {0.1, 0x3DCCCCCCu},  // truncated, not rounded
    };
    for (const auto& c : encoded) {
        EXPECT_EQ(FloatField(c.value), c.field) << c.value;
    }
    const struct {
        uint32_t field;
        double value;
    } decoded[] = {
        {0x00000000u, 0.0},
        {0x7FFFFFFFu, 0.0},
        {0x41200000u, 10.0},
        {0xC1200000u, -10.0},
        {0x00000000u + (1u << 23), 0.5 * 0x1p-125},     // exponent 1
        {0x00000001u, (0x800001 / 0x1p24) * 0x1p-126},  // exponent 0 keeps its leading 1
    };
    for (const auto& c : decoded) {
        EXPECT_EQ(FloatValue(c.field), c.value) << std::hex << c.field;
    }
}

TEST(SimCodecTest, HexAndSignedFields) {
    const struct {
        int64_t value;
        int digits;
        const char* text;
    } cases[] = {
        {-100, 8, "FFFFFF9C"}, {9999, 8, "0000270F"}, {10 - (int64_t{1} << 28), 8, "F000000A"},
        {-2000, 4, "F830"},    {-1, 4, "FFFF"},       {300, 4, "012C"},
        {5, 2, "05"},          {-1, 2, "FF"},         {55000, 8, "0000D6D8"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SignedHex(c.value, c.digits), c.text) << c.value;
    }
    EXPECT_EQ(Hex(0x123, 2), "123");  // more digits when the value needs them
    EXPECT_EQ(Hex(0, 4), "0000");
    EXPECT_EQ(ParseHex("FFFFFF9C"), 0xFFFFFF9Cu);
    const struct {
        char c;
        int value;
    } digits[] = {{'0', 0}, {'9', 9}, {'A', 10}, {'F', 15}, {'a', 0}, {'G', 0}, {':', 0}};
    for (const auto& d : digits) {
        EXPECT_EQ(HexDigit(d.c), d.value) << d.c;
    }
}

}  // namespace
}  // namespace tk358::sim
