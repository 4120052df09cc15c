// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Colours as the settings file keeps them: 24-bit RGB packed with red in the
// low byte, then green, then blue (0x00BBGGRR).

#include <cstdint>

namespace tk358 {

using Colorref = uint32_t;

constexpr Colorref MakeColorref(int red, int green, int blue) {
    return static_cast<Colorref>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedOf(Colorref c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(Colorref c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(Colorref c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

// Drops bits above the 24 colour bits (a hand-edited settings file may carry them).
constexpr Colorref NormalizeColorref(Colorref c) {
    return c & 0x00FFFFFFu;
}

}  // namespace tk358
