#include "daemon/daemon_app.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "daemon/command_router.h"
#include "daemon/daemon_command_line.h"
#include "daemon/daemon_help.h"
#include "daemon/daemon_log.h"
#include "daemon/daemon_loop.h"
#include "daemon/line_share.h"
#include "daemon/mqtt_client.h"
#include "daemon/setpoint_writer.h"
#include "link/panel_session.h"
#include "log/log_messages.h"
#include "log/measurement_log.h"
#include "panel/port_open_message.h"
#include "sim/pty_simulator.h"
#include "tk358_version.h"

namespace tk358 {

namespace {

using Clock = DaemonLoop::Clock;

// The signals that end the program. They are blocked in every thread (the
// mask is set before the first thread starts) and taken only by the main
// thread's sigtimedwait, so no handler ever runs.
sigset_t QuitSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

// Sleeps until `until`; true when a quit signal came.
bool WaitForQuit(const sigset_t& signals, Clock::time_point until, const DaemonLog& log) {
    for (;;) {
        const auto left = until - Clock::now();
        if (left <= Clock::duration::zero()) {
            return false;
        }
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec timeout{static_cast<time_t>(ns / 1000000000),
                               static_cast<long>(ns % 1000000000)};
        const int signo = ::sigtimedwait(&signals, nullptr, &timeout);
        if (signo > 0) {
            log.Info(std::string("sygnał ") + ::strsignal(signo) + ": kończę pracę");
            return true;
        }
        if (errno != EINTR && errno != EAGAIN) {
            return false;
        }
    }
}

std::unique_ptr<sim::PtySimulator> StartDemoPanel(int kind, const DaemonLog& log) {
    sim::PtySimulatorOptions options;
    options.panel = sim::DefaultConfig(kind);
    auto simulator = std::make_unique<sim::PtySimulator>(options);
    std::string error;
    if (!simulator->Start(&error)) {
        log.Error("nie można uruchomić symulowanego panelu: " + error);
        return nullptr;
    }
    log.Info("symulowany panel rodzaju " + std::to_string(kind) + " na COM" +
             std::to_string(simulator->PortNumber()));
    return simulator;
}

MqttClientSettings BrokerSettings(const DaemonOptions& o, const MqttTopics& topics) {
    MqttClientSettings s;
    s.host = o.broker->host;
    s.port = o.broker->port;
    s.tls = o.broker->tls;
    s.caFile = o.caFile;
    s.certFile = o.certFile;
    s.keyFile = o.keyFile;
    s.user = o.user.empty() ? o.broker->user : o.user;
    s.password = o.password.empty() ? o.broker->password : o.password;
    s.clientId = "tk358d-" + o.name;
    s.qos = o.qos;
    s.reconnectMaxSeconds = o.reconnectMax;
    s.willTopic = topics.Availability();
    s.willPayload = kOffline;
    s.subscriptions = {topics.Commands()};
    return s;
}

int AnswerCommandLine(const DaemonCommand& command) {
    switch (command.action) {
        case DaemonCommand::Action::kHelp:
            std::fputs(DaemonHelpText().c_str(), stdout);
            return kExitStopped;
        case DaemonCommand::Action::kVersion:
            std::puts("tk358d " TK358_VERSION);
            return kExitStopped;
        default:
            std::fprintf(stderr, "tk358d: %s\nOpis opcji: tk358d --help\n", command.error.c_str());
            return kExitUsage;
    }
}

// Everything that runs once the options are known; `signals` are blocked.
class Daemon {
public:
    Daemon(const DaemonOptions& options, const sigset_t& signals)
        : options_(options),
          signals_(signals),
          log_(options.name, STDERR_FILENO, DaemonLog::IsJournalStream(STDERR_FILENO)),
          topics_{options.topicPrefix + "/" + options.name} {}

    int Run();

private:
    bool OpenLog();
    bool StartBroker();
    bool StartShare();
    int Loop();
    void Finish();

