// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The measurement log while the program runs: the start-up open six seconds
// after start, the "Rejestracja do pliku" command, one line per interval from
// the main window's latest readings, and the logging note of the status line.
// The logging options (section LOG) and the choice of columns are its part of
// the settings; the file, the interval timer and the comment text live here
// too. Everything runs on the window's thread; message boxes go through the
// window's MessageSink.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "log/measurement_log.h"
#include "present/log_setup.h"
#include "present/status_text.h"
#include "settings/app_settings.h"

class QWidget;

namespace tk358 {

class MainWindow;
class MessageSink;

// Runs the setup dialog on a copy of the options: the edited options after
// OK, nothing after Cancel. The dialog's own messages go to `messages`.
using LogSetupRunner = std::function<std::optional<LogSetup>(
    QWidget* parent, const LogSetup& current, MessageSink& messages)>;

class LogController : public QObject {
    Q_OBJECT

public:
    // A child of `window`, so the file is closed when the window is
    // destroyed. Greys "Rejestracja do pliku" until the start-up open has
    // run, so that the two never open a file at the same time. `log` is
    // replaced by tests (failing file operations).
    LogController(MainWindow& window, LogSetupRunner runner,
                  std::unique_ptr<MeasurementLog> log = nullptr);
    ~LogController() override;

    // Its part of the settings: the logging options and which displays are
    // columns of the log. ApplySettings before the start-up open;
    // StoreSettings leaves the rest of `settings` alone.
    void ApplySettings(const AppSettings& settings);
    void StoreSettings(AppSettings& settings) const;
    const LogSettings& Options() const { return options_; }

    // Opens the stored file for appending when logging is on (no question
    // asked) and starts the interval; a file that cannot be opened is
    // reported and the setup dialog offered. Enables the menu command.
    void StartUpOpen(QWidget* parent);

    // "Rejestracja do pliku": the dialog, then its options applied. A file
    // that cannot be opened is reported and the dialog offered again.
    void RunSetup(QWidget* parent);

    // One line now, as each interval writes it.
    void WriteLine();

    // The logging note is shown while the interval runs and lines reach the
    // file.
    LoggingState State() const;

private:
    LogSetup CurrentSetup() const;
    void TakeSetup(const LogSetup& setup);
    // False when the chosen file could not be opened.
    bool ApplySetup(QWidget* parent, const LogSettings& before);
    bool OpenFromDialog(QWidget* parent);
    void StartInterval();
    void StopInterval();
    void ReportWrite(const LogWriteOutcome& outcome);
    LogLineOptions LineOptions() const;

    MainWindow& window_;
    LogSetupRunner runner_;
    LogSettings options_;
    std::array<bool, 3> columns_{true, true, true};  // by display row
    std::unique_ptr<MeasurementLog> log_;
    QTimer intervalTimer_;          // a child named "logInterval"
    std::string comment_;           // kept for the run only
    QPointer<QObject> failureBox_;  // a write failure's message, while it is up
};

}  // namespace tk358
