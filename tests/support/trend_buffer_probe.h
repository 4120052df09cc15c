#pragma once

// The ring's size, which the buffer's tests check never grows.

#include <cstddef>

#include "trend/trend_buffer.h"

namespace tk358::test {

struct TrendBufferProbe {
    static std::size_t Capacity(const TrendBuffer& buffer) { return buffer.ring_.size(); }
};

}  // namespace tk358::test