    const DaemonOptions& options_;
    const sigset_t signals_;
    DaemonLog log_;
    const MqttTopics topics_;
    std::unique_ptr<sim::PtySimulator>
        demo_;  // before the session: closing it still talks to the panel
    PanelSession session_;
    std::optional<MeasurementLog> measurementLog_;
    std::unique_ptr<MqttClient> broker_;
    std::unique_ptr<SetpointWriter> writer_;
    std::unique_ptr<CommandRouter> router_;
    std::unique_ptr<LineShare> share_;
    std::string portLabel_;
};

int Daemon::Run() {
    int port = options_.portNumber;
    portLabel_ = "COM" + std::to_string(port);
    if (options_.demoKind) {
        demo_ = StartDemoPanel(*options_.demoKind, log_);
        if (!demo_) {
            return kExitFailure;
        }
        port = demo_->PortNumber();
        portLabel_ = "demo";
    }
    if (!OpenLog()) {
        return kExitFailure;
    }
    if (!session_.Open(port)) {
        log_.Error(PortOpenFailureText(port, session_.LastOpenError()) + " (" +
                   std::strerror(session_.LastOpenError()) + ")");
        session_.Close();
        return kExitPortFailed;
    }
    log_.Info("port COM" + std::to_string(port) + " otwarty");
    const int code = StartShare() && StartBroker() ? Loop() : kExitFailure;
    Finish();
    return code;
}

bool Daemon::OpenLog() {
    if (options_.logPath.empty()) {
        return true;
    }
    measurementLog_.emplace();
    const LogOpenResult opened = measurementLog_->Open(options_.logPath);
    if (!opened.ok()) {
        log_.Error(LogOpenFailureText(opened.error) + " " + options_.logPath + " (" +
                   std::strerror(opened.error) + ")");
        return false;
    }
    log_.Info("rejestracja do pliku " + options_.logPath + " co " +
              std::to_string(options_.interval) + " s");
    return true;
}

bool Daemon::StartBroker() {
    if (!options_.broker) {
        return true;
    }
    broker_ = std::make_unique<MqttClient>(
        BrokerSettings(options_, topics_), log_,
        [this](const std::string& topic, const std::string& payload, bool retained) {
            router_->OnMessage(topic, payload, retained);
        });
    writer_ = std::make_unique<SetpointWriter>(
        session_, log_, [this](const SetpointRequest& request, const std::string& error) {
            broker_->Publish(topics_.Result(request.command), BuildResultPayload(request, error));
        });
    router_ = std::make_unique<CommandRouter>(
        topics_, options_.allowSetpointWrites, log_,
        [this](const SetpointRequest& request) { return writer_->Submit(request); },
        [this](const std::string& topic, const std::string& payload) {
            broker_->Publish(topic, payload);
        });
    std::string error;
    if (!broker_->Start(&error)) {
        log_.Error(error);
        return false;
    }
    return true;
}

bool Daemon::StartShare() {
    if (options_.sharePath.empty()) {
        return true;
    }
    share_ = std::make_unique<LineShare>(
        session_, log_,
        LineShareSettings{options_.sharePath, options_.shareGroup, options_.shareReadOnly});
    std::string error;
    if (!share_->Start(&error)) {
        log_.Error(error);
        return false;
    }
    return true;
}

int Daemon::Loop() {
    DaemonLoop loop(session_, options_, log_, measurementLog_ ? &*measurementLog_ : nullptr,
                    broker_.get(), portLabel_);
    return loop.Run([this](Clock::time_point until) { return WaitForQuit(signals_, until, log_); });
}

// The panel first: a write in progress ends, then monitoring mode goes off.
// The broker last, so it hears the goodbye after everything else.
void Daemon::Finish() {
    if (share_) {
        share_->Stop();
    }
    if (writer_) {
        writer_->Stop();
    }
    session_.Close();
    if (measurementLog_) {
        measurementLog_->Close();
    }
    if (broker_) {
        broker_->Stop(topics_.Availability(), kOffline);
    }
    log_.Info("koniec pracy");
}

}  // namespace

int RunDaemon(int argc, char** argv) {
    const sigset_t signals = QuitSignals();
    ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    ::signal(SIGPIPE, SIG_IGN);  // a broken broker connection is an error, not an end

    const DaemonCommand command =
        ParseDaemonCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (command.action != DaemonCommand::Action::kRun) {
        return AnswerCommandLine(command);
    }
    // Dates in the log follow the user's regional settings; numbers keep a point.
    std::setlocale(LC_TIME, "");
    std::setlocale(LC_NUMERIC, "C");
    Daemon daemon(command.options, signals);
    return daemon.Run();
}

}  // namespace tk358
