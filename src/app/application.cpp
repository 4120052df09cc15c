// SPDX-License-Identifier: GPL-3.0-or-later
// The program from start to end: command line, settings file, the panel
// session, the main window and its parts.
//
// Wiring. The main window presents the readings and coordinates; what its
// commands do is attached in src/app (dialog_wiring.cpp), in one of two ways:
//  - a hook, a std::function the caller calls, where a value comes back: the
//    port choice (WindowHooks::choosePort), the status line's logging note
//    (WindowHooks::loggingState), the log setup dialog's result
//    (LogSetupRunner) and the trend export's CSV options;
//  - a Qt signal for everything else: the window's menu commands
//    (panelInfoRequested ... logSetupRequested), the log's start-up open
//    (logStartDue), the refresh tick (ticked) and the window's end (closed).
// A part never fills the window's hooks or connects itself to the window:
// reading dialog_wiring.cpp shows every connection. An empty hook or an
// unconnected signal makes its command do nothing.
//
// Settings. Each part owns its part of AppSettings from start to exit: the
// MainWindow the displays' colours and fonts, the port, the window rectangle
// and the view switches; the LogController the LOG section and the log's
// columns (the LOG flag of each display section); the TrendController the
// TREND section. The file is read once at start and handed out with
// ApplyAppSettings; at exit, and whenever the desktop session asks,
// StoreAppSettings gathers the parts over what was read and the file is
// written.

#include "app/application.h"

#include <unistd.h>
#include <QApplication>
#include <QLibraryInfo>
#include <QScopeGuard>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "app/command_line.h"
#include "app/dialog_wiring.h"
#include "app/display_probe.h"
#include "app/platform_start.h"
#include "app/quit_signals.h"
#include "app/settings_keeper.h"
#include "app/window_identity.h"
#include "link/panel_session.h"
#include "log/locale_format.h"
#include "monitor/main_window.h"
#include "monitor/trend_controller.h"
#include "sim/pty_simulator.h"
#include "tk358_paths.h"
#include "tk358_version.h"

namespace tk358 {

namespace {

// Standard buttons and dialogs read Polish whatever the user's language: the
// program's own texts are Polish.
void LoadQtTranslation(QApplication& app, QTranslator& translator) {
    if (translator.load(QStringLiteral("qtbase_pl"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        app.installTranslator(&translator);
    }
}

QSize PrimaryScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().size() : QSize(1024, 768);
}

// Starts the window and runs it until it closes or a quit signal arrives.
void RunWindow(QApplication& app, MainWindow& window, const QuitSignals& quitSignals) {
    bool closed = false;
    const QMetaObject::Connection ending =
        QObject::connect(&window, &MainWindow::closed, &app, [&closed] {
            closed = true;
            QCoreApplication::quit();
        });
    const auto forget = qScopeGuard([&ending] { QObject::disconnect(ending); });
    window.Start();
    // A message box during the start may have seen a quit signal or the
    // window's end; exec() would then wait for nothing.
    if (closed || quitSignals.Received()) {
        return;
    }
    NameDesktopEntryOnWindow(window, QByteArrayLiteral(TK358_DESKTOP_ID));
    window.show();
    QApplication::exec();
}

// What every command is given: the arguments as they came (QApplication
// takes its own options from them), the parsed command line and the display
// the window would go to.
struct StartContext {
    int& argc;  // the application object keeps a reference
    char** argv;
    const CommandLine& line;
    const DisplaySetting& display;
};

int PrintHelp(const StartContext&) {
    std::fputs(CommandLineHelpText().toUtf8().constData(), stdout);
    return 0;
}

int PrintVersion(const StartContext&) {
    std::fputs(CommandLineVersionText().toUtf8().constData(), stdout);
    return 0;
}

// --backup, --compare and --restore run on the link alone: no window, no
// display, nothing of the settings file.
int RunBackupCommandLine(const StartContext& start) {
    QCoreApplication app(start.argc, start.argv);
    QCoreApplication::setApplicationName(QStringLiteral("tk358"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TK358_VERSION));
    BackupConsole console;
    console.terminal = isatty(fileno(stdin)) != 0;
    console.version = TK358_VERSION;
    PanelSession session;
    return RunBackupCommand(*start.line.backup, session, console);
}

QtMessageHandler qtMessages = nullptr;

// Qt warns once that XDG_RUNTIME_DIR is unset, which it is under cron; a
// drawing does not use that folder, and a successful run stays silent.
void DropRuntimeDirWarning(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
    if (type == QtWarningMsg &&
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) {
        return;
    }
    qtMessages(type, context, message);
}

// --plot draws on Qt's offscreen platform: no display is needed, and none is
// used even when there is one.
int RunPlotCommandLine(const StartContext& start) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qtMessages = qInstallMessageHandler(DropRuntimeDirWarning);
    QApplication app(start.argc, start.argv);
    SetUpProcessLocale();
    return RunPlotCommand(*start.line.plot);
}

// The application object of a command that shows a window. The display
// answered the probe, but its server may still refuse the connection
// (authorisation): then the same Polish line and exit 1 instead of an abort.
std::unique_ptr<QApplication> StartGuiApplication(const StartContext& start) {
    const PlatformStartGuard guard(
        "tk358: " + NoDisplayText(start.display, DisplayVerdict::kUnreachable) + "\n");
    return std::make_unique<QApplication>(start.argc, start.argv);
}

int RunMainWindow(const StartContext& start) {
    const std::unique_ptr<QApplication> application = StartGuiApplication(start);
    QApplication& app = *application;
    QuitSignals quitSignals;
    SetUpProcessLocale();
    // No display name: the platform would append it to every caption, and a
    // small dialog's own title would then be cut. Message boxes take the
    // application name as their caption.
    QApplication::setApplicationName(QStringLiteral("tk358"));
    QApplication::setApplicationVersion(QStringLiteral(TK358_VERSION));
    // Docks and Wayland compositors match the window to its desktop entry
    // (icon, one dock item) by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(TK358_DESKTOP_ID));
    QApplication::setQuitOnLastWindowClosed(false);
    QTranslator qtTranslation;
    LoadQtTranslation(app, qtTranslation);

    SettingsKeeper keeper(SettingsPath());
    const AppSettings stored = keeper.Load();
    AppSettings initial = stored;
    std::unique_ptr<sim::PtySimulator> demo;
    if (start.line.demo) {
        std::string demoError;
        demo = sim::StartDemoPanel(start.line.demoKind, &demoError);
        if (demo == nullptr) {
            std::fprintf(stderr, "tk358: nie można uruchomić symulowanego panelu: %s\n",
                         demoError.c_str());
            return 1;
        }
        initial.portNr = demo->PortNumber();  // for this run only
    }
    // Declared after the simulated panel: closing the session still talks to it.
    PanelSession session;
    MainWindow window(session);
    const WiredParts parts = WireDialogs(window);
    ApplyAppSettings(window, parts, initial);
    const auto save = [&] {
        AppSettings current = stored;
        StoreAppSettings(window, parts, current);
        if (demo) {
            current.portNr = stored.portNr;
        }
        const QSize screen = PrimaryScreenSize();
        return keeper.Save(current, screen.width(), screen.height());
    };
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, save);
    // exit() rather than quit(): it also ends a message box shown during the
    // start, before the main loop runs.
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &app,
                     [] { QCoreApplication::exit(0); });

