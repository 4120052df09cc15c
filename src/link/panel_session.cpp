// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/panel_session.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <limits>
#include <system_error>
#include <utility>

namespace tk358 {

namespace {

constexpr int64_t kNever = std::numeric_limits<int64_t>::min();

constexpr int kBaudRate = 9600;
constexpr char kParity = 'N';
constexpr int kDataBits = 8;
constexpr int kStopBits = 1;
constexpr unsigned kMonitoringOn = 0x0051;  // bits 0, 4 and 6

}  // namespace

PanelSession::PanelSession(SessionTiming timing)
    : timing_(timing), lastAnswer_(kNever), records_(timing.silence) {
    AttachDecoders();
}

PanelSession::~PanelSession() {
    Close();
}

// Every good answer is offered to the awaited-answer slot after its decoder
// stored it; the commands that store nothing answer with their prefix alone.
void PanelSession::AttachDecoders() {
    using Decode = std::function<int(const AnswerLine&, int&)>;
    const auto attach = [this](AnswerKind kind, Decode decode) {
        cutter_.Dispatcher().Attach(kind, [this, kind, decode](const AnswerLine& line) {
            int code = -1;
            const int status = decode ? decode(line, code) : kStatusOk;
            if (status == kStatusOk) {
                awaited_.OfferAnswer(AnswerPrefix(kind), code);
            }
            return status;
        });
    };
    PanelRecords& r = records_;
    const auto stored = [&r](int (PanelRecords::*decode)(const AnswerLine&)) {
        return [&r, decode](const AnswerLine& line, int&) { return (r.*decode)(line); };
    };
    attach(AnswerKind::kIdentification, stored(&PanelRecords::DecodeIdentification));
    attach(AnswerKind::kPanelInfo, stored(&PanelRecords::DecodePanelInfo));
    attach(AnswerKind::kParameterWrite,
           [](const AnswerLine& line, int&) { return PanelRecords::DecodeParameterWrite(line); });
    attach(AnswerKind::kParameterRead,
           [&r](const AnswerLine& line, int& code) { return r.DecodeParameterRead(line, code); });
    attach(AnswerKind::kTemperature, stored(&PanelRecords::DecodeTemperature));
    attach(AnswerKind::kSetpoint, stored(&PanelRecords::DecodeSetpoint));
    attach(AnswerKind::kDualSetpoint, stored(&PanelRecords::DecodeDualSetpoint));
    attach(AnswerKind::kClock, stored(&PanelRecords::DecodeClock));
    attach(AnswerKind::kRegulator, stored(&PanelRecords::DecodeRegulator));
    attach(AnswerKind::kValve, stored(&PanelRecords::DecodeValve));
    attach(AnswerKind::kDrainValve, stored(&PanelRecords::DecodeDrainValve));
    attach(AnswerKind::kVentilation, stored(&PanelRecords::DecodeVentilation));
    attach(AnswerKind::kActiveZone, stored(&PanelRecords::DecodeActiveZone));
    attach(AnswerKind::kRelay, stored(&PanelRecords::DecodeRelay));
    for (AnswerKind kind :
         {AnswerKind::kClockWrite, AnswerKind::kSetpointWrite, AnswerKind::kMonitoringMode,
          AnswerKind::kCvValue, AnswerKind::kCvLock}) {
        attach(kind, nullptr);
    }
}

int64_t PanelSession::NowSeconds() {
    using std::chrono::duration_cast;
    using std::chrono::seconds;
    return duration_cast<seconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::optional<int64_t> PanelSession::LastAnswerSeconds() const {
    const int64_t last = lastAnswer_;
    return last == kNever ? std::nullopt : std::optional<int64_t>(last);
}

// On the reader thread, with no lock of the session held: the decoders tell
// the records' listener, and the line observer is called, outside every link lock.
void PanelSession::OnByteReceived(char byte) {
    const std::optional<int> status = cutter_.Push(byte);
    if (status && *status == kStatusOk) {
        lastAnswer_ = NowSeconds();
    }
    if (status) {
        ObserveLine(cutter_.LastLine());
    }
}

// ---- Opening and closing ----

std::unique_ptr<PanelLine> PanelSession::OpenPort(int comPortNumber) {
    int error = 0;
    std::unique_ptr<PanelLine> port =
        OpenPanelLine(*this, comPortNumber, {kBaudRate, kParity, kDataBits, kStopBits}, error);
    lastOpenError_ = error;
    if (port) {
        port->StartReader();
    }
    return port;
}

bool PanelSession::Open(int comPortNumber) {
    Close();
    StartContact();
    std::unique_ptr<PanelLine> port = OpenPort(comPortNumber);
    if (!port) {
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(requestLock_);
        port_ = std::move(port);
        comPort_ = comPortNumber;
    }
    stopRequested_ = false;
    try {
        pollThread_ = std::thread(&PanelSession::PollLoop, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

// The line opened next may lead to another panel, and a line whose panel
// already sends status lines would never seem silent: nothing of the last
// contact is kept, and the failed status makes the poll thread run the start
// sequence on the new line. Runs after Close, with the poll thread stopped
// and no port whose reader could decode a line meanwhile.
void PanelSession::StartContact() {
    records_.StartContact();
    pendingReads_.DropAll();
    SetLinkStatus(kStatusFailed);
}

void PanelSession::StopPollThread() {
    if (!pollThread_.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(pollLock_);
        stopRequested_ = true;
    }
    pollWake_.notify_all();
    pollThread_.join();
    stopRequested_ = false;
}

// Takes the port out under the request lock and destroys it outside, so an
// exchange never sees a port being destroyed.
void PanelSession::DropPort() {
    std::unique_ptr<PanelLine> old;
    {
        std::lock_guard<std::mutex> lock(requestLock_);
        old = std::move(port_);
    }
    old.reset();
}

void PanelSession::Close() {
    StopPollThread();
    bool hasPort = false;
    {
        std::lock_guard<std::mutex> lock(requestLock_);
        hasPort = port_ != nullptr;
    }
    if (hasPort) {
        // A panel that stopped answering gets one try, not four: closing
        // should not hang for the full retry time.
        if (records_.Identity().identified != 0) {
            SetMonitoringMode(false, linkStatus_ == kStatusOk);
        }
        DropPort();
    }
    records_.EndContact();
    cutter_.Clear();
    lastAnswer_ = kNever;
}

// ---- Exchanges ----

int PanelSession::SendAndWait(const RequestFrame& frame, bool retry) {
    std::lock_guard<std::mutex> lock(requestLock_);
    return ExchangeLocked(frame, retry);
}

// A shared line's daemon may refuse the exchange (shared_line_socket.h): its
// refusal ends the exchange as failed at once, with no further try.
int PanelSession::ExchangeLocked(const RequestFrame& frame, bool retry, int parameterCode) {
    if (!port_ || frame.length == 0) {
        return kStatusFailed;
    }
    const int attempts = retry ? std::max(timing_.tries, 1) : 1;
    const std::string_view command(frame.bytes.data(),
                                   static_cast<std::size_t>(std::min(frame.length, 6)));
    for (int attempt = 0; attempt < attempts; ++attempt) {
        MarkActivity();
        // A closing session gives up after the attempt under way.
        if (port_->DeviceLost() || (attempt > 0 && stopRequested_)) {
            break;
        }
        awaited_.AwaitCommand(command, parameterCode);
        port_->Send(frame.bytes.data(), frame.length);
        const AwaitedAnswer::Outcome outcome = awaited_.WaitFor(timing_.answerWait);
        if (outcome != AwaitedAnswer::Outcome::kNone) {
            awaited_.Disarm();
            return outcome == AwaitedAnswer::Outcome::kAnswered ? kStatusOk : kStatusFailed;
        }
    }
    awaited_.Disarm();
    return kStatusFailed;
}

int PanelSession::SendCommand(const char* code, const std::string& data) {
    return SendAndWait(BuildRequest(code, data), true);
}

int PanelSession::Identify() {
    return SendCommand("020A00", {});
}

int PanelSession::ReadPanelInfo() {
    return SendCommand("050100", {});
}

int PanelSession::SetMonitoringMode(bool on, bool retry) {
    return SendAndWait(BuildRequest("023000", HexText(on ? kMonitoringOn : 0u, 4)), retry);
}

std::chrono::steady_clock::time_point PanelSession::LastActivity() const {
    return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(lastActivity_.load()));
}

void PanelSession::MarkActivity() {
    lastActivity_ = std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count();
}

// ---- Poll thread ----

void PanelSession::PollLoop() {
    while (SleepCycle()) {
        if (!EnsurePort() || !ContactLost()) {
            continue;
        }
        RunStartSequence();
    }
}

// False when the session is stopping.
bool PanelSession::SleepCycle() {
    MarkActivity();
    std::unique_lock<std::mutex> lock(pollLock_);
    pollWake_.wait_for(lock, timing_.cycle, [this] { return stopRequested_.load(); });
    return !stopRequested_;
}

// A device that vanished (an adapter pulled out) is closed and the same COM
// number opened again, once per cycle until that succeeds; until then the
// link counts as lost.
bool PanelSession::EnsurePort() {
    {
        std::lock_guard<std::mutex> lock(requestLock_);
        if (port_ && !port_->DeviceLost()) {
            return true;
        }
    }
    SetLinkStatus(kStatusFailed);
    DropPort();
    cutter_.Clear();
    std::unique_ptr<PanelLine> port = OpenPort(comPort_);
    if (!port) {
        return false;
    }
    std::lock_guard<std::mutex> lock(requestLock_);
    port_ = std::move(port);
    return true;
}

void PanelSession::SetLinkStatus(int status) {
    if (linkStatus_.exchange(status) != status) {
        records_.NoteChange();
    }
}

bool PanelSession::ContactLost() const {
    const int64_t last = lastAnswer_;
    return linkStatus_ != kStatusOk || last == kNever ||
           NowSeconds() - last > timing_.silence.count();
}

// False when the step failed. A step cut short by Close leaves the status alone.
bool PanelSession::StepSucceeded(int status) {
    if (status == kStatusOk) {
        return true;
    }
    if (!stopRequested_) {
        SetLinkStatus(status);
    }
    return false;
}

void PanelSession::RunStartSequence() {
    if (!StepSucceeded(Identify())) {
        return;
    }
    SetLinkStatus(kStatusOk);
    if (!StepSucceeded(ReadPanelInfo()) || !StepSucceeded(ReadParameters(true))) {
        return;
    }
    if (StepSucceeded(SetMonitoringMode(true))) {
        ++startSequences_;
    }
}

}  // namespace tk358
