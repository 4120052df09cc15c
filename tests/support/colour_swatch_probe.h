#pragma once

// The colour a swatch shows.

#include "widgets/colour_swatch.h"

namespace tk358::test {

struct ColourSwatchProbe {
    static Colorref Colour(const ColourSwatch& swatch) { return swatch.colour_; }
};

}  // namespace tk358::test
