// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/window_placement.h"

#include <algorithm>
#include <cstdint>

namespace tk358 {

namespace {

// The extent along one axis: [minimum, room], the minimum winning.
int64_t FitExtent(int64_t wanted, int64_t room, int64_t minimum) {
    const int64_t least = std::max<int64_t>(minimum, 1);
    return std::max(std::min(wanted, room), least);
}

// The start along one axis that keeps [start, start + extent) inside
// [areaStart, areaStart + room), moving it as little as possible.
int64_t FitStart(int64_t wanted, int64_t extent, int64_t areaStart, int64_t room) {
    const int64_t last = areaStart + std::max<int64_t>(room - extent, 0);
    return std::clamp(wanted, areaStart, last);
}

}  // namespace

WindowPlacement PlaceStoredWindow(const WindowRect& stored, const ScreenArea& area, int minWidth,
                                  int minHeight) {
    const int64_t roomX = std::max(area.width, 1);
    const int64_t roomY = std::max(area.height, 1);
    const int64_t width = FitExtent(int64_t{stored.right} - stored.left, roomX, minWidth);
    const int64_t height = FitExtent(int64_t{stored.bottom} - stored.top, roomY, minHeight);
    // Every value lies between two ints: the area's corner and its far edge,
    // or the stored size and the minimum.
    return {static_cast<int>(FitStart(stored.left, width, area.left, roomX)),
            static_cast<int>(FitStart(stored.top, height, area.top, roomY)),
            static_cast<int>(width), static_cast<int>(height)};
}

WindowRect StoredRectOf(const WindowPlacement& placement) {
    const auto end = [](int start, int extent) {
        return static_cast<int32_t>(std::min<int64_t>(int64_t{start} + extent, INT32_MAX));
    };
    return {placement.x, placement.y, end(placement.x, placement.width),
            end(placement.y, placement.height)};
}

}  // namespace tk358
