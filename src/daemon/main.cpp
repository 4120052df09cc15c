// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/daemon_app.h"

int main(int argc, char** argv) {
    return tk358::RunDaemon(argc, argv);
}
