// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The colour and font choosers the tests put in place of a value display's
// standard dialogs, which cannot be answered exactly (the font dialog works
// in points, the display in pixels).

#include <utility>

#include "widgets/value_display.h"

namespace tk358::test {

struct ValueDisplayProbe {
    static void SetColourChooser(ValueDisplay& display, ValueDisplay::ColourChooser chooser) {
        display.colourChooser_ = std::move(chooser);
    }
    static void SetFontChooser(ValueDisplay& display, ValueDisplay::FontChooser chooser) {
        display.fontChooser_ = std::move(chooser);
    }
};

}  // namespace tk358::test
