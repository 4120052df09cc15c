// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/font_description.h"

#include <gtest/gtest.h>

namespace tk358 {
namespace {

TEST(FontDescriptionTest, FaceNameIsCutToThirtyOneBytesOnACharacterBoundary) {
    struct Case {
        std::string name;
        std::string kept;
    };
    const std::string thirtyOne(31, 'a');
    const Case cases[] = {
        {"Arial", "Arial"},
        {thirtyOne, thirtyOne},
        {thirtyOne + "b", thirtyOne},
        // "ż" is two bytes: at bytes 30..31 it would be split, so it goes whole.
        {std::string(30, 'a') + "\u017C" + "x", std::string(30, 'a')},
        {std::string(29, 'a') + "\u017C" + "x", std::string(29, 'a') + "\u017C"},
        // A three-byte sequence at bytes 29..31.
        {std::string(29, 'a') + "\u20AC", std::string(29, 'a')},
        {"", ""},
    };
    for (const Case& c : cases) {
        FontDescription d;
        d.SetFaceName(c.name);
        EXPECT_EQ(d.FaceName(), c.kept) << c.name;
        EXPECT_LE(d.FaceName().size(), kMaxFaceNameBytes);
    }
}

}  // namespace
}  // namespace tk358
