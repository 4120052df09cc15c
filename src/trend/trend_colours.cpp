// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/trend_colours.h"

#include <cmath>

namespace tk358 {

namespace {

double Linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(Colorref c) {
    return 0.2126 * Linear(RedOf(c)) + 0.7152 * Linear(GreenOf(c)) + 0.0722 * Linear(BlueOf(c));
}

Colorref Scaled(Colorref c, double factor) {
    return MakeColorref(static_cast<int>(RedOf(c) * factor), static_cast<int>(GreenOf(c) * factor),
                        static_cast<int>(BlueOf(c) * factor));
}

}  // namespace

double ContrastOnWhite(Colorref colour) {
    return 1.05 / (Luminance(NormalizeColorref(colour)) + 0.05);
}

Colorref TrendCurveColour(Colorref text, Colorref background) {
    text = NormalizeColorref(text);
    background = NormalizeColorref(background);
    if (ContrastOnWhite(text) >= kTrendMinContrast) {
        return text;
    }
    Colorref best = ContrastOnWhite(background) > ContrastOnWhite(text) ? background : text;
    // Each step darkens every channel; black reads on white, so this ends.
    while (ContrastOnWhite(best) < kTrendMinContrast) {
        best = Scaled(best, 0.9);
    }
    return best;
}

}  // namespace tk358
