// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/daemon_loop.h"

#include <algorithm>
#include <ctime>

#include "daemon/info_payload.h"
#include "daemon/panel_memory.h"
#include "daemon/state_payload.h"
#include "panel/log_readings.h"
#include "panel/panel_model.h"
#include "panel/value_displays.h"

namespace tk358 {

namespace {

// The next deadline after `now` on the grid of `period`, skipping the ones
// missed while the machine slept.
DaemonLoop::Clock::time_point NextAfter(DaemonLoop::Clock::time_point deadline,
                                        DaemonLoop::Clock::duration period,
                                        DaemonLoop::Clock::time_point now) {
    deadline += period;
    if (deadline <= now) {
        deadline += ((now - deadline) / period + 1) * period;
    }
    return deadline;
}

}  // namespace

DaemonLoop::DaemonLoop(PanelAccess& panel, const DaemonOptions& options, const DaemonLog& log,
                       RotatingLog* measurementLog, MqttClient* broker, std::string portLabel)
    : panel_(panel),
      options_(options),
      log_(log),
      measurementLog_(measurementLog),
      broker_(broker),
      portLabel_(std::move(portLabel)),
      topics_{options.topicPrefix + "/" + options.name},
      clock_(panel, log, options.syncClock),
      health_(
          Clock::now(),
          [this](const std::string& payload) {
              if (broker_ != nullptr) {
                  broker_->SetRetained(topics_.Health(), payload);
              }
          },
          [this](const std::string& line) {
              if (notifier_ != nullptr) {
                  notifier_->Status(line);
              }
          }) {
    if (broker_ != nullptr && options.haDiscovery) {
        discovery_ = std::make_unique<DiscoveryPublisher>(
            options, topics_, log, StateDirectory(),
            [this](const std::string& topic, const std::string& payload) {
                broker_->SetRetained(topic, payload);
            });
    }
    TakeLogOptions(Clock::now());
}

void DaemonLoop::WatchOver(const ServiceNotifier* notifier,
                           std::function<Clock::time_point()> panelActivity) {
    notifier_ = notifier;
    panelActivity_ = std::move(panelActivity);
}

int DaemonLoop::Run(const Wait& wait) {
    const Clock::time_point start = Clock::now();
    nextState_ = start;
    nextLog_ = start + kFirstLogLine;
    nextAlive_ = start;
    brokerLostSince_ = start;
    if (broker_ != nullptr) {
        broker_->SetRetained(topics_.Availability(), kOnline);
        broker_->SetRetained(topics_.Link(), kOffline);  // until the panel answers
        if (discovery_) {
            discovery_->Start();
        }
    }
    for (;;) {
        const Wake wake = wait(NextWake());
        if (wake == Wake::kQuit) {
            return kExitStopped;
        }
        const Clock::time_point now = Clock::now();
        if (wake == Wake::kReload) {
            TakeLogOptions(now);
            health_.StatusReplaced();
        }
        const ReadingsSnapshot snapshot = TakeSnapshot(panel_);
        if (snapshot.connected && IsUnsupportedPanel(snapshot.identity)) {
            log_.Error(std::string(kUnsupportedPanelMessage) + " (wersja sprzętu " +
                       std::to_string(snapshot.identity.hardwareVariant) + ")");
            return kExitUnsupported;
        }
        ReportLink(snapshot, now - start >= kBrokerPatience);
        clock_.Look(snapshot, now);
        if (now >= nextState_) {
            Publish(snapshot);
            health_.Tick(now, snapshot, Health());
            nextState_ = NextAfter(nextState_, kStatePeriod, now);
        }
        if (measurementLog_ != nullptr && measurementLog_->Enabled() && now >= nextLog_) {
            WriteLogLine(snapshot);
            nextLog_ = NextAfter(nextLog_, interval_, now);
        }
        if (broker_ != nullptr) {
            WatchBroker(now);
            if (broker_->Failed() != MqttClient::Failure::kNone) {
                return BrokerExitCode();
            }
        }
        KeepAlive(now);
    }
}

DaemonLoop::Clock::time_point DaemonLoop::NextWake() const {
    Clock::time_point next = nextState_;
    if (measurementLog_ != nullptr && measurementLog_->Enabled()) {
        next = std::min(next, nextLog_);
    }
    if (notifier_ != nullptr && notifier_->AlivePeriod()) {
        next = std::min(next, nextAlive_);
    }
    return next;
}

// The log settings, at the start and after each reload. A shorter interval
// takes effect at once, a longer one after the line due.
void DaemonLoop::TakeLogOptions(Clock::time_point now) {
    lineOptions_.separatorCode = options_.separatorCode;
    lineOptions_.decimalCode = options_.decimalCode;
    lineOptions_.dateCode = options_.dateCode;
    interval_ = std::chrono::seconds(options_.interval);
    nextLog_ = std::min(nextLog_, now + interval_);
}

void DaemonLoop::KeepAlive(Clock::time_point now) {
    if (notifier_ == nullptr || !notifier_->AlivePeriod() || now < nextAlive_) {
        return;
    }
    nextAlive_ = NextAfter(nextAlive_, *notifier_->AlivePeriod(), now);
    if (panelActivity_ && now - panelActivity_() > kPanelStall) {
        if (!panelStallReported_) {
            panelStallReported_ = true;
            log_.Error(
                "obsługa panelu nie odpowiada od ponad minuty; watchdog systemd nie dostaje "
                "znaku życia");
        }
        return;
    }
    panelStallReported_ = false;
    notifier_->Alive();
}

void DaemonLoop::Publish(const ReadingsSnapshot& snapshot) {
    // Nothing before the first contact has succeeded or failed: the link
    // would show lost for the seconds the first start sequence takes.
    if (broker_ == nullptr || !linkReported_) {
        return;
    }
    InfoSource info{options_.name, portLabel_, snapshot.identity, {}};
    panel_.GetPanelInfo(info.info);
    broker_->SetRetained(topics_.Info(), BuildInfoPayload(info));
    if (discovery_) {
        discovery_->Update(snapshot.identity);
    }
    broker_->Publish(topics_.State(),
                     BuildStatePayload(snapshot, std::time(nullptr), clock_.Offset()),
                     kStateExpiry);
}

HealthFacts DaemonLoop::Health() const {
    HealthFacts facts;
    if (linkReported_) {
        facts.link = lastConnected_ ? HealthFacts::Link::kAnswering : HealthFacts::Link::kLost;
    }
    if (LogEnabled()) {
        facts.logError = measurementLog_->Failure();
        facts.log = facts.logError.empty() ? HealthFacts::Log::kOk : HealthFacts::Log::kFailing;
    }
    facts.refusals = broker_ != nullptr ? broker_->Refusals() : 0;
    return facts;
}

void DaemonLoop::WriteLogLine(const ReadingsSnapshot& snapshot) {
    measurementLog_->WriteLine(lineOptions_, LogReadingsOf(snapshot, WantsTwoSetpoints(snapshot)));
}

void DaemonLoop::ReportLink(const ReadingsSnapshot& snapshot, bool firstContactDue) {
    if (linkReported_ && snapshot.connected == lastConnected_) {
        return;
    }
    // A missing panel is reported once its first start sequences have had their chance.
    if (!linkReported_ && !snapshot.connected && !firstContactDue) {
        return;
    }
    linkReported_ = true;
    lastConnected_ = snapshot.connected;
    if (broker_ != nullptr) {
        broker_->SetRetained(topics_.Link(), snapshot.connected ? kOnline : kOffline);
    }
    if (!snapshot.connected) {
        log_.Warning("brak komunikacji z panelem na " + portLabel_);
        return;
    }
    const PanelIdentity& id = snapshot.identity;
    std::string panel = PanelModelName(id.deviceType);
    if (id.noNumber == 0) {
        panel += " nr " + std::to_string(id.serialNumber);
    }
    log_.Info("panel " + panel + " odpowiada na " + portLabel_);
}

// The broker side has ended: topics in use by another process are a
// configuration error, anything else a failure to be restarted from.
int DaemonLoop::BrokerExitCode() const {
    return broker_->Failed() == MqttClient::Failure::kSharedIdentity ? kExitUsage : kExitFailure;
}

void DaemonLoop::WatchBroker(Clock::time_point now) {
    if (broker_->Connected()) {
        brokerLostSince_ = now;
        brokerWarned_ = false;
        return;
    }
    if (!brokerWarned_ && now - brokerLostSince_ >= kBrokerPatience) {
        brokerWarned_ = true;
        log_.Warning(LogEnabled()
                         ? "brak połączenia z brokerem; dalsze próby trwają, plik rejestracji "
                           "jest zapisywany nadal"
                         : "brak połączenia z brokerem; dalsze próby trwają");
    }
}

}  // namespace tk358
