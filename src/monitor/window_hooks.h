// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the main window asks for and gets an answer to. Each slot is filled
// where the answer is built (src/app wires them at start). The commands that
// return nothing are the window's signals.

#include <functional>
#include <optional>

#include "present/status_text.h"

class QWidget;

namespace tk358 {

struct WindowHooks {
    // "Ustawienia" -> "Port szeregowy": the port list preset to `current`
    // (0: none). The chosen port number, or nothing when cancelled. The window
    // then opens the port and repeats the choice when that fails. Empty: the
    // choice is not offered.
    std::function<std::optional<int>(QWidget* parent, int current)> choosePort;

    // Whether measurement lines are being written and how often, for the
    // status line; empty: not logging.
    std::function<LoggingState()> loggingState;
};

}  // namespace tk358
