// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Records the panel session decodes from the panel's lines. Each is copied out
// whole by a getter; a `valid` byte is 0 until the record has been decoded once
// and is never cleared in the stored record, so a record keeps its last
// contents when the link is lost. A status-line record also carries the
// monotonic time of the line that last filled it; the copy a getter hands out
// has `valid` cleared when that reading is no longer current (fresh_readings.h).

#include <array>
#include <cstdint>

#include "link/fresh_readings.h"

namespace tk358 {

// Link and operation status shared by the session and its callers.
inline constexpr int kStatusOk = 0;
inline constexpr int kStatusBusy = 1;  // panel information answered "busy"
inline constexpr int kStatusFailed = 3;

// Panel kinds (`PanelIdentity::deviceType`).
enum DeviceType : uint8_t {
    kTemperatureController = 0,
    kDrainValveController = 1,
    kVentilationController = 2,  // TK-358W
    kDualZoneController = 3,     // TK-358D
    kThresholdRegulator = 4,     // TK-358C
    kUnknownDevice = 5,
};

// A calendar date and time of day, panel local time. Laid out as the 16 bytes
// the panel clock write compares.
struct SystemTime {
    uint16_t year = 0;
    uint16_t month = 0;      // 1..12
    uint16_t dayOfWeek = 0;  // 0 Sunday .. 6 Saturday
    uint16_t day = 0;        // 1..31
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;

    friend bool operator==(const SystemTime&, const SystemTime&) = default;
};
static_assert(sizeof(SystemTime) == 16);

struct PanelIdentity {
    int32_t firmwareVersion = 0;  // major * 100 + minor, 105 is 1.05
    uint16_t hardwareVariant = 0;
    uint8_t noNumber = 0;  // show the model without the panel number
    uint16_t serialNumber = 0;
    // Option bits, stored as read: digit 32 bit 3; digit 35 bits 0, 1, 2, 3;
    // digit 34 bit 0. Not interpreted anywhere.
    std::array<uint8_t, 6> options{};
    uint8_t deviceType = kUnknownDevice;
    uint8_t identified = 0;

    friend bool operator==(const PanelIdentity&, const PanelIdentity&) = default;
};

struct TemperatureReading {
    double temperature = 0.0;  // °C
    uint8_t sensorError = 0;
    uint8_t valid = 0;
    MonotonicTime filledAt{};  // when the last line filled it

    friend bool operator==(const TemperatureReading&, const TemperatureReading&) = default;
};

struct SetpointReading {
    int32_t setpoint = 0;  // hundredths of °C
    uint8_t error = 0;     // any fault bit set
    uint8_t faultA = 0;
    uint8_t faultB = 0;
    uint8_t faultC = 0;
    uint8_t valid = 0;
    MonotonicTime filledAt{};  // when the last line filled it

    friend bool operator==(const SetpointReading&, const SetpointReading&) = default;
};

struct RegulatorState {
    uint8_t cvLock = 0;
    double error = 0.0;         // E
    double processValue = 0.0;  // PV
    double controlValue = 0.0;  // CV, %
    double loopTerm1 = 0.0;     // P term
    double loopTerm2 = 0.0;     // I term
    double loopTerm3 = 0.0;     // D term
    double pvDerivative1 = 0.0;
    double pvDerivative2 = 0.0;
    int32_t loopPeriod = 0;  // shown x 100 as milliseconds
    uint8_t valid = 0;
    MonotonicTime filledAt{};  // when the last line filled it

    friend bool operator==(const RegulatorState&, const RegulatorState&) = default;
};

struct ValveState {
    double position = 0.0;  // %
    int32_t timer1 = 0;     // tenths of a second
    int32_t timer2 = 0;
    uint8_t motorRunning = 0;
    uint8_t opening = 0;
    int32_t commandCode = 0;   // 1 open, 2 close, 3 correct, 4 break
    int32_t commandValue = 0;  // tenths
    uint8_t valid = 0;
    MonotonicTime filledAt{};  // when the last line filled it

    friend bool operator==(const ValveState&, const ValveState&) = default;
};

struct DrainValveState {
    int32_t timer1 = 0;  // tenths of a second
    int32_t timer2 = 0;
    uint16_t stateCode = 0;  // 0..6: INIT NOCTL DROPREQ INDROP TUNDER WAIT OK
    uint16_t valveOpen = 0;
    uint8_t valid = 0;
    MonotonicTime filledAt{};  // when the last line filled it

    friend bool operator==(const DrainValveState&, const DrainValveState&) = default;
};

struct VentilationState {
    uint16_t virtualFanBits = 0;
    uint16_t fanBits = 0;  // bit 0 fan 1, bit 1 fan 2
    int32_t timeCounter = 0;
    int32_t periodStartCounter = 0;
    uint8_t valid = 0;
    MonotonicTime filledAt{};  // when the last line filled it

    friend bool operator==(const VentilationState&, const VentilationState&) = default;
};

struct ActiveZone {
    uint8_t zone = 0;  // 0 first zone (day set), nonzero second
    uint8_t valid = 0;
    MonotonicTime filledAt{};  // when the last line filled it

    friend bool operator==(const ActiveZone&, const ActiveZone&) = default;
};

struct RelayState {
    uint16_t relay1 = 0;
    uint16_t relay2 = 0;
    uint32_t loopPeriod = 0;  // tenths
    uint8_t valid = 0;
    MonotonicTime filledAt{};  // when the last line filled it

    friend bool operator==(const RelayState&, const RelayState&) = default;
};

struct PanelClock {
    SystemTime time;
    uint8_t clockEnabled = 0;
    uint8_t valid = 0;
    MonotonicTime filledAt{};  // when the last line filled it

    friend bool operator==(const PanelClock&, const PanelClock&) = default;
};

struct PanelInfo {
    uint8_t busy = 0;
    uint8_t present = 0;
    uint8_t status1 = 0;
    uint8_t status2 = 0;
    uint8_t status3 = 0;
    uint8_t status4 = 0;
    uint8_t status5 = 0;
    uint8_t probeCalibrationError = 0;
    uint16_t probeByte = 0;
    uint16_t probeSerialNumber = 0;
    uint16_t calibrationMonth = 0;
    uint16_t calibrationYear = 0;
    uint8_t valid = 0;

    friend bool operator==(const PanelInfo&, const PanelInfo&) = default;
};

}  // namespace tk358
