// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The test panel of the window, dialog and presentation tests: a
// PanelConnection whose records the test sets, whose getter calls are logged
// in order, whose writes are logged with their arguments and answer as the
// test scripts them (one status, a queue of statuses, an exception, or held
// until released), and whose port opens for the numbers the test allows.
//
// Records, getter statuses and the port belong to the test's thread; writes
// run on dialog workers, so their script and log sit behind `writeMutex_`.

#include <algorithm>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "link/panel_connection.h"

namespace tk358::test {

struct WriteCall {
    std::string operation;  // "WriteSetpoint"
    std::vector<int> args;  // the int arguments in order; a CV value or a time is in `text` only
    std::string text;       // "WriteSetpoint(2345, 0)"
    std::thread::id thread;
};

class FakePanel final : public PanelConnection {
public:
    // The status of every getter; `getterStatus` overrides it by record name
    // (the names of Reads()).
    int linkStatus = kStatusOk;
    std::map<std::string, int> getterStatus;
    PanelIdentity identity;
    TemperatureReading temperature;
    SetpointReading setpoint;
    RegulatorState regulator;
    ValveState valve;
    DrainValveState drainValve;
    VentilationState ventilation;
    ActiveZone activeZone;
    RelayState relay;
    PanelClock clock;
    PanelInfo info;
    ParameterSet parameters;

    // The port: opening succeeds for `openable` and fails with `openError`
    // (ENOENT) for the others; "open N" and "close" are logged in `events`.
    std::set<int> openable;
    int openError = 2;
    std::function<void(int)> onOpen;
    std::vector<std::string> events;

    // A connected, identified panel of `type` whose records are all valid and
    // whose parameter set of that kind has been read.
    void Connect(uint8_t type, uint16_t number = 12) {
        linkStatus = kStatusOk;
        identity.identified = 1;
        identity.deviceType = type;
        identity.serialNumber = number;
        identity.hardwareVariant = 1;
        identity.firmwareVersion = 105;
        temperature = {21.5, 0, 1};
        setpoint = {2250, 0, 0, 0, 0, 1};
        regulator.valid = 1;
        valve.valid = 1;
        drainValve.valid = 1;
        ventilation.valid = 1;
        activeZone = {0, 1};
        relay.valid = 1;
        parameters.SetReadComplete(type < ParameterSet::kKindCount ? type : 0);
    }

    // The records read so far, in order: "link", "identity", "temperature",
    // "setpoint", "regulator", "valve", "drain", "ventilation", "zone",
    // "relay", "clock", "info", "parameters".
    const std::vector<std::string>& Reads() const { return reads_; }
    int ReadCount(const std::string& record) const {
        return static_cast<int>(std::count(reads_.begin(), reads_.end(), record));
    }

    // Writes answer the scripted statuses in order, then `status` (kStatusOk
    // unless set); with ThrowOnWrites they throw instead.
    void SetWriteStatus(int status) {
        std::lock_guard lock(writeMutex_);
        writeStatus_ = status;
    }
    void ScriptStatuses(std::deque<int> statuses) {
        std::lock_guard lock(writeMutex_);
        statuses_ = std::move(statuses);
    }
    void ThrowOnWrites(bool doThrow) {
        std::lock_guard lock(writeMutex_);
        throw_ = doThrow;
    }
    // Writes wait from Hold() until Release().
    void Hold() {
        std::lock_guard lock(writeMutex_);
        held_ = true;
    }
    void Release() {
        std::lock_guard lock(writeMutex_);
        held_ = false;
        changed_.notify_all();
    }
    bool WaitUntilWriting(std::chrono::milliseconds limit) {
        std::unique_lock lock(writeMutex_);
        return changed_.wait_for(lock, limit, [this] { return waiting_ > 0; });
    }
    std::vector<WriteCall> Calls() const {
        std::lock_guard lock(writeMutex_);
        return calls_;
    }
    std::vector<std::string> CallTexts() const {
        std::vector<std::string> texts;
        for (const WriteCall& call : Calls()) {
            texts.push_back(call.text);
        }
        return texts;
    }
    // Writes that have returned or thrown.
    int Returned() const {
        std::lock_guard lock(writeMutex_);
        return returned_;
    }

    bool Open(int port) override {
        events.push_back("open " + std::to_string(port));
        if (onOpen) {
            onOpen(port);
        }
        lastOpenError_ = openable.count(port) != 0 ? 0 : openError;
        return lastOpenError_ == 0;
    }
    void Close() override { events.emplace_back("close"); }
    int LastOpenError() const override { return lastOpenError_; }

