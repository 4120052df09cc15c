// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/frame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace tk358 {
namespace {

TEST(FrameTest, AppendChecksumWritesChecksumAndLineEnd) {
    struct Case {
        const char* text;
        const char* line;
    };
    const Case cases[] = {
        {"020A00", "020A00F4\r\n"},
        {"050100", "050100FA\r\n"},
        {"0230000051", "02300000517D\r\n"},
        {"0230000000", "0230000000CE\r\n"},
        {"028600000A", "028600000A6E\r\n"},
        {"028700005A00F8", "028700005A00F825\r\n"},
        {"028700005A0130", "028700005A0130EC\r\n"},
        {"00", "0000\r\n"},
    };
    for (const Case& c : cases) {
        char buffer[kLineCapacity];
        std::memset(buffer, '#', sizeof buffer);
        const int length = static_cast<int>(std::strlen(c.text));
        std::memcpy(buffer, c.text, static_cast<std::size_t>(length));
        const int result = AppendChecksum(buffer, length, kLineCapacity);
        EXPECT_EQ(result, length + 4) << c.text;
        EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(length + 4)), c.line);
        EXPECT_EQ(buffer[length + 4], '#') << "wrote past the line: " << c.text;
    }
}

TEST(FrameTest, AppendChecksumFitsExactCapacityWithoutTerminator) {
    char buffer[12];
    std::memset(buffer, '#', sizeof buffer);
    std::memcpy(buffer, "020A00", 6);
    EXPECT_EQ(AppendChecksum(buffer, 6, 10), 10);
    EXPECT_EQ(std::string(buffer, 10), "020A00F4\r\n");
    EXPECT_EQ(buffer[10], '#');
}

TEST(FrameTest, AppendChecksumRefusesAndWritesNothing) {
    struct Case {
        int length;
        int capacity;
    };
    const Case cases[] = {
        {0, 256}, {5, 256}, {7, 256}, {-2, 256}, {6, 9}, {6, 0}, {254, 256}, {6, -1},
    };
    for (const Case& c : cases) {
        char buffer[kLineCapacity];
        std::memset(buffer, '7', sizeof buffer);
        char before[kLineCapacity];
        std::memcpy(before, buffer, sizeof buffer);
        EXPECT_EQ(AppendChecksum(buffer, c.length, c.capacity), 0)
            << c.length << " in " << c.capacity;
        EXPECT_EQ(std::memcmp(buffer, before, sizeof buffer), 0)
            << "buffer changed: " << c.length << " in " << c.capacity;
    }
    EXPECT_EQ(AppendChecksum(nullptr, 6, 256), 0);
}

