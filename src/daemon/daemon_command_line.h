// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The command line of tk358d. Options are "--key value", "--key=value" or a
// bare "--switch"; "--demo" may be followed by the panel kind. With
// "--config FILE" the file's options come first and the command line's
// override them.

#include <string>
#include <vector>

#include "daemon/daemon_options.h"

namespace tk358 {

struct DaemonCommand {
    enum class Action { kRun, kHelp, kVersion, kError };
    Action action = Action::kRun;
    DaemonOptions options;
    std::string error;  // Polish, for kError
};

// `args` without the program name.
DaemonCommand ParseDaemonCommandLine(const std::vector<std::string>& args);

}  // namespace tk358
