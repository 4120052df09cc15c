// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/daemon_app.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
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
#include "daemon/rotating_log.h"
#include "daemon/service_notifier.h"
#include "daemon/setpoint_writer.h"
#include "link/panel_session.h"
#include "log/locale_format.h"
#include "log/log_messages.h"
#include "log/log_name_pattern.h"
#include "log/measurement_log.h"
#include "panel/port_open_message.h"
#include "sim/pty_simulator.h"
#include "tk358_version.h"

namespace tk358 {

namespace {

using Clock = DaemonLoop::Clock;

// The signals that end the program (SIGTERM, SIGINT) or reload it (SIGHUP).
// They are blocked in every thread (the mask is set before the first thread
// starts) and taken only by the main thread's sigtimedwait, so no handler
// ever runs.
sigset_t HandledSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

// Sleeps until `until`; the signal that came, or 0.
int WaitForSignal(const sigset_t& signals, Clock::time_point until) {
    for (;;) {
        const auto left = until - Clock::now();
        if (left <= Clock::duration::zero()) {
            return 0;
        }
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec timeout{static_cast<time_t>(ns / 1000000000),
                               static_cast<long>(ns % 1000000000)};
        const int signo = ::sigtimedwait(&signals, nullptr, &timeout);
        if (signo > 0) {
            return signo;
        }
        if (errno != EINTR && errno != EAGAIN) {
            return 0;
        }
    }
}

// The demo panel, its start or its failure in the log.
std::unique_ptr<sim::PtySimulator> StartLoggedDemoPanel(int kind, const DaemonLog& log) {
    std::string error;
    auto simulator = sim::StartDemoPanel(kind, &error);
    if (simulator == nullptr) {
        log.Error("nie można uruchomić symulowanego panelu: " + error);
        return nullptr;
    }
    log.Info("symulowany panel rodzaju " + std::to_string(kind) + " na COM" +
             std::to_string(simulator->PortNumber()));
    return simulator;
}

// One client per host, topic prefix and name: two processes that publish on
// different topics never take each other's connection at the broker.
std::string BrokerClientId(const DaemonOptions& o) {
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0 || host[0] == '\0') {
        std::snprintf(host, sizeof host, "localhost");
    }
    return std::string("tk358d:") + host + ":" + o.topicPrefix + "/" + o.name;
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
    s.clientId = BrokerClientId(o);
    s.qos = o.qos;
    s.reconnectMaxSeconds = o.reconnectMax;
    s.willTopic = topics.Availability();
    s.willPayload = kOffline;
    s.onlinePayload = kOnline;
    s.subscriptions = {{topics.Commands(), true}};
    if (o.haDiscovery) {
        s.birthTopic = o.discoveryPrefix + "/status";
    }
    s.topicClass = [topics, prefix = o.discoveryPrefix](const std::string& topic) {
        return TopicClass(topics, prefix, topic);
    };
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
    // `args`: the command line, read again on a reload.
    Daemon(const DaemonOptions& options, std::vector<std::string> args, const sigset_t& signals)
        : options_(options),
          args_(std::move(args)),
          signals_(signals),
          log_(options.name, STDERR_FILENO, DaemonLog::IsJournalStream(STDERR_FILENO)),
          measurementLog_(log_),
          topics_{options.topicPrefix + "/" + options.name} {}

    int Run();

private:
    void OpenLog();
    void ConfigureLog();
    bool StartBroker();
    bool StartShare();
    int Loop();
    DaemonLoop::Wake Wait(Clock::time_point until);
    void Reload();
    void ReadOptionsAgain();
    void Finish();

