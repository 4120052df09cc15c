// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The command line's parameter commands, run without any window:
//   tk358 --backup COMn FILE    reads the panel's set into FILE
//   tk358 --compare COMn FILE   prints the differences; 0 equal, 1 different
//   tk358 --restore COMn FILE   prints the differences, asks on a terminal
//                               (--yes for scripts), writes them and reads
//                               the set back; 0 when the panel then holds
//                               every value of the file

#include <chrono>
#include <cstdio>
#include <string>

#include "backup/parameter_backup.h"
#include "link/panel_connection.h"

namespace tk358 {

enum class BackupAction { kBackup, kCompare, kRestore };

struct BackupCommand {
    BackupAction action = BackupAction::kBackup;
    int port = 0;
    std::string file;
    bool yes = false;  // restore without asking
};

// Exit codes, also listed in --help and the README.
namespace backup_exit {
inline constexpr int kOk = 0;           // done; the panel holds the file's values
inline constexpr int kDifferent = 1;    // differences (compare), or some not written
inline constexpr int kUsage = 2;        // wrong command line
inline constexpr int kPortNotOpen = 3;  // the port does not open
inline constexpr int kNoAnswer = 4;     // no panel answers, or it stopped answering
inline constexpr int kBadFile = 5;      // the file cannot be read or is damaged
inline constexpr int kOtherKind = 6;    // the file is for another kind of panel
inline constexpr int kNotSaved = 7;     // the backup file cannot be written
inline constexpr int kDeclined = 8;     // the restore was not confirmed
}  // namespace backup_exit

struct BackupConsole {
    std::FILE* out = stdout;
    std::FILE* err = stderr;
    std::FILE* in = stdin;
    bool terminal = false;  // `in` is a terminal: a restore may ask
    std::string version;    // the program's, for the file
    // From opening the port until the panel has been identified and read.
    std::chrono::milliseconds connectWait{15000};
    SetReadOptions read;
};

// "COM5", "com5" or "5"; 0 for anything else.
int ParsePortName(const std::string& text);

// Runs `command` against a closed `session`, which it opens and closes.
int RunBackupCommand(const BackupCommand& command, PanelConnection& session,
                     const BackupConsole& console);

}  // namespace tk358
