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
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "app/command_line.h"
#include "app/dialog_wiring.h"
#include "app/process_locale.h"
#include "app/quit_signals.h"
#include "app/settings_keeper.h"
#include "link/panel_session.h"
#include "monitor/main_window.h"
#include "monitor/trend_controller.h"
#include "sim/pty_simulator.h"
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

// The simulated panel of the demo mode, registered as a COM port of its own.
std::unique_ptr<sim::PtySimulator> StartDemoPanel(int kind) {
    sim::PtySimulatorOptions options;
    options.panel = sim::DefaultConfig(kind);
    auto simulator = std::make_unique<sim::PtySimulator>(options);
    std::string error;
    if (!simulator->Start(&error)) {
        std::fprintf(stderr, "tk358: nie można uruchomić symulowanego panelu: %s\n", error.c_str());
        return nullptr;
    }
    return simulator;
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
    window.show();
    QApplication::exec();
}

// --help and --version print their text and end the process. They are
// answered before the GUI application exists, so they work without a display.
void AnswerInformationOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help" || arg == "-?" || arg == "-v" || arg == "--version") {
            QCoreApplication probe(argc, argv);
            QString ignored;
            ParseCommandLine(QCoreApplication::arguments(), &ignored);
            return;
        }
    }
}

// --backup, --compare and --restore run on the link alone: no window, no
// display, nothing of the settings file.
std::optional<int> RunBackupCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    if (!IsBackupCommand(arguments)) {
        return std::nullopt;
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tk358"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TK358_VERSION));
    QString error;
    const std::optional<CommandLine> line = ParseCommandLine(QCoreApplication::arguments(), &error);
    if (!line) {
        std::fprintf(stderr, "tk358: %s\n", qPrintable(error));
        return backup_exit::kUsage;
    }
    BackupConsole console;
    console.terminal = isatty(fileno(stdin)) != 0;
    console.version = TK358_VERSION;
    PanelSession session;
    return RunBackupCommand(*line->backup, session, console);
}

// --plot draws on Qt's offscreen platform: no display is needed, and none is
// used even when there is one.
std::optional<int> RunPlotCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    if (!IsPlotCommand(arguments)) {
        return std::nullopt;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetUpProcessLocale();
    QString error;
    const std::optional<CommandLine> line = ParseCommandLine(QApplication::arguments(), &error);
    if (!line || !line->plot) {
        std::fprintf(stderr, "tk358: %s\nOpis opcji: tk358 --help\n", qPrintable(error));
        return plot_exit::kUsage;
    }
    return RunPlotCommand(*line->plot);
}

}  // namespace

int RunApplication(int argc, char** argv) {
    AnswerInformationOptions(argc, argv);
    if (const std::optional<int> status = RunBackupCommandLine(argc, argv)) {
        return *status;
    }
    if (const std::optional<int> status = RunPlotCommandLine(argc, argv)) {
        return *status;
    }
    QApplication app(argc, argv);
    QuitSignals quitSignals;
    SetUpProcessLocale();
    // No display name: the platform would append it to every caption, and a
    // small dialog's own title would then be cut. Message boxes take the
    // application name as their caption.
    QApplication::setApplicationName(QStringLiteral("tk358"));
    QApplication::setApplicationVersion(QStringLiteral(TK358_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);
    QTranslator qtTranslation;
    LoadQtTranslation(app, qtTranslation);

    QString error;
    const std::optional<CommandLine> line = ParseCommandLine(QApplication::arguments(), &error);
    if (!line) {
        std::fprintf(stderr, "tk358: %s\nOpis opcji: tk358 --help\n", qPrintable(error));
        return 2;
    }

    SettingsKeeper keeper(SettingsPath());
    const AppSettings stored = keeper.Load();
    AppSettings initial = stored;
    std::unique_ptr<sim::PtySimulator> demo;
    if (line->demo) {
        demo = StartDemoPanel(line->demoKind);
        if (!demo) {
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

    if (!line->chartFiles.isEmpty()) {
        QTimer::singleShot(0, &window, [&parts, &line] { parts.trend.OpenLogs(line->chartFiles); });
    }
    RunWindow(app, window, quitSignals);
    // The last chance: a change that cannot be kept is at least not lost unseen.
    if (!save()) {
        std::fprintf(stderr, "tk358: %s\n", keeper.SaveFailureText().c_str());
    }
    return 0;
}

}  // namespace tk358
