// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/log_controller.h"

#include <QAction>
#include <utility>

#include "dialogs/message_box.h"
#include "log/log_interval.h"
#include "log/log_messages.h"
#include "monitor/main_window.h"
#include "monitor/window_menu.h"
#include "panel/log_readings.h"
#include "present/display_rows.h"

namespace tk358 {

namespace {

constexpr int kMsPerSecond = 1000;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

LogController::LogController(MainWindow& window, LogSetupRunner runner,
                             std::unique_ptr<MeasurementLog> log)
    : QObject(&window),
      window_(window),
      runner_(std::move(runner)),
      log_(log ? std::move(log) : std::make_unique<MeasurementLog>()) {
    intervalTimer_.setParent(this);
    intervalTimer_.setObjectName(QStringLiteral("logInterval"));
    // A long interval must not drift by the few percent a coarse timer allows.
    intervalTimer_.setTimerType(Qt::PreciseTimer);
    connect(&intervalTimer_, &QTimer::timeout, this, &LogController::WriteLine);
    window.Menu().Action(MenuCommand::kLogSetup)->setEnabled(false);
}

LogController::~LogController() {
    intervalTimer_.stop();
    log_->Close();
}

void LogController::ApplySettings(const AppSettings& settings) {
    options_ = settings.log;
    for (std::size_t row = 0; row < columns_.size(); ++row) {
        columns_[row] = settings.displays[row].log;
    }
}

void LogController::StoreSettings(AppSettings& settings) const {
    settings.log = options_;
    for (std::size_t row = 0; row < columns_.size(); ++row) {
        settings.displays[row].log = columns_[row];
    }
}

void LogController::StartUpOpen(QWidget* parent) {
    window_.Menu().Action(MenuCommand::kLogSetup)->setEnabled(true);
    if (options_.fileName.empty() || !options_.fileLog || log_->IsOpen()) {
        return;
    }
    const LogOpenResult opened = log_->Open(options_.fileName);
    if (!opened.ok()) {
        window_.Messages().Show(parent, MessageIcon::Warning,
                                Text(LogOpenFailureText(opened.error)));
        RunSetup(parent);
        return;
    }
    StartInterval();
}

void LogController::RunSetup(QWidget* parent) {
    if (!runner_) {
        return;
    }
    // Asked again after each file that cannot be opened, until one opens or
    // the operator cancels.
    for (;;) {
        const std::optional<LogSetup> result = runner_(parent, CurrentSetup(), window_.Messages());
        if (!result) {
            if (!log_->IsOpen()) {
                options_.fileLog = false;
            }
            return;
        }
        const LogSettings before = options_;
        TakeSetup(*result);
        window_.update();
        if (ApplySetup(parent, before)) {
            return;
        }
    }
}

bool LogController::ApplySetup(QWidget* parent, const LogSettings& before) {
    if (!options_.fileLog) {
        StopInterval();
        log_->Close();
        return true;
    }
    if (!log_->IsOpen() || options_.fileName != before.fileName || !before.fileLog) {
        if (!OpenFromDialog(parent)) {
            return false;
        }
    }
    StartInterval();
    return true;
}

bool LogController::OpenFromDialog(QWidget* parent) {
    // No line may reach the new file before the operator has said whether
    // its contents stay.
    StopInterval();
    log_->Close();
    const LogOpenResult opened = log_->Open(options_.fileName);
    if (!opened.ok()) {
        window_.Messages().Show(parent, MessageIcon::Warning,
                                Text(LogOpenFailureText(opened.error)));
        return false;
    }
    const bool keep =
        opened.existed && window_.Messages().Ask(parent, QString::fromUtf8(kLogFileExistsQuestion));
    ReportWrite(log_->BeginFromDialog(opened.existed, keep, options_.checkComment, comment_));
    return true;
}

void LogController::StartInterval() {
    StopInterval();
    // The timer runs before the first line is written, so nothing that
    // line's writing shows can hold the interval up.
    intervalTimer_.start(ClampLogInterval(options_.interval) * kMsPerSecond);
    WriteLine();
}

void LogController::StopInterval() {
    intervalTimer_.stop();
    window_.RefreshSoon();  // the logging note follows on the next tick
}

void LogController::WriteLine() {
    // A panel that the program does not serve is being closed; nothing of
    // it is recorded.
    if (window_.Stopped() || !log_->IsOpen()) {
        return;
    }
    ReportWrite(
        log_->WriteLine(LineOptions(), LogReadingsOf(window_.Readings(), window_.TwoSetpoints())));
}

void LogController::ReportWrite(const LogWriteOutcome& outcome) {
    // One message when writing starts to fail, not one per interval; the
    // status line's logging note tells the rest. The box does not wait for
    // the operator: the interval goes on writing (or retrying) meanwhile, and
    // a failure that comes back while it is still up adds no second box.
    if (outcome.change != LogWriteHealth::Change::kNone) {
        window_.RefreshSoon();
    }
    if (outcome.change != LogWriteHealth::Change::kFailed || failureBox_) {
        return;
    }
    failureBox_ = window_.Messages().Notify(&window_, MessageIcon::Warning,
                                            Text(LogWriteFailureText(outcome.error)));
}

LoggingState LogController::State() const {
    LoggingState state;
    state.active = intervalTimer_.isActive() && log_->IsOpen() && !log_->WriteFailing();
    if (state.active) {
        state.intervalSeconds = intervalTimer_.interval() / kMsPerSecond;
    }
    return state;
}

LogLineOptions LogController::LineOptions() const {
    LogLineOptions line;
    line.separatorCode = options_.sepFormat;
    line.decimalCode = options_.decSeparator;
    line.dateCode = options_.dateFormat;
    line.temperature = columns_[kTemperatureRow];
    line.setpoint = columns_[kSetpointRow];
    line.secondSetpoint = columns_[kSecondSetpointRow];
    return line;
}

LogSetup LogController::CurrentSetup() const {
    const PanelIdentity& identity = window_.Readings().identity;
    LogSetup setup;
    setup.secondSetpointAvailable =
        identity.identified != 0 && identity.deviceType == kThresholdRegulator;
    setup.commentOn = options_.checkComment;
    setup.commentText = comment_;
    setup.temperatureColumn = columns_[kTemperatureRow];
    setup.setpointColumn = columns_[kSetpointRow];
    setup.secondSetpointColumn = columns_[kSecondSetpointRow];
    setup.separatorCode = options_.sepFormat;
    setup.decimalCode = options_.decSeparator;
    // The interval in use, so that what the dialog shows is what is kept.
    setup.interval = ClampLogInterval(options_.interval);
    setup.filePath = options_.fileName;
    setup.loggingOn = options_.fileLog;
    return setup;
}

void LogController::TakeSetup(const LogSetup& setup) {
    options_.checkComment = setup.commentOn;
    comment_ = setup.commentText;
    columns_[kTemperatureRow] = setup.temperatureColumn;
    columns_[kSetpointRow] = setup.setpointColumn;
    columns_[kSecondSetpointRow] = setup.secondSetpointColumn;
    options_.sepFormat = setup.separatorCode;
    options_.decSeparator = setup.decimalCode;
    options_.interval = setup.interval;
    options_.fileName = setup.filePath;
    options_.fileLog = setup.loggingOn;
}

}  // namespace tk358
