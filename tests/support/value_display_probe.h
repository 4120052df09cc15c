#pragma once

// What the tests read of a value display, and the colour and font choosers
// they put in place of the standard dialogs.

#include <utility>

#include "widgets/value_display.h"

namespace tk358::test {

struct ValueDisplayProbe {
    // The raw value last set.
    static double Value(const ValueDisplay& display) { return display.content_.raw; }
    static bool IsBlinking(const ValueDisplay& display) { return display.blinking_; }
    static bool BlinkTimerRuns(const ValueDisplay& display) {
        return display.blinkTimer_.isActive();
    }
    static bool IsBlankPhase(const ValueDisplay& display) { return display.blankPhase_; }
    static void SetColourChooser(ValueDisplay& display, ValueDisplay::ColourChooser chooser) {
        display.colourChooser_ = std::move(chooser);
    }
    static void SetFontChooser(ValueDisplay& display, ValueDisplay::FontChooser chooser) {
        display.fontChooser_ = std::move(chooser);
    }
};

}  // namespace tk358::test
