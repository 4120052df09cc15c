#pragma once

// The program's command line: `tk358 [--demo [KIND]]`, the parameter
// commands `--backup|--compare|--restore COMn FILE [--yes]`, plus --help and
// --version.

#include <QString>
#include <QStringList>
#include <optional>

#include "backup/backup_cli.h"

namespace tk358 {

struct CommandLine {
    bool demo = false;
    int demoKind = 3;                     // panel kind of the simulated panel, 0..4
    std::optional<BackupCommand> backup;  // run without a window
};

// The arguments ask for a parameter command, which runs without a display.
bool IsBackupCommand(const QStringList& arguments);

// Parses `arguments` (the program name first). --help and --version print
// their text and end the process; a mistake gives nothing and the reason in
// `error` (Polish, like the help).
std::optional<CommandLine> ParseCommandLine(const QStringList& arguments, QString* error);

// What --help and --version print.
QString CommandLineHelpText();
QString CommandLineVersionText();

}  // namespace tk358
