// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/value_format.h"

#include "text/text_format.h"

namespace tk358 {
namespace {

constexpr double kIrradiancePerKiloLux = 1.47;

ValueText WithUnit(double shown, int unit, bool twoDecimals) {
    switch (unit) {
        case kUnitIrradiance:
            return {FormatFixed(shown, 1) + " W/m", true};
        case kUnitIlluminance:
            return {FormatFixed(shown, 2) + " kLx"};
        case kUnitTemperature:
            return {FormatFixed(shown, twoDecimals ? 2 : 1) + " \u00B0C"};
        case kUnitAngle:
            return {FormatFixed(shown, 0) + " \u00B0"};
        case kUnitPressure:
            return {FormatFixed(shown, 1) + " hPa"};
        case kUnitSpeed:
            return {FormatFixed(shown, 1) + " m/s"};
        case kUnitPercentage:
            return {FormatFixed(shown, 1) + " %"};
        case kUnitConcentration:
            return {FormatFixed(shown, 0) + " ppm"};
        default:
            return {};
    }
}

ValueText WithoutUnit(double shown, int unit, bool twoDecimals) {
    switch (unit) {
        case kUnitIlluminance:
            return {FormatFixed(shown, 2)};
        case kUnitAngle:
        case kUnitConcentration:
            return {FormatFixed(shown, 0)};
        case kUnitIrradiance:
        case kUnitTemperature:
        case kUnitPressure:
        case kUnitSpeed:
        case kUnitPercentage:
            return {FormatFixed(shown, twoDecimals ? 2 : 1)};
        default:
            return {};
    }
}

}  // namespace

double ConvertUnits(double raw, int sourceUnit, int displayUnit) {
    if (sourceUnit == kUnitIrradiance && displayUnit == kUnitIlluminance) {
        return raw / kIrradiancePerKiloLux;
    }
    if (sourceUnit == kUnitIlluminance && displayUnit == kUnitIrradiance) {
        return raw * kIrradiancePerKiloLux;
    }
    return raw;
}

ValueText FormatValue(double shown, int displayUnit, bool showUnit, bool twoDecimals) {
    return showUnit ? WithUnit(shown, displayUnit, twoDecimals)
                    : WithoutUnit(shown, displayUnit, twoDecimals);
}

ValueText ValueAreaText(const ValueDisplayContent& content) {
    switch (content.mode) {
        case 0:
            return {content.fixedText};
        case 1:
            if (content.invalid) {
                return {kInvalidValueText};
            }
            return FormatValue(ConvertUnits(content.raw, content.sourceUnit, content.displayUnit),
                               content.displayUnit, content.showUnit, content.twoDecimals);
        default:
            return {};
    }
}

}  // namespace tk358
