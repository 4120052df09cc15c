#pragma once

// A panel with records the test sets and write operations that are recorded as
// text ("WriteSetpoint(2345, 0)") and answer with scripted statuses. Records
// are read on the GUI thread only; writes run on dialog workers.

#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "link/panel_access.h"

namespace tk358::test {

inline std::string Arg(int value) {
    return std::to_string(value);
}
// The shortest text that reads back as the same double: 33.33 stays "33.33".
inline std::string Arg(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}
inline std::string Arg(const SystemTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d w%d %02d:%02d:%02d.%03d", t.year, t.month,
                  t.day, t.dayOfWeek, t.hour, t.minute, t.second, t.milliseconds);
    return text;
}

template <typename... Args>
std::string Call(const char* name, const Args&... args) {
    std::string text = std::string(name) + "(";
    const char* separator = "";
    ((text += separator, text += Arg(args), separator = ", "), ...);
    return text + ")";
}

class ScriptedPanel final : public PanelAccess {
public:
    // Records and the status every getter returns (GUI thread only).
    int linkStatus = kStatusOk;
    std::map<std::string, int> getterStatus;  // by record name, overrides linkStatus
    PanelIdentity identity;
    SetpointReading setpoint;
    RegulatorState regulator;
    PanelClock clock;
    PanelInfo info;
    ParameterSet parameters;

    // Statuses of the next writes, in order; kStatusOk once used up.
    void ScriptStatuses(std::deque<int> statuses) {
        std::lock_guard lock(mutex_);
        statuses_ = std::move(statuses);
    }
    // Writes wait until Release() while held.
    void Hold() {
        std::lock_guard lock(mutex_);
        held_ = true;
    }
    void Release() {
        std::lock_guard lock(mutex_);
        held_ = false;
        changed_.notify_all();
    }
    bool WaitUntilWriting(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [this] { return waiting_ > 0; });
    }
    std::vector<std::string> Calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }

    int GetLinkStatus() const override { return linkStatus; }
    int GetIdentity(PanelIdentity& out) const override { return Copy("identity", identity, out); }
    int GetTemperature(TemperatureReading&) const override { return kStatusFailed; }
    int GetSetpointReading(SetpointReading& out) const override {
        return Copy("setpoint", setpoint, out);
    }
    int GetRegulatorState(RegulatorState& out) const override {
        return Copy("regulator", regulator, out);
    }
    int GetValveState(ValveState&) const override { return kStatusFailed; }
    int GetDrainValveState(DrainValveState&) const override { return kStatusFailed; }
    int GetVentilationState(VentilationState&) const override { return kStatusFailed; }
    int GetActiveZone(ActiveZone&) const override { return kStatusFailed; }
    int GetRelayState(RelayState&) const override { return kStatusFailed; }
    int GetPanelClock(PanelClock& out) const override { return Copy("clock", clock, out); }
    int GetPanelInfo(PanelInfo& out) const override { return Copy("info", info, out); }
    int GetParameters(ParameterSet& out) const override {
        return Copy("parameters", parameters, out);
    }

    int WriteSetpoint(int value, int index) override {
        return Write(Call("WriteSetpoint", value, index));
    }
    int WriteSetpointTime(int value, int index) override {
        return Write(Call("WriteSetpointTime", value, index));
    }
    int WritePidParameters(int kp, int ti, int td, int ta, int zone) override {
        return Write(Call("WritePidParameters", kp, ti, td, ta, zone));
    }
    int WriteRegulationParameters(int, int, int, int, int, int, int) override {
        return Write("WriteRegulationParameters");
    }
    int WriteDrainValveParameters(int, int, int) override {
        return Write("WriteDrainValveParameters");
    }
    int WriteVentilationParameters(int, int, int, int, int, int, int, int, int) override {
        return Write("WriteVentilationParameters");
    }
    int WriteThresholdParameters(int, int, int, int, int) override {
        return Write("WriteThresholdParameters");
    }
    int WriteThresholdTimeParameters(int, int, int, int, int, int, int, int, int, int, int, int,
                                     int) override {
        return Write("WriteThresholdTimeParameters");
    }
    int WriteCvSettings(double cv, int cvLock) override {
        return Write(Call("WriteCvSettings", cv, cvLock));
    }
    int SetPanelClock(const SystemTime& t) override { return Write(Call("SetPanelClock", t)); }

private:
    template <typename T>
    int Copy(const char* name, const T& record, T& out) const {
        out = record;
        const auto found = getterStatus.find(name);
        return found != getterStatus.end() ? found->second : linkStatus;
    }

    int Write(std::string call) {
        std::unique_lock lock(mutex_);
        calls_.push_back(std::move(call));
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !held_; });
        --waiting_;
        if (statuses_.empty()) {
            return kStatusOk;
        }
        const int status = statuses_.front();
        statuses_.pop_front();
        return status;
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<int> statuses_;
    std::vector<std::string> calls_;
    bool held_ = false;
    int waiting_ = 0;
};

}  // namespace tk358::test
