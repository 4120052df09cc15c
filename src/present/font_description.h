// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A font as the settings file and the value displays keep it: the fields of the
// platform-neutral logical font record the display code was written against.

#include <cstdint>
#include <string>
#include <string_view>

namespace tk358 {

// Longest face name the record holds, in bytes of UTF-8.
inline constexpr std::size_t kMaxFaceNameBytes = 31;

// Cuts a face name to kMaxFaceNameBytes without splitting a UTF-8 sequence.
std::string CapFaceName(std::string_view name);

struct FontDescription {
    // Negative: character height in pixels; positive: cell height in pixels
    // (character height plus internal leading); 0: the default size.
    int32_t height = 0;
    int32_t width = 0;        // average character width, 0: from the height
    int32_t escapement = 0;   // tenths of a degree
    int32_t orientation = 0;  // tenths of a degree
    int32_t weight = 0;       // 100..900, 0: the font's default weight
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;

    const std::string& FaceName() const { return faceName; }
    void SetFaceName(std::string_view name) { faceName = CapFaceName(name); }

    friend bool operator==(const FontDescription&, const FontDescription&) = default;

private:
    std::string faceName;
};

// Character set of the Central European code page, the displays' initial choice.
inline constexpr uint8_t kCentralEuropeanCharSet = 238;

// Pitch and family bits of `pitchAndFamily`.
inline constexpr uint8_t kFixedPitch = 0x01;
inline constexpr uint8_t kVariablePitch = 0x02;
inline constexpr uint8_t kFamilyMask = 0xF0;
inline constexpr uint8_t kFamilyRoman = 0x10;
inline constexpr uint8_t kFamilySwiss = 0x20;
inline constexpr uint8_t kFamilyModern = 0x30;
inline constexpr uint8_t kFamilyScript = 0x40;
inline constexpr uint8_t kFamilyDecorative = 0x50;

// A value display's title font: Arial, 20 pixels cell height, Central European.
FontDescription TitleFontDescription();

// A value display's value font until the settings give it another:
// the title font with cell height 25.
FontDescription InitialValueFontDescription();

}  // namespace tk358
