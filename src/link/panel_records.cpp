// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/panel_records.h"

#include <algorithm>
#include <string_view>

#include "link/panel_clock.h"

namespace tk358 {

namespace {

constexpr std::string_view kIdentificationHead = "020A00:0358:";

// Device type by hardware variant; -1 leaves the type as it was.
int DeviceTypeOfVariant(int variant) {
    switch (variant) {
        case 0:
        case 2:
            return -1;
        case 1:
            return kVentilationController;
        case 3:
            return kThresholdRegulator;
        case 5:
            return kDualZoneController;
        default:
            return kUnknownDevice;
    }
}

// Several status lines carry two digits at 7-8 that must both be zero; any
// other value marks a line this program does not read.
bool ZeroDigits(const AnswerLine& line) {
    return line.Digit(7) == 0 && line.Digit(8) == 0;
}

uint8_t Flag(bool bit) {
    return bit ? 1 : 0;
}

// A status line filled `record`: its reading is valid and as fresh as now.
template <class Record>
void Filled(Record& record) {
    record.valid = 1;
    record.filledAt = MonotonicClock::now();
}

}  // namespace

int PanelRecords::DecodeIdentification(const AnswerLine& line) {
    if (line.length < 25 || !line.StartsWith(kIdentificationHead)) {
        return kStatusFailed;
    }
    const bool complete = line.length >= 35;
    const auto lock = LockForStore();
    PanelIdentity& id = identity_;
    id.hardwareVariant = static_cast<uint16_t>(line.Unsigned(12, 2));
    if (const int type = DeviceTypeOfVariant(id.hardwareVariant); type >= 0) {
        id.deviceType = static_cast<uint8_t>(type);
    }
    id.firmwareVersion = static_cast<int32_t>(line.Unsigned(14, 2) * 100 + line.Unsigned(16, 2));
    id.noNumber = Flag(line.Bit(25, 0));
    if (!complete) {
        id.serialNumber = 0;
        id.options = {};
        id.deviceType = kUnknownDevice;
    } else {
        id.serialNumber = static_cast<uint16_t>(line.Unsigned(27, 4));
        id.options = {Flag(line.Bit(32, 3)), Flag(line.Bit(35, 0)), Flag(line.Bit(35, 1)),
                      Flag(line.Bit(35, 2)), Flag(line.Bit(35, 3)), Flag(line.Bit(34, 0))};
        if (id.hardwareVariant == 0) {
            id.deviceType = line.Bit(33, 0) ? kDrainValveController : kTemperatureController;
        }
    }
    id.identified = 1;
    // Whatever was read before this answer may come from another panel, or
    // from this one before it went away.
    contactSince_ = MonotonicClock::now();
    return kStatusOk;
}

int PanelRecords::DecodeTemperature(const AnswerLine& line) {
    if (line.length < 51) {
        return kStatusFailed;
    }
    const auto lock = LockForStore();
    temperature_.temperature = static_cast<double>(line.Signed(12, 8)) / 100.0;
    temperature_.sensorError = Flag(line.Bit(10, 0));
    Filled(temperature_);
    return kStatusOk;
}

int PanelRecords::DecodeSetpoint(const AnswerLine& line) {
    const auto lock = LockForStore();
    SetpointReading& sp = setpoint_;
    sp.faultA = Flag(line.Bit(7, 0));
    sp.faultB = Flag(line.Bit(7, 1));
    sp.faultC = Flag(line.Bit(7, 2));
    sp.error = Flag(sp.faultA || sp.faultB || sp.faultC);
    if (sp.error == 0 && line.length < 21) {
        return kStatusFailed;
    }
    sp.setpoint = static_cast<int32_t>(line.Signed(10, 8));
    Filled(sp);
    return kStatusOk;
}

int PanelRecords::DecodeDualSetpoint(const AnswerLine& line) {
    if (!ZeroDigits(line)) {
        return kStatusOk;
    }
    const auto lock = LockForStore();
    SetpointReading& sp = setpoint_;
    sp.error = Flag(line.Bit(11, 0));
    sp.faultA = Flag(line.Bit(10, 0));
    sp.faultB = Flag(line.Bit(10, 1));
    sp.faultC = 0;
    if (sp.error == 0 && line.length < 24) {
        return kStatusFailed;
    }
    sp.setpoint = static_cast<int32_t>(line.Signed(13, 8));
    Filled(sp);
    return kStatusOk;
}

int PanelRecords::DecodeRegulator(const AnswerLine& line) {
    if (line.length < 88) {
        return kStatusFailed;
    }
    if (!ZeroDigits(line)) {
        return kStatusOk;
    }
    if (line.Bit(11, 0)) {
        return kStatusFailed;
    }
    const auto lock = LockForStore();
    RegulatorState& r = regulator_;
    r.cvLock = Flag(line.Bit(11, 1));
    r.error = line.Float(13);
    r.processValue = line.Float(22);
    r.controlValue = line.Float(31);
    r.loopTerm1 = line.Float(40);
    r.loopTerm2 = line.Float(49);
    r.loopTerm3 = line.Float(58);
    r.pvDerivative1 = line.Float(67);
    r.pvDerivative2 = line.Float(76);
    r.loopPeriod = static_cast<int32_t>(line.Unsigned(85, 4));
    Filled(r);
    return kStatusOk;
}

int PanelRecords::DecodeValve(const AnswerLine& line) {
    if (line.length < 49) {
        return kStatusFailed;
    }
    if (!ZeroDigits(line)) {
        return kStatusOk;
    }
    const auto lock = LockForStore();
    ValveState& v = valve_;
    v.position = line.Float(10) / 10.0;
    v.timer1 = line.Field32(19);
    v.timer2 = line.Field32(28);
    v.commandCode = line.Digit(38);
    v.motorRunning = Flag(line.Bit(40, 0));
    v.opening = Flag(line.Bit(40, 1));
    v.commandValue = static_cast<int32_t>(line.Unsigned(42, 4));
    Filled(v);
    return kStatusOk;
}

int PanelRecords::DecodeDrainValve(const AnswerLine& line) {
    if (line.length < 29) {
        return kStatusFailed;
    }
    const auto lock = LockForStore();
    drainValve_.timer1 = line.Field32(7);
    drainValve_.timer2 = line.Field32(16);
    drainValve_.stateCode = static_cast<uint16_t>(line.Unsigned(25, 2));
    drainValve_.valveOpen = static_cast<uint16_t>(line.Unsigned(28, 2));
    Filled(drainValve_);
    return kStatusOk;
}

int PanelRecords::DecodeVentilation(const AnswerLine& line) {
    if (line.length < 29) {
        return kStatusFailed;
    }
    const auto lock = LockForStore();
    ventilation_.virtualFanBits = static_cast<uint16_t>(line.Unsigned(7, 2));
    ventilation_.fanBits = static_cast<uint16_t>(line.Unsigned(10, 2));
    ventilation_.timeCounter = line.Field32(13);
    ventilation_.periodStartCounter = line.Field32(22);
    Filled(ventilation_);
    return kStatusOk;
}

int PanelRecords::DecodeActiveZone(const AnswerLine& line) {
    if (line.length < 14) {
        return kStatusFailed;
    }
    const auto lock = LockForStore();
    activeZone_.zone = static_cast<uint8_t>(line.Unsigned(7, 2));
    Filled(activeZone_);
    return kStatusOk;
}

int PanelRecords::DecodeRelay(const AnswerLine& line) {
    if (line.length < 14) {
        return kStatusFailed;
    }
    const auto lock = LockForStore();
    relay_.relay1 = static_cast<uint16_t>(line.Unsigned(7, 2));
    relay_.relay2 = static_cast<uint16_t>(line.Unsigned(10, 2));
    relay_.loopPeriod = static_cast<uint32_t>(line.Unsigned(13, 4));
    Filled(relay_);
    return kStatusOk;
}

int PanelRecords::DecodeClock(const AnswerLine& line) {
    if (line.length < 10 || line.Bit(8, 0)) {
        return kStatusFailed;
    }
    const SystemTime time = DecodePanelSeconds(static_cast<uint32_t>(line.Unsigned(10, 8)));
    const auto lock = LockForStore();
    clock_.clockEnabled = Flag(line.Bit(8, 2));
    clock_.time = time;
    Filled(clock_);
    return kStatusOk;
}

int PanelRecords::DecodePanelInfo(const AnswerLine& line) {
    if (line.length < 9) {
        return kStatusFailed;
    }
    const auto lock = LockForStore();
    PanelInfo& info = panelInfo_;
    if (line.Bit(8, 0)) {
        info.busy = 1;
        return kStatusBusy;
    }
    const bool hasStatus = line.length > 13;
    const bool hasProbe = line.length > 27;
    info.busy = 0;
    info.present = 1;
    info.status1 = Flag(hasStatus && line.Bit(10, 0));
    info.status2 = Flag(hasStatus && line.Bit(10, 1));
    info.status3 = Flag(hasStatus && line.Bit(10, 2));
    info.status4 = Flag(hasStatus && line.Bit(10, 3));
    info.status5 = Flag(hasStatus && line.Bit(13, 2));
    info.probeCalibrationError = Flag(hasStatus && line.Bit(13, 0));
    info.probeByte = hasProbe ? static_cast<uint16_t>(line.Unsigned(15, 2)) : 0;
    info.probeSerialNumber = hasProbe ? static_cast<uint16_t>(line.Unsigned(18, 4)) : 0;
    info.calibrationMonth = hasProbe ? static_cast<uint16_t>(line.Digit(27) + 1) : 0;
    info.calibrationYear = hasProbe ? static_cast<uint16_t>(line.Digit(26) + 2001) : 0;
    info.valid = 1;
    return kStatusOk;
}

int PanelRecords::DecodeParameterRead(const AnswerLine& line, int& code) {
    if (line.length < 17 || line.Bit(13, 0)) {
        return kStatusFailed;
    }
    const bool isSigned = line.Bit(15, 3);
    const bool failed = line.Bit(15, 2);
    const int count = line.Digit(16) & 7;
    if (failed || count == 0 || line.length < 2 * count + 18) {
        return kStatusFailed;
    }
    code = static_cast<int>(line.Unsigned(7, 4));
    const int64_t value =
        isSigned ? line.Signed(18, 2 * count) : static_cast<int64_t>(line.Unsigned(18, 2 * count));
    const auto lock = LockForStore();
    parameters_.Store(code, value);
    return kStatusOk;
}

int PanelRecords::DecodeParameterWrite(const AnswerLine& line) {
    return line.length >= 19 && !line.Bit(19, 0) ? kStatusOk : kStatusFailed;
}

bool PanelRecords::ParameterMatches(int code, int64_t value) const {
    std::lock_guard<std::mutex> lock(dataLock_);
    return parameters_.Matches(code, value);
}

void PanelRecords::StoreParameter(int code, int64_t value) {
    const auto lock = LockForStore();
    parameters_.Store(code, value);
}

void PanelRecords::SetReadComplete(int deviceType) {
    const auto lock = LockForStore();
    parameters_.SetReadComplete(deviceType);
}

void PanelRecords::EndContact() {
    const auto lock = LockForStore();
    identity_.identified = 0;
    contactSince_ = MonotonicClock::now();
}

void PanelRecords::StartContact() {
    const auto lock = LockForStore();
    identity_ = {};
    temperature_ = {};
    setpoint_ = {};
    regulator_ = {};
    valve_ = {};
    drainValve_ = {};
    ventilation_ = {};
    activeZone_ = {};
    relay_ = {};
    clock_ = {};
    panelInfo_ = {};
    parameters_ = {};
    contactSince_ = MonotonicClock::now();
}

void PanelRecords::NoteChange() {
    const auto lock = LockForStore();
}

void PanelRecords::SetListener(RecordsListener* listener) {
    std::lock_guard<std::mutex> lock(listenerLock_);
    listener_ = listener;
}

void PanelRecords::TellListener() {
    std::lock_guard<std::mutex> lock(listenerLock_);
    if (listener_ != nullptr) {
        listener_->RecordsChanged();
    }
}

RecordsVersion PanelRecords::Version() const {
    const MonotonicTime now = MonotonicClock::now();
    std::lock_guard<std::mutex> lock(dataLock_);
    RecordsVersion version{changes_, MonotonicTime::max()};
    const auto consider = [&](const auto& record) {
        if (record.valid != 0 && ReadingIsCurrent(record.filledAt, contactSince_, now, freshFor_)) {
            version.freshUntil = std::min(version.freshUntil, record.filledAt + freshFor_);
        }
    };
    consider(temperature_);
    consider(setpoint_);
    consider(regulator_);
    consider(valve_);
    consider(drainValve_);
    consider(ventilation_);
    consider(activeZone_);
    consider(relay_);
    consider(clock_);
    return version;
}

}  // namespace tk358
