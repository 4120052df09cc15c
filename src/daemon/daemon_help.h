// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The --help text of tk358d.

#include <string>

namespace tk358 {

std::string DaemonHelpText();

}  // namespace tk358
