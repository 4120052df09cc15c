// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// UTF-8 helpers for the settings file: case-insensitive name comparison and
// cutting a text to a byte limit without splitting a character.

#include <cstddef>
#include <string_view>

namespace tk358 {

// Simple (one code point to one code point) lower-case folding for Latin
// (ASCII, Latin-1, Latin Extended-A, the regular pairs of Latin Extended-B and
// Latin Extended Additional), Greek and Cyrillic. Final sigma folds to sigma.
// Other code points are returned unchanged. Table-driven so that comparisons do
// not depend on which locales the machine has installed.
char32_t FoldCase(char32_t c);

// True when both texts are equal after decoding UTF-8 and folding every code
// point with FoldCase. Bytes that are not valid UTF-8 compare only with the
// same bytes.
bool EqualsIgnoreCaseUtf8(std::string_view a, std::string_view b);

// The longest prefix of `text` of at most `maxBytes` bytes that does not end
// inside a UTF-8 character.
std::string_view CutUtf8(std::string_view text, std::size_t maxBytes);

}  // namespace tk358
