// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/font_description.h"

namespace tk358 {

std::string CapFaceName(std::string_view name) {
    if (name.size() <= kMaxFaceNameBytes) {
        return std::string(name);
    }
    std::size_t end = kMaxFaceNameBytes;
    // Step back over continuation bytes (10xxxxxx) so the cut falls before a lead byte.
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) {
        --end;
    }
    return std::string(name.substr(0, end));
}

FontDescription TitleFontDescription() {
    FontDescription d;
    d.height = 20;
    d.charSet = kCentralEuropeanCharSet;
    d.SetFaceName("Arial");
    return d;
}

FontDescription InitialValueFontDescription() {
    FontDescription d = TitleFontDescription();
    d.height = 25;
    return d;
}

}  // namespace tk358
