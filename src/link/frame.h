// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The panel's line protocol: every number travels as upper-case hex text.
// A request is a six-digit command code, an even number of data digits, a
// two-digit checksum and CR LF. An answer begins with the command code and
// ":", and its fields are read by position from a zero-filled copy of the
// line, so a field past the end of a short answer reads as zero digits.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tk358 {

// Size of a request buffer, of the line collected from the panel and of the
// zero-filled copy an answer is decoded from.
inline constexpr int kLineCapacity = 256;

// "0"-"9" give 0-9, "A"-"F" give 10-15; anything else, lower case included, gives 0.
int HexDigitValue(char c);

// Appends the checksum byte, (0 - sum of the bytes the text's digit pairs
// spell) mod 256, as two upper-case digits, then CR LF. Returns the new length,
// `length` + 4. Refuses with 0 and writes nothing when `length` is 0, negative
// or odd, or when `capacity` < `length` + 4. No terminating zero is written.
int AppendChecksum(char* text, int length, int capacity);

// `value` as printf "%0<digits>X" writes it: upper case, zero padded to
// `digits`, more digits when the value needs them. A negative int passed in
// arrives as its 32-bit two's complement, as with printf.
std::string HexText(uint32_t value, int digits);

// A request line ready for the port: 256 bytes, of which `length` are the line.
struct RequestFrame {
    std::array<char, kLineCapacity> bytes{};
    int length = 0;  // 0 when the line could not be built

    std::string_view Text() const {
        return {bytes.data(), static_cast<std::size_t>(length > 0 ? length : 0)};
    }
};

// Command code + data digits + checksum + CR LF. The frame's length is 0
// when the code and data together are empty, odd or too long for the buffer.
RequestFrame BuildRequest(std::string_view commandCode, std::string_view data = {});

// The 32-bit float pattern the panel uses, decoded: 00000000 and 7FFFFFFF are
// 0.0; otherwise sign * (2^23 + m) / 2^24 * 2^(e - 126). The leading 1 is
// implied for every exponent (0 included) and exponent 255 is an ordinary one.
double DecodeFloat(uint32_t pattern);

// The pattern the panel expects for `x`: the mantissa is truncated, not
// rounded, magnitudes below 2^-126 give 00000000 and magnitudes of 2^129 and
// more give 7FFFFFFF. NaN and infinities also give 7FFFFFFF.
uint32_t EncodeFloat(double x);

// One received line in a zero-filled 256-byte copy. Positions count from 0 at
// the line's first character; the ":" of an answer stands at 6. Every field
// reader accepts any position: outside 0..255 a digit reads as 0.
struct AnswerLine {
    std::array<char, kLineCapacity> text{};
    int length = 0;  // bytes of the line, CR LF included

    // Copies at most 256 bytes of `line`.
    static AnswerLine From(std::string_view line);

    std::string_view View() const { return {text.data(), static_cast<std::size_t>(length)}; }
    bool StartsWith(std::string_view prefix) const;

    int Digit(int pos) const;
    // Bit `bit` (0 = value 1 .. 3 = value 8) of the digit at `pos`.
    bool Bit(int pos, int bit) const;
    // `digits` digits (0..16; more are cut to 16) as an unsigned number.
    uint64_t Unsigned(int pos, int digits) const;
    // 8 digits read as a 32-bit two's complement number.
    int32_t Field32(int pos) const;
    // `digits` digits, signed: when the first digit is 8..F the value is the
    // other digits read unsigned minus 16^(digits - 1), else all digits
    // unsigned. With a first digit F this is the ordinary two's complement.
    int64_t Signed(int pos, int digits) const;
    // 8 digits holding a float pattern (see DecodeFloat).
    double Float(int pos) const;
};

}  // namespace tk358