    // Changed only by a reload, and then only in its log settings.
    DaemonOptions options_;
    const std::vector<std::string> args_;
    const sigset_t signals_;
    DaemonLog log_;
    ServiceNotifier notifier_;
    RotatingLog measurementLog_;
    const MqttTopics topics_;
    std::unique_ptr<sim::PtySimulator>
        demo_;  // before the session: closing it still talks to the panel
    PanelSession session_;
    std::unique_ptr<MqttClient> broker_;
    std::unique_ptr<SetpointWriter> writer_;
    std::unique_ptr<CommandRouter> router_;
    std::unique_ptr<LineShare> share_;
    std::string portLabel_;
};

int Daemon::Run() {
    for (const std::string& warning : options_.warnings) {
        log_.Warning(warning);
    }
    int port = options_.portNumber;
    portLabel_ = "COM" + std::to_string(port);
    if (options_.demoKind) {
        demo_ = StartLoggedDemoPanel(*options_.demoKind, log_);
        if (!demo_) {
            return kExitFailure;
        }
        port = demo_->PortNumber();
        portLabel_ = "demo";
    }
    OpenLog();
    if (!session_.Open(port)) {
        log_.Error(PortOpenFailureText(port, session_.LastOpenError()) + " (" +
                   std::strerror(session_.LastOpenError()) + ")");
        session_.Close();
        return kExitPortFailed;
    }
    log_.Info("port COM" + std::to_string(port) + " otwarty");
    int code = StartShare() && StartBroker() ? Loop() : kExitFailure;
    if (broker_ && broker_->Failed() == MqttClient::Failure::kSharedIdentity) {
        code = kExitUsage;
    }
    Finish();
    return code;
}

// A log that cannot be opened now is reported once and tried again with
// every line; the panel is published meanwhile.
void Daemon::OpenLog() {
    ConfigureLog();
    if (!measurementLog_.Enabled()) {
        return;
    }
    const std::string every = " co " + std::to_string(options_.interval) + " s";
    if (measurementLog_.Open()) {
        log_.Info("rejestracja do pliku " + measurementLog_.Path() + every);
    } else {
        log_.Warning("rejestracja do pliku " + options_.logPath + every +
                     " wstrzymana: kolejne próby z każdym wierszem, publikowanie trwa");
    }
}

void Daemon::ConfigureLog() {
    std::string error;  // the options were checked when read
    measurementLog_.Configure(
        options_.logPath.empty() ? std::nullopt : LogNamePattern::Parse(options_.logPath, &error),
        options_.keepDays);
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
        },
        [this](const std::string& topic) { broker_->ClearRetained(topic); });
    std::string error;
    if (!broker_->Start(&error)) {
        if (!error.empty()) {  // else reported already
            log_.Error(error);
        }
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
    DaemonLoop loop(session_, options_, log_, &measurementLog_, broker_.get(), portLabel_);
    loop.WatchOver(&notifier_, [this] { return session_.LastActivity(); });
    notifier_.Ready("panel na " + portLabel_);
    return loop.Run([this](Clock::time_point until) { return Wait(until); });
}

DaemonLoop::Wake Daemon::Wait(Clock::time_point until) {
    const int signo = WaitForSignal(signals_, until);
    if (signo == 0) {
        return DaemonLoop::Wake::kTime;
    }
    if (signo == SIGHUP) {
        Reload();
        return DaemonLoop::Wake::kReload;
    }
    log_.Info(std::string("sygnał ") + ::strsignal(signo) + ": kończę pracę");
    return DaemonLoop::Wake::kQuit;
}

// SIGHUP: the log file is opened anew (an outside logrotate moved it away)
// and the configuration read again; only its log settings take effect.
void Daemon::Reload() {
    notifier_.Reloading();
    log_.Info("sygnał SIGHUP: ponowne wczytanie konfiguracji i otwarcie pliku rejestracji");
    ReadOptionsAgain();
    ConfigureLog();
    if (measurementLog_.Enabled()) {
        measurementLog_.Open();  // a failure is reported and tried again with the next line
    }
    notifier_.Ready("panel na " + portLabel_);
}

void Daemon::ReadOptionsAgain() {
    const DaemonCommand command = ParseDaemonCommandLine(args_);
    if (command.action != DaemonCommand::Action::kRun) {
        log_.Error("konfiguracja nie została wczytana ponownie (" + command.error +
                   "); obowiązują dotychczasowe ustawienia");
        return;
    }
    DaemonOptions fresh = command.options;
    CopyLogSettings(fresh, options_);
    CopyLogSettings(options_, fresh);
    if (!(fresh == options_)) {
        log_.Warning(
            "zmiany ustawień innych niż plik rejestracji obowiązują dopiero po ponownym "
            "uruchomieniu tk358d");
    }
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
    notifier_.Stopping();
    session_.Close();
    measurementLog_.Close();
    if (broker_) {
        broker_->Stop(topics_.Availability(), kOffline);
    }
    log_.Info("koniec pracy");
}

}  // namespace

int RunDaemon(int argc, char** argv) {
    const sigset_t signals = HandledSignals();
    ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    ::signal(SIGPIPE, SIG_IGN);  // a broken broker connection is an error, not an end

    std::vector<std::string> args(argv + 1, argv + argc);
    const DaemonCommand command = ParseDaemonCommandLine(args);
    if (command.action != DaemonCommand::Action::kRun) {
        return AnswerCommandLine(command);
    }
    SetUpProcessLocale();
    Daemon daemon(command.options, std::move(args), signals);
    return daemon.Run();
}

}  // namespace tk358
