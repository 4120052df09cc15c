// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's command line: `tk358 [--demo [KIND]]`, the parameter
// commands `--backup|--compare|--restore COMn FILE [--yes]`, the history's
// `--chart FILE...` and `--plot FILE... -o OUT`, plus --help and --version.
// It is read whole before any Qt application object exists, so that no
// answer but a window needs a display.

#include <QString>
#include <QStringList>
#include <optional>

#include "app/plot_command.h"
#include "backup/backup_cli.h"

namespace tk358 {

// What the command line asks for; application.cpp runs each from one table.
enum class Command {
    kWindow,   // the main window (needs a display)
    kHelp,     // --help: the option summary
    kVersion,  // --version
    kBackup,   // --backup, --compare, --restore: the panel's parameters, no window
    kPlot,     // --plot: logs drawn into an image file, no display
};

struct CommandLine {
    Command command = Command::kWindow;
    bool demo = false;
    int demoKind = 3;                     // panel kind of the simulated panel, 0..4
    std::optional<BackupCommand> backup;  // run without a window
    std::optional<PlotCommand> plot;      // logs drawn into a file, without a display
    QStringList chartFiles;               // logs opened in the chart at start
};

// The program's arguments with the options Qt's GUI application takes for
// itself (-platform, -display, -session ...) set apart: those are left to
// Qt, and -platform and -display also decide which display the window needs.
struct ProgramArguments {
    QStringList arguments;  // the program name first
    QString platform;       // -platform's value, else empty
    QString display;        // -display's value, else empty
};
ProgramArguments SeparateQtOptions(int argc, const char* const* argv);

// The arguments ask for --plot: its own mistakes are not about a port.
bool IsPlotCommand(const QStringList& arguments);

// Parses `arguments` (the program name first); a mistake gives nothing and the
// reason in `error` (Polish, like the help).
std::optional<CommandLine> ParseCommandLine(const QStringList& arguments, QString* error);

// What --help and --version print.
QString CommandLineHelpText();
QString CommandLineVersionText();

}  // namespace tk358
