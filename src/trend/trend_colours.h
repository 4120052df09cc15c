// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The colour of each curve: the colour of its value display's text, which the
// displays keep dark on a light background and so reads well on the chart's
// white. A text colour too light for white (a display set to light text on a
// dark background) gives way to the display's background colour, and when
// neither reads, the better one is darkened until it does.

#include "present/colour.h"

namespace tk358 {

// Contrast ratio of a colour against white, 1 (white) to 21 (black).
double ContrastOnWhite(Colorref colour);

// The least contrast a curve gets against the white chart.
inline constexpr double kTrendMinContrast = 3.0;

Colorref TrendCurveColour(Colorref text, Colorref background);

}  // namespace tk358
