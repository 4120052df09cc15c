// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the settings file lives: next to the program when a settings file is
// there already or the program's directory is writable (a program unpacked into
// a folder of its own); otherwise, as for an installed program, in the user's
// configuration directory.

#include <string>

namespace tk358 {

inline constexpr const char kSettingsFileName[] = "tk358.ini";

// What the choice depends on, filled from the running process or by a test.
struct SettingsEnvironment {
    std::string exePath;        // the program's own path; empty if unknown
    std::string xdgConfigHome;  // $XDG_CONFIG_HOME; empty when unset
    std::string home;           // $HOME, else the user's home from the password database

    static SettingsEnvironment FromProcess();
};

// The full path of the settings file. The configuration directory
// ($XDG_CONFIG_HOME/tk358, a relative value ignored, default ~/.config/tk358)
// is created when it is chosen and missing. Empty only when neither place is
// known.
std::string SettingsFilePath(const SettingsEnvironment& env);

}  // namespace tk358
