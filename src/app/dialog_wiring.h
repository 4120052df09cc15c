// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the dialogs, the measurement log and the trend view are connected to
// the main window, and where the settings are handed out to the parts that
// own them and gathered again for saving.

#include "settings/app_settings.h"

namespace tk358 {

class LogController;
class MainWindow;
class TrendController;

// The parts WireDialogs makes that keep a part of the settings; children of
// the window, which destroys them.
struct WiredParts {
    LogController& log;
    TrendController& trend;
};

// Connects every command of the window and fills its hooks.
WiredParts WireDialogs(MainWindow& window);

// The measurement log's share: the start-up open, "Rejestracja do pliku" and
// the status line's logging note.
void WireLog(MainWindow& window, LogController& log);

// Hands each part its part of `settings`; before the window starts.
void ApplyAppSettings(MainWindow& window, const WiredParts& parts, const AppSettings& settings);

// Writes what the window and the parts hold now into `settings`.
void StoreAppSettings(const MainWindow& window, const WiredParts& parts, AppSettings& settings);

}  // namespace tk358
