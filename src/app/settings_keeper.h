// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The settings file from start to exit: read once before the window opens,
// written whenever the program ends (and when the desktop session asks for
// the data to be saved).

#include <string>

#include "settings/app_settings.h"
#include "settings/ini_file.h"

namespace tk358 {

// $TK358_SETTINGS_FILE when set and not empty, else tk358.ini next to the
// program or in the user's configuration directory.
std::string SettingsPath();

class SettingsKeeper {
public:
    // Opens the file, creating it when missing; section and key names are
    // matched without regard to case; no backup is made.
    explicit SettingsKeeper(const std::string& path);

    // The stored settings; the built-in values when the file could not be opened.
    AppSettings Load() const;

    // Writes every setting, the window rectangle brought back onto the screen,
    // and rewrites the file if anything changed. Nothing reaches the disk when
    // the file could not be opened. False when the settings are not on disk.
    bool Save(const AppSettings& settings, int screenWidth, int screenHeight);

    // Why the last Save returned false, as one line; empty after one that
    // succeeded.
    std::string SaveFailureText() const;

private:
    std::string path_;
    int openError_ = 0;
    IniFile ini_;
};

}  // namespace tk358
