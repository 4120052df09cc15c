// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/panel_info_text.h"

#include <cstdio>

namespace tk358 {

namespace {

const char* KindLine(int deviceType) {
    switch (deviceType) {
        case kTemperatureController:
            return "Typ: sterownik temperatury\n";
        case kDrainValveController:
            return "Typ: sterownik zaworu zrzutowego\n";
        case kVentilationController:
            return "Typ: TK-358W sterownik wentylacji\n";
        case kDualZoneController:
            return "Typ: TK-358D dwustrefowy sterownik temperatury\n";
        case kThresholdRegulator:
            return "Typ: TK-358C progowy regulator temperatury\n";
        default:
            return "";
    }
}

// The hardware variant as a letter: 1 is "A". A variant whose letter would
// not be a printable ASCII character is shown as "?", so the text stays UTF-8.
char VariantLetter(unsigned variant) {
    const unsigned code = variant + 64;
    return code <= 126 ? static_cast<char>(code) : '?';
}

}  // namespace

std::string BuildPanelInfoText(const PanelInfo& info, const PanelIdentity& identity) {
    char line[128];
    std::string text;
    std::snprintf(line, sizeof line, "Numer seryjny panelu: %d\n", identity.serialNumber);
    text += line;
    std::snprintf(line, sizeof line, "Wersja panelu: %c.%d.%d\n",
                  VariantLetter(identity.hardwareVariant), identity.firmwareVersion / 100,
                  identity.firmwareVersion % 100);
    text += line;
    text += KindLine(identity.deviceType);
    text += "\n";
    std::snprintf(line, sizeof line, "Numer seryjny sondy: %d\n", info.probeSerialNumber);
    text += line;
    std::snprintf(line, sizeof line, "Data kalibracji sondy: %04d-%02d\n", info.calibrationYear,
                  info.calibrationMonth);
    text += line;
    if (info.probeCalibrationError != 0) {
        text += "Błąd kalibracji sondy!\n";
    }
    return text;
}

}  // namespace tk358
