// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// tk358d from start to end: the command line, the panel session, the
// measurement log, the broker, the readings loop, and the orderly end on a
// signal. Returns the exit code (DaemonExit).

namespace tk358 {

int RunDaemon(int argc, char** argv);

}  // namespace tk358
