// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The simulated panel's own reading of the line encoding: hex digits, the
// checksum, signed fields and the 32-bit float field. It is written apart
// from the program's codec on purpose: a misreading shared by the program and
// the simulator would pass every test that runs one against the other.

#include <cstdint>
#include <string>
#include <string_view>

namespace tk358::sim {

// "0"-"9" and "A"-"F" as 0-15; any other character, lower case included, is 0.
int HexDigit(char c);

// The digits as an unsigned number, most significant first; of more than 8
// digits the last 8 count.
uint32_t ParseHex(std::string_view digits);

// `value` in `digits` upper-case hex digits, zero padded; a value that needs
// more digits keeps them all.
std::string Hex(uint64_t value, int digits);

// A signed value in `digits` digits as the panel sends it: the value modulo
// 16^digits, so a negative value reads back by the sign rule (first digit
// 8-F: the other digits minus 16^(digits - 1)).
std::string SignedHex(int64_t value, int digits);

// Two digits: (0 - the sum of the bytes the hex digit pairs spell) mod 256.
// Characters other than hex digits are skipped; a lone last digit counts as
// the high digit of its pair.
std::string Checksum(std::string_view text);

// A request line as the program sends it: code, data, checksum, CR LF.
std::string RequestLine(std::string_view code, std::string_view data);

// The panel's float field. Encoding: 0 is 00000000; otherwise |x| = f x 2^k
// with 0.5 <= f < 1, the mantissa f x 2^24 truncated, its low 23 bits kept,
// exponent k + 126 (above 255: 7FFFFFFF, below 1: 00000000), bit 31 the sign.
// Decoding: 00000000 and 7FFFFFFF are 0; otherwise
// sign x (2^23 + m) / 2^24 x 2^(e - 126) for every exponent e.
uint32_t FloatField(double x);
double FloatValue(uint32_t field);

}  // namespace tk358::sim
