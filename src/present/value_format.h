// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Texts of a value display's value area, decided without any widget.

#include <string>

namespace tk358 {

// Unit codes of a value display.
enum UnitCode : int {
    kUnitIrradiance = 1,    // W/m²
    kUnitIlluminance = 2,   // kLx
    kUnitTemperature = 3,   // °C
    kUnitAngle = 4,         // °
    kUnitPressure = 5,      // hPa
    kUnitSpeed = 6,         // m/s
    kUnitPercentage = 7,    // %
    kUnitConcentration = 8  // ppm
};

// The one conversion a display knows: irradiance (1) and illuminance (2) are
// related by the factor 1.47; any other pair shows the raw value.
double ConvertUnits(double raw, int sourceUnit, int displayUnit);

struct ValueText {
    std::string text;        // empty: nothing is drawn
    bool raisedTwo = false;  // a superscript "2" follows the text (W/m²)
    friend bool operator==(const ValueText&, const ValueText&) = default;
};

// Formats a shown value for a display unit, always with a decimal point
// whatever the program's locale.
ValueText FormatValue(double shown, int displayUnit, bool showUnit, bool twoDecimals);

// What a display's value area holds.
struct ValueDisplayContent {
    int mode = 1;  // 0: the fixed text, 1: the value, other: nothing
    std::string fixedText;
    bool invalid = true;  // "???" instead of the value
    double raw = 0.0;
    int sourceUnit = 0;
    int displayUnit = 0;
    bool showUnit = true;
    bool twoDecimals = false;
};

inline constexpr const char* kInvalidValueText = "???";

ValueText ValueAreaText(const ValueDisplayContent& content);

}  // namespace tk358
