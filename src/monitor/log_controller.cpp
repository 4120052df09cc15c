#include "monitor/log_controller.h"

#include <QAction>
#include <utility>

#include "dialogs/message_box.h"
#include "log/log_interval.h"
#include "log/log_messages.h"
#include "monitor/log_readings.h"
#include "monitor/main_window.h"
#include "monitor/window_menu.h"
#include "widgets/display_rows.h"

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
    // A long interval must not drift by the few percent a coarse timer allows.
    intervalTimer_.setTimerType(Qt::PreciseTimer);
    connect(&intervalTimer_, &QTimer::timeout, this, &LogController::WriteLine);

    WindowHooks& hooks = window.Hooks();
    hooks.logStart = [this](QWidget* parent) { StartUpOpen(parent); };
    hooks.logSetup = [this](QWidget* parent) { RunSetup(parent); };
    hooks.loggingState = [this] { return State(); };
    window.Menu().Action(MenuCommand::kLogSetup)->setEnabled(false);
}

LogController::~LogController() {
    intervalTimer_.stop();
    log_->Close();
}

void LogController::StartUpOpen(QWidget* parent) {
    const LogSettings& options = window_.LogOptions();
    window_.Menu().Action(MenuCommand::kLogSetup)->setEnabled(true);
    if (options.fileName.empty() || !options.fileLog || log_->IsOpen()) {
        return;
    }
    const LogOpenResult opened = log_->Open(options.fileName);
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
                window_.LogOptions().fileLog = false;
            }
            return;
        }
        const LogSettings before = window_.LogOptions();
        TakeSetup(*result);
        window_.update();
        if (ApplySetup(parent, before)) {
            return;
        }
    }
}

bool LogController::ApplySetup(QWidget* parent, const LogSettings& before) {
    const LogSettings& now = window_.LogOptions();
    if (!now.fileLog) {
        StopInterval();
        log_->Close();
        return true;
    }
    if (!log_->IsOpen() || now.fileName != before.fileName || !before.fileLog) {
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
    const LogSettings& options = window_.LogOptions();
    const LogOpenResult opened = log_->Open(options.fileName);
    if (!opened.ok()) {
        window_.Messages().Show(parent, MessageIcon::Warning,
                                Text(LogOpenFailureText(opened.error)));
        return false;
    }
    const bool keep =
        opened.existed && window_.Messages().Ask(parent, QString::fromUtf8(kLogFileExistsQuestion));
    ReportWrite(log_->BeginFromDialog(opened.existed, keep, options.checkComment, comment_));
    return true;
}

void LogController::StartInterval() {
    // The timer runs before the first line is written, so nothing that
    // line's writing shows can hold the interval up.
    intervalTimer_.start(ClampLogInterval(window_.LogOptions().interval) * kMsPerSecond);
    WriteLine();
}

void LogController::StopInterval() {
    intervalTimer_.stop();
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
    const LogSettings& options = window_.LogOptions();
    LogLineOptions line;
    line.separatorCode = options.sepFormat;
    line.decimalCode = options.decSeparator;
    line.temperature = window_.LogsQuantity(kTemperatureRow);
    line.setpoint = window_.LogsQuantity(kSetpointRow);
    line.secondSetpoint = window_.LogsQuantity(kSecondSetpointRow);
    return line;
}

LogSetup LogController::CurrentSetup() const {
    const LogSettings& options = window_.LogOptions();
    const PanelIdentity& identity = window_.Readings().identity;
    LogSetup setup;
    setup.secondSetpointAvailable =
        identity.identified != 0 && identity.deviceType == kThresholdRegulator;
    setup.commentOn = options.checkComment;
    setup.commentText = comment_;
    setup.temperatureColumn = window_.LogsQuantity(kTemperatureRow);
    setup.setpointColumn = window_.LogsQuantity(kSetpointRow);
    setup.secondSetpointColumn = window_.LogsQuantity(kSecondSetpointRow);
    setup.separatorCode = options.sepFormat;
    setup.decimalCode = options.decSeparator;
    // The interval in use, so that what the dialog shows is what is kept.
    setup.interval = ClampLogInterval(options.interval);
    setup.filePath = options.fileName;
    setup.loggingOn = options.fileLog;
    return setup;
}

void LogController::TakeSetup(const LogSetup& setup) {
    LogSettings& options = window_.LogOptions();
    options.checkComment = setup.commentOn;
    comment_ = setup.commentText;
    window_.SetLogsQuantity(kTemperatureRow, setup.temperatureColumn);
    window_.SetLogsQuantity(kSetpointRow, setup.setpointColumn);
    window_.SetLogsQuantity(kSecondSetpointRow, setup.secondSetpointColumn);
    options.sepFormat = setup.separatorCode;
    options.decSeparator = setup.decimalCode;
    options.interval = setup.interval;
    options.fileName = setup.filePath;
    options.fileLog = setup.loggingOn;
}

}  // namespace tk358
