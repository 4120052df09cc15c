// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs a simulated panel on a pseudo-terminal, so the program reaches it
// through its ordinary serial code: the slave side is registered as "COMn" in
// the port directory, and a thread reads the requests from the master side and
// writes the panel's answers and status lines back. Every control call is
// thread-safe.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/sim_config.h"
#include "sim/sim_panel.h"

namespace tk358::sim {

struct PtySimulatorOptions {
    SimConfig panel = DefaultConfig(kKindDualZone);  // without a clock: the local time
    int portNumber = 0;                              // 0: the first free number from 200
    std::string portDirectory;                       // empty: the program's port directory
    bool pace = false;                               // send at 9600 baud, about 1.04 ms per byte
    std::chrono::milliseconds turnaround{0};         // wait before every answer
};

// The first number tried when none is asked for.
inline constexpr int kFirstSimulatedPort = 200;

class PtySimulator {
public:
    explicit PtySimulator(PtySimulatorOptions options);
    ~PtySimulator();
    PtySimulator(const PtySimulator&) = delete;
    PtySimulator& operator=(const PtySimulator&) = delete;

    // Creates the pseudo-terminal, registers it and starts the thread. False
    // with a Polish reason in `error` when the terminal cannot be made or the
    // port number is taken.
    bool Start(std::string* error = nullptr);
    // Ends the thread, removes the registration and closes the terminal.
    void Stop();
    bool Running() const { return running_.load(); }

    int PortNumber() const;
    std::string DevicePath() const;  // the slave, /dev/pts/N
    std::string LinkPath() const;    // <port directory>/COMn

    // The device is unplugged: the terminal closes (the program's side sees a
    // hang-up) and the registration goes. The panel itself keeps running.
    void Vanish();
    // Plugged in again: a new terminal under the same COM number.
    bool Reappear(std::string* error = nullptr);
    bool Vanished() const;

    // Runs `f` on the panel under the simulator's lock.
    template <class F>
    auto WithPanel(F&& f) {
        std::lock_guard<std::mutex> lock(mutex_);
        return f(panel_);
    }

    void SetFaults(const FaultSettings& faults);
    FaultSettings Faults() const;
    void SilenceFor(std::chrono::milliseconds duration);
    void SilenceUntilResumed();
    void Resume();
    bool SetParameter(int code, int64_t value);
    int64_t Parameter(int code) const;
    void SetPace(bool pace);
    void SetTurnaround(std::chrono::milliseconds turnaround);

    std::vector<RecordedFrame> Frames() const;
    void ClearFrames();
    // Waits until `ready` holds for the panel (checked under the lock after
    // each turn of the thread); false on time-out.
    bool WaitUntil(const std::function<bool(const SimPanel&)>& ready,
                   std::chrono::milliseconds timeout) const;
    bool WaitForFrames(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    enum class Command { kNone, kVanish, kReappear };

    bool OpenTerminal(std::string* error);
    void CloseTerminal();
    bool Register(int number, std::string* error);
    void Unregister();
    bool RunCommand(Command command, std::string* error);
    void ExecuteCommand();
    void Run();
    void Serve(std::chrono::steady_clock::time_point start);
    void WriteLine(const std::string& bytes, bool pace);
    bool WriteBytes(const char* data, std::size_t size);
    void WaitInterruptibly(std::chrono::milliseconds duration);
    void ReleaseStaleExclusiveMode();
    void Wake();

    PtySimulatorOptions options_;

    mutable std::mutex mutex_;  // panel_, the paths, the pacing, the command
    mutable std::condition_variable changed_;
    SimPanel panel_;
    std::string devicePath_;
    std::string linkPath_;
    int portNumber_ = 0;
    bool pace_ = false;
    std::chrono::milliseconds turnaround_{0};
    Command command_ = Command::kNone;
    bool commandResult_ = false;
    std::string commandError_;
    bool vanished_ = false;
    bool threadDone_ = false;  // the thread has left its loop

    // Only the thread touches these while it runs.
    int master_ = -1;
    int hold_ = -1;  // the slave, held open so the program may close and reopen it
    int wake_ = -1;  // eventfd

    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    std::thread thread_;
};

// The panel of the demo mode: a simulated panel of `kind` with its default
// settings under the first free COM number. Null with the reason in `error`
// when it cannot start.
std::unique_ptr<PtySimulator> StartDemoPanel(int kind, std::string* error);

}  // namespace tk358::sim
