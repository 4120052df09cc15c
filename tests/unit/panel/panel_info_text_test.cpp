// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/panel_info_text.h"

#include <gtest/gtest.h>

namespace tk358 {
namespace {

PanelIdentity Identity(uint8_t type, uint16_t variant, int firmware) {
    PanelIdentity id;
    id.identified = 1;
    id.deviceType = type;
    id.hardwareVariant = variant;
    id.firmwareVersion = firmware;
    id.serialNumber = 40001;
    return id;
}

PanelInfo Probe(bool calibrationError) {
    PanelInfo info;
    info.probeSerialNumber = 123;
    info.calibrationYear = 2009;
    info.calibrationMonth = 3;
    info.probeCalibrationError = calibrationError ? 1 : 0;
    info.valid = 1;
    return info;
}

TEST(PanelInfoTextTest, WholeText) {
    EXPECT_EQ(BuildPanelInfoText(Probe(false), Identity(kThresholdRegulator, 2, 105)),
              "Numer seryjny panelu: 40001\n"
              "Wersja panelu: B.1.5\n"
              "Typ: TK-358C progowy regulator temperatury\n"
              "\n"
              "Numer seryjny sondy: 123\n"
              "Data kalibracji sondy: 2009-03\n");
    EXPECT_EQ(BuildPanelInfoText(Probe(true), Identity(kUnknownDevice, 1, 212)),
              "Numer seryjny panelu: 40001\n"
              "Wersja panelu: A.2.12\n"
              "\n"
              "Numer seryjny sondy: 123\n"
              "Data kalibracji sondy: 2009-03\n"
              "Błąd kalibracji sondy!\n");
}

TEST(PanelInfoTextTest, VariantLetters) {
    const std::pair<uint16_t, const char*> cases[] = {
        {0, "@"}, {1, "A"}, {3, "C"}, {26, "Z"}, {62, "~"}, {63, "?"}, {65535, "?"},
    };
    for (auto [variant, letter] : cases) {
        const std::string text = BuildPanelInfoText(Probe(false), Identity(0, variant, 7));
        EXPECT_NE(text.find(std::string("Wersja panelu: ") + letter + ".0.7\n"), std::string::npos)
            << variant;
    }
}

}  // namespace
}  // namespace tk358
