// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether the window can reach a graphical session, judged before any Qt
// platform plugin is loaded: a plugin that finds no display ends the process
// with abort(). Qt-free, so that the rule is tested on its own.

#include <string>

namespace tk358 {

// What the platform plugin would be given: QT_QPA_PLATFORM (or -platform),
// DISPLAY (or -display), WAYLAND_DISPLAY and XDG_RUNTIME_DIR.
struct DisplaySetting {
    std::string platform;
    std::string display;
    std::string wayland;
    std::string runtimeDir;
};

enum class DisplayVerdict {
    kUsable,       // reachable, or a platform that needs no display server
    kNotSet,       // neither DISPLAY nor WAYLAND_DISPLAY names a session
    kUnreachable,  // the named session does not take a connection
};

// The process environment's setting.
DisplaySetting DisplaySettingFromEnvironment();

// Connects to the X server's or the Wayland compositor's socket (a remote X
// server within two seconds) and closes the connection again.
DisplayVerdict JudgeDisplay(const DisplaySetting& setting);

// The one line (without the program name) that says what is missing and what
// works without a display.
std::string NoDisplayText(const DisplaySetting& setting, DisplayVerdict verdict);

}  // namespace tk358
