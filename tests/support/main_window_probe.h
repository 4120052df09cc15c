#pragma once

// How the main window was closed and whether it stays on top.

#include "monitor/main_window.h"

namespace tk358::test {

struct MainWindowProbe {
    // "Zamknij" (or the unsupported-panel stop) gives kOk, the close box kCancel.
    static MainWindow::Result CloseResult(const MainWindow& window) { return window.result_; }
    static bool Topmost(const MainWindow& window) { return window.topmost_; }
};

}  // namespace tk358::test