    int GetLinkStatus() const override {
        Log("link");
        return linkStatus;
    }
    int GetIdentity(PanelIdentity& out) const override { return Copy("identity", identity, out); }
    int GetTemperature(TemperatureReading& out) const override {
        return Copy("temperature", temperature, out);
    }
    int GetSetpointReading(SetpointReading& out) const override {
        return Copy("setpoint", setpoint, out);
    }
    int GetRegulatorState(RegulatorState& out) const override {
        return Copy("regulator", regulator, out);
    }
    int GetValveState(ValveState& out) const override { return Copy("valve", valve, out); }
    int GetDrainValveState(DrainValveState& out) const override {
        return Copy("drain", drainValve, out);
    }
    int GetVentilationState(VentilationState& out) const override {
        return Copy("ventilation", ventilation, out);
    }
    int GetActiveZone(ActiveZone& out) const override { return Copy("zone", activeZone, out); }
    int GetRelayState(RelayState& out) const override { return Copy("relay", relay, out); }
    int GetPanelClock(PanelClock& out) const override { return Copy("clock", clock, out); }
    int GetPanelInfo(PanelInfo& out) const override { return Copy("info", info, out); }
    int GetParameters(ParameterSet& out) const override {
        return Copy("parameters", parameters, out);
    }
    // Unset: every look finds the records changed, as for a link without a
    // count of its own. A test that sets it bumps it with its changes.
    std::optional<RecordsVersion> version;
    RecordsVersion Version() const override { return version.value_or(RecordsVersion{}); }
    // With a version of its own the fake tells its listener when the test
    // calls Tell(), after bumping the count.
    bool SetRecordsListener(RecordsListener* l) override {
        listener = l;
        return version.has_value();
    }
    void Tell() const {
        if (listener != nullptr) {
            listener->RecordsChanged();
        }
    }
    RecordsListener* listener = nullptr;

    // Logged with the writes; the cache is the test's to fill.
    int ReadParameter(int code) override { return Write("ReadParameter", code); }
    int WriteSetpoint(int value, int index) override {
        return Write("WriteSetpoint", value, index);
    }
    int WriteSetpointTime(int value, int index) override {
        return Write("WriteSetpointTime", value, index);
    }
    int WritePidParameters(int kp, int ti, int td, int ta, int zone) override {
        return Write("WritePidParameters", kp, ti, td, ta, zone);
    }
    int WriteRegulationParameters(int a, int b, int c, int d, int e, int f, int g) override {
        return Write("WriteRegulationParameters", a, b, c, d, e, f, g);
    }
    int WriteDrainValveParameters(int a, int b, int c) override {
        return Write("WriteDrainValveParameters", a, b, c);
    }
    int WriteVentilationParameters(int a, int b, int c, int d, int e, int f, int g, int h,
                                   int i) override {
        return Write("WriteVentilationParameters", a, b, c, d, e, f, g, h, i);
    }
    int WriteThresholdParameters(int a, int b, int c, int d, int e) override {
        return Write("WriteThresholdParameters", a, b, c, d, e);
    }
    int WriteThresholdTimeParameters(int a, int b, int c, int d, int e, int f, int g, int h, int i,
                                     int j, int k, int l, int m) override {
        return Write("WriteThresholdTimeParameters", a, b, c, d, e, f, g, h, i, j, k, l, m);
    }
    int WriteCvSettings(double cv, int cvLock) override {
        return Write("WriteCvSettings", cv, cvLock);
    }
    int SetPanelClock(const SystemTime& t) override { return Write("SetPanelClock", t); }

private:
    void Log(const char* record) const { reads_.emplace_back(record); }
    template <typename T>
    int Copy(const char* record, const T& value, T& out) const {
        Log(record);
        out = value;
        const auto found = getterStatus.find(record);
        return found != getterStatus.end() ? found->second : linkStatus;
    }

    static void Add(WriteCall& call, int value) {
        call.args.push_back(value);
        call.text += std::to_string(value);
    }
    // The shortest text that reads back as the same double: 33.33 stays "33.33".
    static void Add(WriteCall& call, double value) {
        char text[32];
        call.text.append(text, std::to_chars(text, text + sizeof text, value).ptr);
    }
    static void Add(WriteCall& call, const SystemTime& t) {
        char text[64];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d w%d %02d:%02d:%02d.%03d", t.year, t.month,
                      t.day, t.dayOfWeek, t.hour, t.minute, t.second, t.milliseconds);
        call.text += text;
    }

    template <typename... Args>
    int Write(const char* operation, const Args&... args) {
        WriteCall call{operation, {}, std::string(operation) + "(", std::this_thread::get_id()};
        const char* separator = "";
        ((call.text += separator, Add(call, args), separator = ", "), ...);
        call.text += ")";

        std::unique_lock lock(writeMutex_);
        calls_.push_back(std::move(call));
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !held_; });
        --waiting_;
        ++returned_;
        if (throw_) {
            throw std::runtime_error("lost the port");
        }
        if (statuses_.empty()) {
            return writeStatus_;
        }
        const int status = statuses_.front();
        statuses_.pop_front();
        return status;
    }

    mutable std::vector<std::string> reads_;
    int lastOpenError_ = 0;

    mutable std::mutex writeMutex_;  // the write script, the log and the hold
    std::condition_variable changed_;
    std::vector<WriteCall> calls_;
    std::deque<int> statuses_;
    int writeStatus_ = kStatusOk;
    bool throw_ = false;
    bool held_ = false;
    int waiting_ = 0;
    int returned_ = 0;
};

}  // namespace tk358::test
