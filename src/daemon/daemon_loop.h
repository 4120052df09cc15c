// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The readings loop of tk358d, on the main thread: once a second it copies
// the panel's records as the main window does, publishes the state and keeps
// the retained info (and discovery) messages current; at the log interval it
// appends a line to the measurement log, from the same copy. Nothing here
// waits for the network or the serial line.

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "daemon/daemon_log.h"
#include "daemon/daemon_options.h"
#include "daemon/discovery_publisher.h"
#include "daemon/health_reporter.h"
#include "daemon/mqtt_client.h"
#include "daemon/mqtt_topics.h"
#include "daemon/panel_clock_keeper.h"
#include "daemon/rotating_log.h"
#include "daemon/service_notifier.h"
#include "link/panel_access.h"
#include "panel/readings_snapshot.h"

namespace tk358 {

// tk358d's exit codes.
enum DaemonExit : int {
    kExitStopped = 0,      // ended by SIGTERM or SIGINT (or --help, --version)
    kExitFailure = 1,      // the broker settings or the demo panel failed
    kExitUsage = 2,        // wrong command line or configuration file, or topics in use
    kExitPortFailed = 3,   // the serial port cannot be opened
    kExitUnsupported = 4,  // the panel is not a basic panel version
};

class DaemonLoop {
public:
    using Clock = std::chrono::steady_clock;
    // Why a wait ended: its time came, the program is to end, or the options
    // were reloaded (the log settings may have changed).
    enum class Wake { kTime, kQuit, kReload };
    // Sleeps until the time given or until a signal.
    using Wait = std::function<Wake(Clock::time_point)>;

    // `measurementLog` and `broker` may be null (not in use). `portLabel` is
    // "COM3" or "demo".
    DaemonLoop(PanelAccess& panel, const DaemonOptions& options, const DaemonLog& log,
               RotatingLog* measurementLog, MqttClient* broker, std::string portLabel);

    // Tells the systemd watchdog the loop is alive at `notifier`'s period,
    // as long as `panelActivity` (when the panel side last did something)
    // stays within kPanelStall. A broker that is away does not count: a
    // broker client whose thread ended stops the loop itself.
    void WatchOver(const ServiceNotifier* notifier,
                   std::function<Clock::time_point()> panelActivity);

    // Runs until `wait` says to end or the panel turns out to be unsupported;
    // returns the exit code.
    int Run(const Wait& wait);

    // The first log line comes as long after the start as the main window's.
    static constexpr std::chrono::seconds kFirstLogLine{6};
    static constexpr std::chrono::seconds kStatePeriod{1};
    // A state message not delivered within a few periods is dropped: a
    // subscriber coming back gets no backlog of stale readings.
    static constexpr int kStateExpiry = 5;  // seconds
    // A broker or a panel not reached within this time is reported once.
    static constexpr std::chrono::seconds kBrokerPatience{10};
    // A panel side this long without a poll cycle or an exchange attempt
    // counts as hung (an attempt lasts 1.5 s, a cycle 1 s).
    static constexpr std::chrono::seconds kPanelStall{60};

private:
    void Publish(const ReadingsSnapshot& snapshot);
    void WriteLogLine(const ReadingsSnapshot& snapshot);
    void ReportLink(const ReadingsSnapshot& snapshot, bool firstContactDue);
    void WatchBroker(Clock::time_point now);
    int BrokerExitCode() const;
    Clock::time_point NextWake() const;
    void TakeLogOptions(Clock::time_point now);
    void KeepAlive(Clock::time_point now);
    bool LogEnabled() const { return measurementLog_ != nullptr && measurementLog_->Enabled(); }
    HealthFacts Health() const;

    PanelAccess& panel_;
    const DaemonOptions& options_;
    const DaemonLog& log_;
    RotatingLog* measurementLog_;
    MqttClient* broker_;
    const std::string portLabel_;
    const MqttTopics topics_;
    std::unique_ptr<DiscoveryPublisher> discovery_;  // with a broker and --ha-discovery
    LogLineOptions lineOptions_;
    PanelClockKeeper clock_;

    bool linkReported_ = false;  // a link state has been reported
    bool lastConnected_ = false;
    Clock::time_point brokerLostSince_;
    bool brokerWarned_ = false;

    Clock::time_point nextState_;
    Clock::time_point nextLog_;
    Clock::duration interval_;

    const ServiceNotifier* notifier_ = nullptr;
    std::function<Clock::time_point()> panelActivity_;
    Clock::time_point nextAlive_;
    bool panelStallReported_ = false;

    HealthReporter health_;
};

}  // namespace tk358
