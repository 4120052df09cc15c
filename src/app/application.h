// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Start and end of the program: the Qt application, the locale and the Polish
// Qt texts, the settings, the panel link (or the simulated panel of the demo
// mode), the main window's run, and the settings written back however the
// program ends.

namespace tk358 {

// Runs the program; the process exit code.
int RunApplication(int argc, char** argv);

}  // namespace tk358