    if (!start.line.chartFiles.isEmpty()) {
        QTimer::singleShot(0, &window,
                           [&parts, &start] { parts.trend.OpenLogs(start.line.chartFiles); });
    }
    RunWindow(app, window, quitSignals);
    // The last chance: a change that cannot be kept is at least not lost unseen.
    if (!save()) {
        std::fprintf(stderr, "tk358: %s\n", keeper.SaveFailureText().c_str());
    }
    return 0;
}

// How each command runs. A command that needs a display gets one checked
// first (and makes its QApplication with StartGuiApplication); another
// command is another row.
struct CommandRunner {
    Command command;
    bool needsDisplay;
    int (*run)(const StartContext&);
};

constexpr std::array kRunners{
    CommandRunner{Command::kHelp, false, PrintHelp},
    CommandRunner{Command::kVersion, false, PrintVersion},
    CommandRunner{Command::kBackup, false, RunBackupCommandLine},
    CommandRunner{Command::kPlot, false, RunPlotCommandLine},
    CommandRunner{Command::kWindow, true, RunMainWindow},
};

}  // namespace

int RunApplication(int argc, char** argv) {
    const ProgramArguments arguments = SeparateQtOptions(argc, argv);
    QString error;
    const std::optional<CommandLine> line = ParseCommandLine(arguments.arguments, &error);
    if (!line) {
        std::fprintf(stderr, "tk358: %s\nOpis opcji: tk358 --help\n", qPrintable(error));
        return backup_exit::kUsage;
    }
    DisplaySetting display = DisplaySettingFromEnvironment();
    if (!arguments.platform.isEmpty()) {
        display.platform = arguments.platform.toStdString();
    }
    if (!arguments.display.isEmpty()) {
        display.display = arguments.display.toStdString();
    }
    for (const CommandRunner& runner : kRunners) {
        if (runner.command != line->command) {
            continue;
        }
        if (runner.needsDisplay) {
            const DisplayVerdict verdict = JudgeDisplay(display);
            if (verdict != DisplayVerdict::kUsable) {
                std::fprintf(stderr, "tk358: %s\n", NoDisplayText(display, verdict).c_str());
                return 1;
            }
        }
        return runner.run(StartContext{argc, argv, *line, display});
    }
    return 1;
}

}  // namespace tk358
