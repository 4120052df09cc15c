#pragma once

// The program's command line: `tk358 [--demo [KIND]]`, the parameter
// commands `--backup|--compare|--restore COMn FILE [--yes]`, the history's
// `--chart FILE...` and `--plot FILE... -o OUT`, plus --help and --version.

#include <QString>
#include <QStringList>
#include <optional>

#include "app/plot_command.h"
#include "backup/backup_cli.h"

namespace tk358 {

struct CommandLine {
    bool demo = false;
    int demoKind = 3;                     // panel kind of the simulated panel, 0..4
    std::optional<BackupCommand> backup;  // run without a window
    std::optional<PlotCommand> plot;      // logs drawn into a file, without a display
    QStringList chartFiles;               // logs opened in the chart at start
};

// The arguments ask for a parameter command, which runs without a display.
bool IsBackupCommand(const QStringList& arguments);
// The arguments ask for --plot, which runs without a display.
bool IsPlotCommand(const QStringList& arguments);

// Parses `arguments` (the program name first). --help and --version print
// their text and end the process; a mistake gives nothing and the reason in
// `error` (Polish, like the help).
std::optional<CommandLine> ParseCommandLine(const QStringList& arguments, QString* error);

// What --help and --version print.
QString CommandLineHelpText();
QString CommandLineVersionText();

}  // namespace tk358
