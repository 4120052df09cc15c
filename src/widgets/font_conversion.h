// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Font description <-> QFont.

#include <QFont>

#include "present/font_description.h"

namespace tk358 {

// Largest pixel size a description is drawn with: a hand-edited height must not
// make the display render glyphs of absurd size.
inline constexpr int kMaxFontPixelSize = 1024;

// The QFont a description stands for. A negative height is the character height
// in pixels; a positive height is the cell height (character plus internal
// leading), turned into a pixel size through the font's own ascent and descent,
// so it is approximate; 0 keeps the application's default size. Weight 0 is the
// normal weight; 100..900 map onto QFont::Weight. Width, escapement,
// orientation, character set, precisions and quality have no QFont equivalent
// and are not applied.
QFont ToQFont(const FontDescription& description);

// The description of `font`, starting from `base`: fields that `font` does not
// change keep their base value (so a positive height, weight 0 and the fields
// QFont has no notion of survive a round trip); a changed size becomes a
// negative (character) height in pixels.
FontDescription FromQFont(const QFont& font, const FontDescription& base);

}  // namespace tk358
