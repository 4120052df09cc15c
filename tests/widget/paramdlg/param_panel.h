#pragma once

// A panel for the "Parametry regulacji" dialogs: fixed snapshots, and write
// operations that record their arguments and return a chosen status, or
// block until the test releases them.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "link/panel_access.h"

namespace tk358::test {

struct WriteCall {
    std::string operation;
    std::vector<int> args;
};

class ParamPanel final : public PanelAccess {
public:
    // Snapshots and the status each getter returns; set before the dialog opens.
    PanelIdentity identity;
    RegulatorState regulator;
    ParameterSet parameters;
    int identityStatus = kStatusOk;
    int regulatorStatus = kStatusOk;
    int parametersStatus = kStatusOk;

    ParamPanel() {
        identity.identified = 1;
        identity.firmwareVersion = 105;
        regulator.valid = 1;
    }

    // A panel of `kind` whose parameter set of that kind has been read.
    void Become(int kind) {
        identity.deviceType = static_cast<uint8_t>(kind);
        parameters.SetReadComplete(kind);
    }

    void SetWriteStatus(int status) {
        std::lock_guard lock(mutex_);
        writeStatus_ = status;
    }
    void SetBlocking(bool block) {
        std::lock_guard lock(mutex_);
        block_ = block;
    }
    bool WaitUntilBlocked(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [this] { return blocked_; });
    }
    void Release() {
        std::lock_guard lock(mutex_);
        block_ = false;
        changed_.notify_all();
    }
    std::vector<WriteCall> Calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }

    int GetIdentity(PanelIdentity& out) const override {
        out = identity;
        return identityStatus;
    }
    int GetRegulatorState(RegulatorState& out) const override {
        out = regulator;
        return regulatorStatus;
    }
    int GetParameters(ParameterSet& out) const override {
        out = parameters;
        return parametersStatus;
    }

    int WriteRegulationParameters(int a, int b, int c, int d, int e, int f, int g) override {
        return Record("WriteRegulationParameters", {a, b, c, d, e, f, g});
    }
    int WriteDrainValveParameters(int a, int b, int c) override {
        return Record("WriteDrainValveParameters", {a, b, c});
    }
    int WriteVentilationParameters(int a, int b, int c, int d, int e, int f, int g, int h,
                                   int i) override {
        return Record("WriteVentilationParameters", {a, b, c, d, e, f, g, h, i});
    }
    int WriteThresholdParameters(int a, int b, int c, int d, int e) override {
        return Record("WriteThresholdParameters", {a, b, c, d, e});
    }
    int WriteThresholdTimeParameters(int a, int b, int c, int d, int e, int f, int g, int h, int i,
                                     int j, int k, int l, int m) override {
        return Record("WriteThresholdTimeParameters", {a, b, c, d, e, f, g, h, i, j, k, l, m});
    }

    // Nothing else is used by these dialogs.
    int GetLinkStatus() const override { return kStatusFailed; }
    int GetTemperature(TemperatureReading&) const override { return kStatusFailed; }
    int GetSetpointReading(SetpointReading&) const override { return kStatusFailed; }
    int GetValveState(ValveState&) const override { return kStatusFailed; }
    int GetDrainValveState(DrainValveState&) const override { return kStatusFailed; }
    int GetVentilationState(VentilationState&) const override { return kStatusFailed; }
    int GetActiveZone(ActiveZone&) const override { return kStatusFailed; }
    int GetRelayState(RelayState&) const override { return kStatusFailed; }
    int GetPanelClock(PanelClock&) const override { return kStatusFailed; }
    int GetPanelInfo(PanelInfo&) const override { return kStatusFailed; }
    int WriteSetpoint(int, int) override { return Record("WriteSetpoint", {}); }
    int WriteSetpointTime(int, int) override { return Record("WriteSetpointTime", {}); }
    int WritePidParameters(int, int, int, int, int) override {
        return Record("WritePidParameters", {});
    }
    int WriteCvSettings(double, int) override { return Record("WriteCvSettings", {}); }
    int SetPanelClock(const SystemTime&) override { return Record("SetPanelClock", {}); }

private:
    int Record(const char* operation, std::vector<int> args) {
        std::unique_lock lock(mutex_);
        calls_.push_back({operation, std::move(args)});
        blocked_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !block_; });
        blocked_ = false;
        return writeStatus_;
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<WriteCall> calls_;
    int writeStatus_ = kStatusOk;
    bool block_ = false;
    bool blocked_ = false;
};

}  // namespace tk358::test
