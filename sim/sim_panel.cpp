// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/sim_panel.h"

#include <algorithm>

#include "sim/panel_lines.h"
#include "sim/sim_codec.h"

namespace tk358::sim {

namespace {

using std::chrono::milliseconds;

constexpr std::size_t kMaxRequest = 256;
constexpr milliseconds kProcessSlice{100};
constexpr milliseconds kForever = milliseconds::max();

bool IsUpperHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// Code, data and checksum in upper-case hex pairs whose bytes sum to 0 mod 256.
bool IsValidRequest(std::string_view text) {
    if (text.size() < 8 || text.size() % 2 != 0 ||
        !std::all_of(text.begin(), text.end(), IsUpperHex)) {
        return false;
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        sum += ParseHex(text.substr(i, 2));
    }
    return (sum & 0xFFu) == 0;
}

bool HasRegulator(int kind) {
    return kind == kKindTemperature || kind == kKindDrainValve || kind == kKindDualZone;
}

SimConfig KnownKind(SimConfig config) {
    if (config.kind < 0 || config.kind >= kKindCount) {
        config.kind = kKindDualZone;
    }
    return config;
}

}  // namespace

SimPanel::SimPanel(const SimConfig& config)
    : config_(KnownKind(config)),
      parameters_(config_.kind, config_.firmwareVersion),
      process_(config_.kind),
      monitoring_(config.monitoring),
      clockBase_(config.clockSeconds.value_or(0)) {
    nextStatus_ = config_.statusPeriod;
    StepProcess(milliseconds{0});
}

void SimPanel::Receive(std::string_view bytes) {
    for (char byte : bytes) {
        if (dropping_) {
            // An overlong request is dropped whole, up to and with its CR LF.
            dropping_ = !(lastDropped_ == '\r' && byte == '\n');
            lastDropped_ = byte;
            continue;
        }
        lineBuffer_ += byte;
        if (lineBuffer_.ends_with("\r\n")) {
            const std::string line = std::move(lineBuffer_);
            lineBuffer_.clear();
            HandleLine(line);
        } else if (lineBuffer_.size() >= kMaxRequest) {
            dropping_ = true;
            lastDropped_ = byte;
            lineBuffer_.clear();
        }
    }
}

void SimPanel::HandleLine(std::string_view line) {
    RecordedFrame frame{std::string(line), now_, false};
    const std::string_view text = line.substr(0, line.size() - 2);
    if (!Silent() && IsValidRequest(text)) {
        const std::string_view data = text.substr(6, text.size() - 8);
        if (std::optional<std::string> answer = Answer(text.substr(0, 6), data)) {
            frame.accepted = true;
            Send(std::move(*answer), true);
        }
    }
    frames_.push_back(std::move(frame));
}

std::optional<std::string> SimPanel::Answer(std::string_view code, std::string_view data) {
    if (code == "020A00" && data.empty()) {
        return IdentificationLine(config_);
    }
    if (code == "050100" && data.empty()) {
        return PanelInfoLine(config_, faults_.busyPanelInfo);
    }
    if (code == "028600" && data.size() == 4) {
        return AnswerParameterRead(data);
    }
    if (code == "028700" && data.size() == 8) {
        return AnswerParameterWrite(data);
    }
    if (code == "023000" && data.size() == 4) {
        SetMonitoring(ParseHex(data) != 0);
        return EchoLine(code, data);
    }
    if (code == "028100" && data.size() == 8) {
        return AnswerSetpoint(data);
    }
    if (code == "028400" && data.size() == 8) {
        return AnswerCv(data);
    }
    if (code == "028500" && data.size() == 2) {
        return AnswerCvLock(data);
    }
    if (code == "031000" && data.size() == 8) {
        return AnswerClock(data);
    }
    return std::nullopt;
}

// The single set point belongs to the temperature and drain-valve controllers;
// the other kinds do not know the command and stay silent.
std::optional<std::string> SimPanel::AnswerSetpoint(std::string_view data) {
    if (Kind() != kKindTemperature && Kind() != kKindDrainValve) {
        return std::nullopt;
    }
    parameters_.Set(0, static_cast<int32_t>(ParseHex(data)));
    StepProcess(milliseconds{0});
    return EchoLine("028100", data);
}

std::optional<std::string> SimPanel::AnswerCv(std::string_view data) {
    if (Kind() != kKindTemperature && Kind() != kKindDualZone) {
        return std::nullopt;
    }
    process_.SetControlValue(FloatValue(ParseHex(data)));
    return EchoLine("028400", data);
}

std::optional<std::string> SimPanel::AnswerCvLock(std::string_view data) {
    if (Kind() != kKindDualZone) {
        return std::nullopt;
    }
    cvLock_ = ParseHex(data) != 0;
    return EchoLine("028500", data);
}

std::optional<std::string> SimPanel::AnswerClock(std::string_view data) {
    if (Kind() != kKindDualZone && Kind() != kKindThreshold) {
        return std::nullopt;
    }
    SetClockSeconds(ParseHex(data));
    return EchoLine("031000", data);
}

std::string SimPanel::AnswerParameterRead(std::string_view data) {
    const int code = static_cast<int>(ParseHex(data));
    return ParameterReadLine(code, FindParameter(Kind(), config_.firmwareVersion, code),
                             parameters_.Get(code), faults_.parameterReadError);
}

// A value arrives one byte per frame, most significant first, and is taken
// when its last byte comes. A byte out of order abandons the value.
std::string SimPanel::AnswerParameterWrite(std::string_view data) {
    const int code = static_cast<int>(ParseHex(data.substr(0, 4)));
    const int index = static_cast<int>(ParseHex(data.substr(4, 2)));
    const uint32_t byte = ParseHex(data.substr(6, 2));
    const std::optional<ParameterSpec> spec = FindParameter(Kind(), config_.firmwareVersion, code);
    bool ok = spec && spec->writable && !faults_.refuseParameterWrites && index < spec->width;
    if (ok && index == 0) {
        writeCode_ = code;
        writeRaw_ = byte;
        writeNextIndex_ = 1;
    } else if (ok && writeCode_ == code && writeNextIndex_ == index) {
        writeRaw_ = (writeRaw_ << 8) | byte;
        ++writeNextIndex_;
    } else {
        ok = false;
    }
    if (!ok) {
        writeCode_ = -1;
    } else if (writeNextIndex_ == spec->width) {
        parameters_.Set(code, ValueFromBytes(writeRaw_, spec->width, spec->readSigned));
        writeCode_ = -1;
        StepProcess(milliseconds{0});
    }
    return ParameterWriteLine(code, index, static_cast<int>(byte), !ok);
}

void SimPanel::Send(std::string line, bool answer) {
    if (Silent()) {
        return;
    }
    if (answer && faults_.dropEveryNthAnswer > 0 &&
        ++answerCount_ % faults_.dropEveryNthAnswer == 0) {
        return;
    }
    if (faults_.shortLines && line.starts_with(faults_.shortPrefix)) {
        line = ShortenLine(line);
    }
    if (faults_.noisyStatusLines && !answer) {
        line = NoisyLine(line);
    }
    std::string bytes;
    if (faults_.garbageBetweenLines) {
        bytes += GarbageLine();
    }
    if (faults_.overlongLines) {
        bytes += OverlongLine();
    }
    output_.push_back({bytes + line, answer});
}

void SimPanel::Advance(milliseconds dt) {
    if (dt <= milliseconds{0}) {
        return;
    }
    now_ += dt;
    if (silentUntil_ && *silentUntil_ != kForever && now_ >= *silentUntil_) {
        silentUntil_.reset();
    }
    StepProcess(dt);
    if (!monitoring_ || now_ < nextStatus_) {
        return;
    }
    for (std::string& line : StatusLines()) {
        Send(std::move(line), false);
    }
    // After a long step one burst stands for all the missed ones.
    nextStatus_ += config_.statusPeriod;
    if (nextStatus_ <= now_) {
        nextStatus_ = now_ + config_.statusPeriod;
    }
}

// The process moves in fixed 100 ms slices, each seeing the clock of its own
// time, so a run is the same however the time is handed in. A zero step only
// refreshes the zone and the set point.
void SimPanel::StepProcess(milliseconds dt) {
    ProcessInputs in;
    in.parameters = &parameters_;
    in.zonesByClock = config_.firmwareVersion > 100;
    in.cvLock = CvLock();
    if (dt <= milliseconds{0}) {
        in.clockSeconds = ClockSeconds();
        process_.Step(0.0, in);
        return;
    }
    while (processedUntil_ + kProcessSlice <= now_) {
        processedUntil_ += kProcessSlice;
        in.clockSeconds = ClockSecondsAt(processedUntil_);
        process_.Step(std::chrono::duration<double>(kProcessSlice).count(), in);
    }
}

std::vector<OutgoingLine> SimPanel::TakeOutput() {
    std::vector<OutgoingLine> lines(std::make_move_iterator(output_.begin()),
                                    std::make_move_iterator(output_.end()));
    output_.clear();
    return lines;
}

std::optional<milliseconds> SimPanel::TimeToNextStatus() const {
    if (!monitoring_) {
        return std::nullopt;
    }
    return std::max(milliseconds{0}, nextStatus_ - now_);
}

void SimPanel::SilenceFor(milliseconds duration) {
    if (duration >= kForever - now_) {
        silentUntil_ = kForever;
    } else {
        silentUntil_ = now_ + std::max(milliseconds{0}, duration);
    }
}

void SimPanel::SilenceUntilResumed() {
    silentUntil_ = kForever;
}

void SimPanel::Resume() {
    silentUntil_.reset();
}

bool SimPanel::Silent() const {
    return silentUntil_.has_value() && now_ < *silentUntil_;
}

bool SimPanel::SetParameter(int code, int64_t value) {
    const bool known = parameters_.Set(code, value);
    StepProcess(milliseconds{0});
    return known;
}

void SimPanel::SetMonitoring(bool on) {
    if (on && !monitoring_) {
        nextStatus_ = now_ + config_.statusPeriod;
    }
    monitoring_ = on;
}

void SimPanel::SetClockSeconds(uint32_t seconds) {
    clockBase_ = seconds;
    clockSetAt_ = now_;
    StepProcess(milliseconds{0});
}

uint32_t SimPanel::ClockSeconds() const {
    return ClockSecondsAt(now_);
}

uint32_t SimPanel::ClockSecondsAt(milliseconds at) const {
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(at - clockSetAt_);
    return clockBase_ + static_cast<uint32_t>(std::max<int64_t>(0, elapsed.count()));
}

bool SimPanel::CvLock() const {
    if (Kind() == kKindDualZone) {
        return cvLock_;
    }
    return (Kind() == kKindTemperature || Kind() == kKindDrainValve) && parameters_.Get(38) != 0;
}

std::vector<std::string> SimPanel::StatusLines() const {
    const ProcessValues& v = process_.Values();
    const int kind = Kind();
    std::vector<std::string> lines{TemperatureLine(v.temperature, faults_.sensorFault)};
    if (kind == kKindTemperature || kind == kKindDrainValve) {
        lines.push_back(SetpointLine(v.setpoint, faults_.setpointFaultBits));
    } else if (kind == kKindDualZone) {
        lines.push_back(DualSetpointLine(v.setpoint, faults_.setpointFaultBits));
    }
    if (HasRegulator(kind)) {
        lines.push_back(RegulatorLine(v.regulator, CvLock(), faults_.regulatorError));
    }
    if (kind == kKindTemperature || kind == kKindDualZone) {
        lines.push_back(ValveLine(v.valve));
    } else if (kind == kKindDrainValve) {
        lines.push_back(DrainValveLine(v.drain));
    } else if (kind == kKindVentilation) {
        lines.push_back(VentilationLine(v.ventilation));
    }
    if (kind == kKindDualZone || kind == kKindThreshold) {
        lines.push_back(ActiveZoneLine(v.zone));
    }
    if (kind == kKindThreshold) {
        lines.push_back(RelayLine(v.relays));
    }
    if (kind == kKindDualZone || kind == kKindThreshold) {
        lines.push_back(ClockLine(ClockSeconds(), config_.clockEnabled, faults_.clockError));
    }
    return lines;
}

}  // namespace tk358::sim
