// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/window_placement.h"

#include <gtest/gtest.h>

#include <climits>

namespace tk358 {
namespace {

// A 1920 x 1080 screen with a 40-pixel panel at the top; a window of at least
// 400 x 300.
constexpr ScreenArea kArea{0, 40, 1920, 1040};

TEST(WindowPlacementTest, StoredRectangleIsBroughtOntoTheScreen) {
    const struct {
        const char* name;
        WindowRect stored;
        WindowPlacement placed;
        ScreenArea area = kArea;
        int minWidth = 400;
        int minHeight = 300;
    } cases[] = {
        {"fits: unchanged", {10, 50, 790, 550}, {10, 50, 780, 500}},
        {"past the right edge: moved left", {1500, 100, 2300, 600}, {1120, 100, 800, 500}},
        {"above the panel: title bar brought down", {100, -300, 900, 200}, {100, 40, 800, 500}},
        {"off to the left and below", {-5000, 5000, -4200, 5500}, {0, 580, 800, 500}},
        {"larger than the screen", {0, 0, 100000000, 100000000}, {0, 40, 1920, 1040}},
        {"every edge at the int limits", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {0, 40, 1920, 1040}},
        {"inside out: the minimum size",
         {INT_MAX, INT_MAX, INT_MIN, INT_MIN},
         {1520, 780, 400, 300}},
        {"empty: the minimum size", {300, 300, 300, 300}, {300, 300, 400, 300}},
        {"screen below the minimum: the minimum wins",
         {50, 60, 850, 660},
         {100, 100, 400, 250},
         {100, 100, 300, 200},
         400,
         250},
        {"no screen, no minimum: one pixel", {5, 5, 5, 5}, {0, 0, 1, 1}, {0, 0, 0, 0}, 0, -7},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlaceStoredWindow(c.stored, c.area, c.minWidth, c.minHeight), c.placed) << c.name;
    }
}

TEST(WindowPlacementTest, StoredRectangleOfAPlacementSaturates) {
    EXPECT_EQ(StoredRectOf({10, 50, 780, 500}), (WindowRect{10, 50, 790, 550}));
    EXPECT_EQ(StoredRectOf({INT_MAX - 5, -20, 100, 30}),
              (WindowRect{INT_MAX - 5, -20, INT_MAX, 10}));
}

}  // namespace
}  // namespace tk358
