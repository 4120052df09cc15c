// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers typed by the operator, at the scales the dialogs use and at any
// other: never undefined behaviour, never NaN, and a scaled result that
// agrees with the plain number.

#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "panel/number_entry.h"

namespace {

using tk358::fuzz::Check;

// The sign of the scaled result follows the number's and the scale's.
void CheckSign(const std::string& text, int scale, double real) {
    const int scaled = tk358::ParseScaled(text, scale);
    if (scaled > 0) {
        Check((real > 0) == (scale > 0) && real != 0, "positive product from matching signs");
    } else if (scaled < 0) {
        Check((real > 0) != (scale > 0) && real != 0, "negative product from opposite signs");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int anyScale = input.ConsumeIntegral<int>();
    const std::string text = input.ConsumeRemainingBytesAsString();
    const double real = tk358::ParseReal(text);
    Check(!std::isnan(real), "real never NaN");
    for (const int scale : {1, 10, 100, 1000, 0, 3, -1, -10, INT_MAX, INT_MIN, anyScale}) {
        CheckSign(text, scale, real);
    }
    // Whole units: the exact truncation and that of the nearest double differ
    // by at most one, where the double rounds up to the next integer.
    if (std::fabs(real) < 1e9) {
        const double difference = tk358::ParseScaled(text, 1) - std::trunc(real);
        Check(std::fabs(difference) <= 1, "scaled parse agrees with the real one");
    }
    tk358::ParseInteger(text);
    return 0;
}
