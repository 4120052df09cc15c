#pragma once

// Puts a test's file choice in place of the chart window's file dialog.

#include <utility>

#include "monitor/trend_window.h"

namespace tk358::test {

struct TrendWindowProbe {
    static void SetFileChooser(TrendWindow& window, TrendWindow::SaveFileChooser chooser) {
        window.chooser_ = std::move(chooser);
    }
};

}  // namespace tk358::test
