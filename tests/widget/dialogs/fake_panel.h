#pragma once

// A panel whose set-point write succeeds, fails, throws or blocks until the test
// releases it. Every other operation reports failure.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "link/panel_access.h"
#include "support/refusing_writes.h"

namespace tk358::test {

class FakePanel final : public RefusingWrites<PanelAccess> {
public:
    enum class Mode { Succeed, Fail, Throw, Block };

    void SetMode(Mode mode) {
        std::lock_guard lock(mutex_);
        mode_ = mode;
    }
    // A blocked write returns `status` once released.
    void Release(int status) {
        std::lock_guard lock(mutex_);
        released_ = true;
        releaseStatus_ = status;
        changed_.notify_all();
    }
    bool WaitUntilBlocked(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [this] { return blocked_; });
    }

    int Writes() const {
        std::lock_guard lock(mutex_);
        return writes_;
    }
    int Returned() const {
        std::lock_guard lock(mutex_);
        return returned_;
    }
    int LastValue() const {
        std::lock_guard lock(mutex_);
        return lastValue_;
    }
    int LastIndex() const {
        std::lock_guard lock(mutex_);
        return lastIndex_;
    }
    std::thread::id WriterThread() const {
        std::lock_guard lock(mutex_);
        return writer_;
    }

    int WriteSetpoint(int value, int index) override {
        std::unique_lock lock(mutex_);
        ++writes_;
        lastValue_ = value;
        lastIndex_ = index;
        writer_ = std::this_thread::get_id();
        int status = kStatusOk;
        switch (mode_) {
            case Mode::Succeed:
                break;
            case Mode::Fail:
                status = kStatusFailed;
                break;
            case Mode::Throw:
                ++returned_;
                throw std::runtime_error("lost the port");
            case Mode::Block:
                blocked_ = true;
                changed_.notify_all();
                changed_.wait(lock, [this] { return released_; });
                blocked_ = false;
                released_ = false;
                status = releaseStatus_;
                break;
        }
        ++returned_;
        return status;
    }

    int GetLinkStatus() const override { return kStatusFailed; }
    int GetIdentity(PanelIdentity&) const override { return kStatusFailed; }
    int GetTemperature(TemperatureReading&) const override { return kStatusFailed; }
    int GetSetpointReading(SetpointReading&) const override { return kStatusFailed; }
    int GetRegulatorState(RegulatorState&) const override { return kStatusFailed; }
    int GetValveState(ValveState&) const override { return kStatusFailed; }
    int GetDrainValveState(DrainValveState&) const override { return kStatusFailed; }
    int GetVentilationState(VentilationState&) const override { return kStatusFailed; }
    int GetActiveZone(ActiveZone&) const override { return kStatusFailed; }
    int GetRelayState(RelayState&) const override { return kStatusFailed; }
    int GetPanelClock(PanelClock&) const override { return kStatusFailed; }
    int GetPanelInfo(PanelInfo&) const override { return kStatusFailed; }
    int GetParameters(ParameterSet&) const override { return kStatusFailed; }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Mode mode_ = Mode::Succeed;
    bool blocked_ = false;
    bool released_ = false;
    int releaseStatus_ = kStatusOk;
    int writes_ = 0;
    int returned_ = 0;
    int lastValue_ = 0;
    int lastIndex_ = 0;
    std::thread::id writer_;
};

}  // namespace tk358::test
