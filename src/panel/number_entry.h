// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Numbers typed by the operator. The decimal sign may be "," or "." and the
// parse never depends on the program's locale. Parsing stops at the first
// character that does not fit; text without a leading number gives 0.

#include <string_view>

namespace tk358 {

// A decimal real number (white space, sign, digits, point, digits, exponent)
// multiplied by `scale` and truncated toward zero. The product is computed
// on the decimal digits, so "0.29" at scale 100 is exactly 29. Results beyond
// the int range saturate at INT_MIN or INT_MAX.
int ParseScaled(std::string_view text, int scale);

// The same number, unscaled; a number beyond the double range gives an
// infinity of its sign. Never NaN.
double ParseReal(std::string_view text);

// A whole number: white space, sign, digits; "," and "." end it like any
// other character ("12,5" and "12.7" give 12). Saturates like ParseScaled.
int ParseInteger(std::string_view text);

}  // namespace tk358