TEST(FrameTest, RequestsCarryValuesAsPrintfWritesThem) {
    struct Case {
        RequestFrame frame;
        const char* line;
    };
    const Case cases[] = {
        {BuildRequest("020A00"), "020A00F4\r\n"},
        {BuildRequest("028600", HexText(10, 4)), "028600000A6E\r\n"},
        {BuildRequest("023000", HexText(0x51, 4)), "02300000517D\r\n"},
        // A negative set point travels as its 32-bit two's complement.
        {BuildRequest("028100", HexText(static_cast<uint32_t>(-100), 8)), "028100FFFFFF9CE4\r\n"},
        {BuildRequest("028700", HexText(90, 4) + HexText(1, 2) + "30"), "028700005A0130EC\r\n"},
        {BuildRequest("028400", HexText(EncodeFloat(10.0), 8)), "0284004120000019\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.frame.Text(), c.line);
        EXPECT_EQ(c.frame.length, static_cast<int>(std::strlen(c.line)));
    }
}

TEST(FrameTest, RequestThatCannotBeBuiltIsEmpty) {
    EXPECT_EQ(BuildRequest("").length, 0);
    EXPECT_EQ(BuildRequest("02860", "").length, 0);
    // printf widens a value that does not fit its field; the odd text is refused.
    EXPECT_EQ(HexText(0x12C, 2), "12C");
    EXPECT_EQ(BuildRequest("028500", HexText(0x12C, 2)).length, 0);
    EXPECT_EQ(BuildRequest("02", std::string(250, '0')).length, 256);
    const RequestFrame tooLong = BuildRequest("02", std::string(252, '0'));
    EXPECT_EQ(tooLong.length, 0);
    EXPECT_EQ(tooLong.Text(), "");
}

// Fields are read from answer text; positions count from the line's first character.
TEST(FrameTest, NumberFields) {
    struct Case {
        const char* line;
        int pos;
        int digits;
        int64_t value;
    };
    const Case signedCases[] = {
        {"FFFFFF9C", 0, 8, -100},
        {"0000270F", 0, 8, 9999},
        // The first digit counts only for its sign bit.
        {"8000000A", 0, 8, 10 - (int64_t{1} << 28)},
        {"F830", 0, 4, -2000},
        {"7FFF", 0, 4, 32767},
        {"8000", 0, 4, -4096},
        {"FF", 0, 2, -1},
        {"80", 0, 2, -16},
        {"FFFFFFFFFFFFFE", 0, 14, -2},
        {"028000:1", 7, 8, 0x10000000},  // runs past the end: zero digits
    };
    for (const Case& c : signedCases) {
        EXPECT_EQ(AnswerLine::From(c.line).Signed(c.pos, c.digits), c.value) << c.line;
    }
    const Case unsignedCases[] = {
        {"0000270F", 0, 8, 9999},    {"FFFFFF9C", 0, 8, 0xFFFFFF9C}, {"020200:xyz", 7, 3, 0},
        {"020200:1a2", 7, 3, 0x102}, {"020200:1", 7, 4, 0x1000},     {"AB", 0, 0, 0},
    };
    for (const Case& c : unsignedCases) {
        EXPECT_EQ(static_cast<int64_t>(AnswerLine::From(c.line).Unsigned(c.pos, c.digits)), c.value)
            << c.line;
    }
    EXPECT_EQ(AnswerLine::From("F").Unsigned(0, 16), 0xF000000000000000u);
    EXPECT_EQ(AnswerLine::From("FFFFFF9C").Field32(0), -100);
    EXPECT_EQ(AnswerLine::From("80000000").Field32(0), INT32_MIN);
    EXPECT_EQ(AnswerLine::From("x7FFFFFFF").Field32(1), INT32_MAX);
}

TEST(FrameTest, DigitsAndFlagBits) {
    const AnswerLine line = AnswerLine::From("09AFaf G:5\r\n");
    const int digits[] = {0, 9, 10, 15, 0, 0, 0, 0, 0, 5, 0, 0, 0};
    for (int pos = 0; pos < 13; ++pos) {
        EXPECT_EQ(line.Digit(pos), digits[pos]) << "position " << pos;
    }
    EXPECT_TRUE(line.Bit(9, 0));
    EXPECT_FALSE(line.Bit(9, 1));
    EXPECT_TRUE(line.Bit(9, 2));
    EXPECT_FALSE(line.Bit(9, 3));
    EXPECT_TRUE(line.Bit(2, 3));
    EXPECT_FALSE(line.Bit(2, 0));
    EXPECT_FALSE(line.Bit(3, 4));  // a digit has four bits
}

TEST(FrameTest, PositionsOutsideTheBufferReadAsZero) {
    const AnswerLine line = AnswerLine::From(std::string(400, 'F'));
    EXPECT_EQ(line.length, 256);
    EXPECT_EQ(line.Digit(255), 15);
    EXPECT_EQ(line.Digit(256), 0);
    EXPECT_EQ(line.Digit(-1), 0);
    EXPECT_EQ(line.Digit(1 << 30), 0);
    EXPECT_EQ(line.Unsigned(250, 16), 0xFFFFFF0000000000u);
    EXPECT_EQ(line.Unsigned(-4, 8), 0x0000FFFFu);
    EXPECT_EQ(line.Field32(300), 0);
    EXPECT_EQ(line.Float(2147483647), 0.0);
}

TEST(FrameTest, DecodeFloatPatterns) {
    struct Case {
        uint32_t pattern;
        double value;
    };
    const Case cases[] = {
        {0x41200000, 10.0},
        {0x00000000, 0.0},
        {0x7FFFFFFF, 0.0},
        {0xC1200000, -10.0},
        {0x3F800000, 1.0},
        {0x42C80000, 100.0},
        {0xBF400000, -0.75},
        // The leading 1 is implied for exponent 0 too: no subnormals, no signed zero.
        {0x80000000, -std::ldexp(1.0, -127)},
        {0x00000001, std::ldexp(8388609.0, -150)},
        // Exponent 255 is an ordinary exponent.
        {0x7F800000, std::ldexp(1.0, 128)},
        {0xFFC00000, -std::ldexp(1.5, 128)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeFloat(c.pattern), c.value) << std::hex << c.pattern;
    }
    EXPECT_EQ(AnswerLine::From("028800:0041200000").Float(9), 10.0);
}

uint32_t MachineSingle(double x) {
    const float f = static_cast<float>(x);
    uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

TEST(FrameTest, EncodeFloatSpecialValues) {
    struct Case {
        double x;
        uint32_t pattern;
    };
    const Case cases[] = {
        {10.0, 0x41200000},
        {0.0, 0x00000000},
        {-0.0, 0x00000000},
        {std::ldexp(1.0, -126), 0x00800000},  // smallest normal
        {std::ldexp(1.0, -127), 0x00000000},  // below: zero, not a subnormal
        {std::ldexp(1.0, 128), 0x7F800000},   // exponent 255 still encodes
        {-std::ldexp(1.0, 128), 0xFF800000},
        {std::ldexp(1.0, 129), 0x7FFFFFFF},  // beyond any exponent
        {-std::ldexp(1.0, 200), 0x7FFFFFFF},
        {HUGE_VAL, 0x7FFFFFFF},
        {std::nan(""), 0x7FFFFFFF},
        // Truncation where the machine rounds to nearest:
        {0.1, 0x3DCCCCCC},      // IEEE single 3DCCCCCD
        {2.0 / 3, 0x3F2AAAAA},  // IEEE single 3F2AAAAB
        {-0.1, 0xBDCCCCCC},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeFloat(c.x), c.pattern) << c.x;
    }
}

// The panel's encoding is IEEE single precision with the mantissa truncated
// instead of rounded: it matches the machine's float wherever the value is
// exactly representable, and is at most one unit in the last place below it
// (toward zero) elsewhere.
TEST(FrameTest, EncodeFloatAgreesWithMachineSingleUpToTruncation) {
    const double exact[] = {1.0, -1.0, 0.5, 2.5, -2.5, 100.0, 1234.5, -0.75, 1e6, 0.015625};
    for (double x : exact) {
        EXPECT_EQ(EncodeFloat(x), MachineSingle(x)) << x;
        EXPECT_EQ(DecodeFloat(EncodeFloat(x)), x) << x;
    }
    for (int i = -2000; i <= 2000; ++i) {
        const double x = i / 10.0 + i / 7000.0;
        if (x == 0.0) {
            continue;
        }
        const uint32_t ours = EncodeFloat(x);
        const uint32_t machine = MachineSingle(x);
        ASSERT_TRUE(machine == ours || machine == ours + 1) << x;
        ASSERT_LE(std::fabs(DecodeFloat(ours)), std::fabs(x)) << x;
        ASSERT_LT(std::fabs(x - DecodeFloat(ours)), std::fabs(x) * std::ldexp(1.0, -23)) << x;
    }
}

}  // namespace
}  // namespace tk358
