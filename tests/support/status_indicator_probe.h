#pragma once

// The picture a status indicator shows.

#include "widgets/status_indicator.h"

namespace tk358::test {

struct StatusIndicatorProbe {
    static StatusImage Shown(const StatusIndicator& indicator) { return indicator.shown_; }
};

}  // namespace tk358::test
