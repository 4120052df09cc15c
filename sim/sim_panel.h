// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The protocol engine of a simulated panel. Pure: no I/O, no clock of its own,
// no locking. It is fed the bytes the program sends and the time that passes;
// it cuts the requests at CR LF, answers them, and while monitoring mode is on
// sends the status lines of its kind once per status period. The runner (or a
// test) takes the lines to send with TakeOutput.

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/parameter_table.h"
#include "sim/process_model.h"
#include "sim/sim_config.h"

namespace tk358::sim {

// One line the panel sends. `answer` lines answer a request (the runner waits
// its turn-around time before them); the others are unrequested.
struct OutgoingLine {
    std::string bytes;
    bool answer = false;
};

// One request line as received, CR LF included, with the engine time it
// arrived. `accepted` is false for lines the panel ignored (bad checksum,
// unknown command, wrong data length).
struct RecordedFrame {
    std::string line;
    std::chrono::milliseconds at{0};
    bool accepted = false;
};

class SimPanel {
public:
    // A kind outside 0..4 is taken as kind 3.
    explicit SimPanel(const SimConfig& config);

    // Bytes from the program, in arrival order; complete requests are answered.
    void Receive(std::string_view bytes);
    // Lets `dt` pass: the process, the clock, silence and the status lines move on.
    void Advance(std::chrono::milliseconds dt);
    // Lines ready to send, oldest first; the queue is emptied.
    std::vector<OutgoingLine> TakeOutput();
    // Engine time until the next status burst; none while monitoring is off.
    std::optional<std::chrono::milliseconds> TimeToNextStatus() const;
    std::chrono::milliseconds Now() const { return now_; }

    const SimConfig& Config() const { return config_; }
    int Kind() const { return config_.kind; }

    // Faults.
    void SetFaults(const FaultSettings& faults) { faults_ = faults; }
    const FaultSettings& Faults() const { return faults_; }
    // Says nothing for `duration` (answers and status lines are lost, not delayed).
    void SilenceFor(std::chrono::milliseconds duration);
    void SilenceUntilResumed();
    void Resume();
    bool Silent() const;

    // Parameters, as the panel keeps them.
    const ParameterStore& Parameters() const { return parameters_; }
    bool SetParameter(int code, int64_t value);

    void SetMonitoring(bool on);
    bool Monitoring() const { return monitoring_; }
    void SetClockSeconds(uint32_t seconds);
    uint32_t ClockSeconds() const;
    bool CvLock() const;

    ProcessModel& Process() { return process_; }
    const ProcessValues& Values() const { return process_.Values(); }

    const std::vector<RecordedFrame>& Frames() const { return frames_; }
    void ClearFrames() { frames_.clear(); }

    // The status lines of this kind as they would be sent now, in sending order.
    std::vector<std::string> StatusLines() const;

private:
    void HandleLine(std::string_view line);
    std::optional<std::string> Answer(std::string_view code, std::string_view data);
    std::optional<std::string> AnswerSetpoint(std::string_view data);
    std::optional<std::string> AnswerCv(std::string_view data);
    std::optional<std::string> AnswerCvLock(std::string_view data);
    std::optional<std::string> AnswerClock(std::string_view data);
    std::string AnswerParameterRead(std::string_view data);
    std::string AnswerParameterWrite(std::string_view data);
    void Send(std::string line, bool answer);
    void StepProcess(std::chrono::milliseconds dt);
    uint32_t ClockSecondsAt(std::chrono::milliseconds at) const;

    SimConfig config_;
    FaultSettings faults_;
    ParameterStore parameters_;
    ProcessModel process_;

    std::chrono::milliseconds now_{0};
    std::chrono::milliseconds processedUntil_{0};  // the process has been stepped to here
    std::chrono::milliseconds nextStatus_{0};
    std::optional<std::chrono::milliseconds> silentUntil_;  // max() until resumed
    bool monitoring_ = false;
    bool cvLock_ = false;  // dual-zone panel; the others keep it in code 38

    uint32_t clockBase_ = 0;  // clock seconds when it was last set
    std::chrono::milliseconds clockSetAt_{0};

    // The value being written byte by byte.
    int writeCode_ = -1;
    int writeNextIndex_ = 0;
    uint64_t writeRaw_ = 0;

    int answerCount_ = 0;  // for dropping every Nth answer

    std::string lineBuffer_;
    bool dropping_ = false;  // inside a request longer than 256 bytes
    char lastDropped_ = 0;

    std::deque<OutgoingLine> output_;
    std::vector<RecordedFrame> frames_;
};

}  // namespace tk358::sim
