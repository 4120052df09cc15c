// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The panel's parameters in one table. Each code has its name here (the
// param:: constants, which every user writes instead of the number), the key
// it has in a settings file, the label the dialogs show, how it travels (byte
// width and sign of a write), its cache slot, how a cached value is read and
// shown (scale, unit, signed or unsigned, time of day), the bounds the dialogs
// hold it to, and the panel kinds that have it. What each kind reads and
// writes together is in kind_codes.h.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/kind_codes.h"
#include "link/records.h"

namespace tk358 {

namespace param {

// Temperature controller (kind 0); the set point also on the drain-valve controller.
inline constexpr int kSetpoint = 0;
inline constexpr int kKp = 1;
inline constexpr int kTi = 6;
inline constexpr int kTd = 7;
inline constexpr int kTa = 8;
inline constexpr int kValveOpenTime = 32;
inline constexpr int kValveCloseTime = 33;
inline constexpr int kDeadTime = 34;
inline constexpr int kMinStandstill = 35;  // before a change of direction
inline constexpr int kDeadBand = 36;
inline constexpr int kMinOnTime = 37;
inline constexpr int kCvLock = 38;
// Drain-valve controller (kind 1).
inline constexpr int kDrainTime = 64;
inline constexpr int kCloseDelay = 65;  // after the temperature is reached
inline constexpr int kDeviation = 66;   // temperature correctness deviation
// Ventilation controller TK-358W (kind 2).
inline constexpr int kVentT1 = 72;
inline constexpr int kVentT2 = 73;
inline constexpr int kVentH1 = 74;
inline constexpr int kVentH2 = 75;
inline constexpr int kAiring = 76;  // airing function FP, 0 or 1
inline constexpr int kFans = 77;    // bit 0 fan 1, bit 1 fan 2
inline constexpr int kAiringTime = 78;
inline constexpr int kAiringPeriod = 79;
inline constexpr int kAiringThreshold = 80;
// Threshold regulator TK-358C (kind 4): the day set; from firmware 1.01 on
// also the zone starts, the night set and the channel count.
inline constexpr int kDayT1 = 90;
inline constexpr int kDayT2 = 91;
inline constexpr int kDayH1 = 92;
inline constexpr int kDayH2 = 93;
inline constexpr int kDayStart = 95;
inline constexpr int kNightT1 = 160;
inline constexpr int kNightT2 = 161;
inline constexpr int kNightH1 = 162;
inline constexpr int kNightH2 = 163;
inline constexpr int kNightStart = 164;
inline constexpr int kChannels = 165;
// Dual-zone temperature controller TK-358D (kind 3).
inline constexpr int kZone1Kp = 128;
inline constexpr int kZone1Ti = 129;
inline constexpr int kZone1Td = 130;
inline constexpr int kZone1Ta = 131;
inline constexpr int kZone1Setpoint = 132;
inline constexpr int kZone2Kp = 133;
inline constexpr int kZone2Ti = 134;
inline constexpr int kZone2Td = 135;
inline constexpr int kZone2Ta = 136;
inline constexpr int kZone2Setpoint = 137;
inline constexpr int kZone1SwitchOn = 138;
inline constexpr int kZone2SwitchOn = 139;
inline constexpr int kDualValveOpenTime = 140;
inline constexpr int kDualValveCloseTime = 141;
inline constexpr int kDualDeadTime = 142;
inline constexpr int kDualMinStandstill = 143;
inline constexpr int kDualDeadBand = 144;
inline constexpr int kDualMinOnTime = 145;
inline constexpr int kDualReverse = 146;  // reverse-acting regulation
// Settings that travel by commands of their own and have no parameter code:
// numbered above the panel's codes, so no parameter read or write takes them.
inline constexpr int kCv = 1000;          // "028400"; shown from the regulator state
inline constexpr int kDualCvLock = 1001;  // "028500"; shown from the regulator state

}  // namespace param

// How a setting reaches the panel.
enum class Transport : uint8_t {
    kParameter,  // "028700" byte by byte, read back with "028600"
    kSetpoint,   // "028100", read back with "028600" (param::kSetpoint)
    kCv,         // "028400", a float (param::kCv)
    kCvLock,     // "028500" (param::kDualCvLock)
};

struct ParameterWriteFormat {
    int width = 0;  // bytes, 1, 2 or 4
    bool isSigned = false;
};

struct ParameterWire {
    Transport transport = Transport::kParameter;
    ParameterWriteFormat format;  // of a parameter write, or of the command's value
};

// How a cached value is read for showing. The panel answers a read with its
// own width and sign; a code written without a sign may come back signed and
// the other way round, so the program reads each code one way everywhere.
enum class Readback : uint8_t {
    kAsAnswered,  // the 32-bit slot as the answer gave it
    kSigned16,
    kUnsigned16,
    kUnsigned8,
};

enum class ShownAs : uint8_t {
    kNumber,     // the value divided by the scale: "%d", "%.01f" or "%.02f"
    kTimeOfDay,  // 10-minute steps since midnight, "%d:%02d"
    kReal,       // a real number in the unit, not scaled (CV)
};

struct ValueFormat {
    ShownAs shown = ShownAs::kNumber;
    int scale = 1;          // stored units to one shown unit: 1, 10 or 100
    const char* unit = "";  // UTF-8
};

// Inclusive, in the stored unit.
struct ParameterBounds {
    int min = 0;
    int max = 0;

    constexpr bool Admit(double value) const { return value >= min && value <= max; }
    friend constexpr bool operator==(const ParameterBounds&, const ParameterBounds&) = default;
};

struct ParameterInfo {
    int code = -1;
    const char* key = "";    // settings-file key: the constant's name in upper case
    const char* label = "";  // as a dialog shows it, UTF-8
    ParameterWire wire;
    int slotBits = 0;  // cache slot: 32, 16, or 0 for none
    Readback readback = Readback::kAsAnswered;
    ValueFormat format;
    ParameterBounds bounds;
    uint8_t kinds = 0;           // bit k: panel kind k
    bool laterFirmware = false;  // threshold regulator: from firmware 1.01 on
};

// Firmware from which the threshold regulator has the zone starts, the night
// set and the channel count (above 1.00).
inline constexpr int kThresholdExtrasFirmware = 100;

namespace param_table {

constexpr uint8_t K(int kind) {
    return static_cast<uint8_t>(1u << kind);
}
constexpr uint8_t kAllButDualZone = K(0) | K(1) | K(2) | K(4);

using R = Readback;
constexpr ParameterWire kU2{Transport::kParameter, {2, false}};
constexpr ParameterWire kS1{Transport::kParameter, {1, true}};
constexpr ParameterWire kS2{Transport::kParameter, {2, true}};
constexpr ParameterWire kS4{Transport::kParameter, {4, true}};
constexpr ParameterWire kU4{Transport::kParameter, {4, false}};
constexpr ParameterWire kBySetpointCommand{Transport::kSetpoint, {4, true}};  // "%08X"
constexpr ParameterWire kByCvCommand{Transport::kCv, {4, false}};             // float pattern
constexpr ParameterWire kByCvLockCommand{Transport::kCvLock, {1, false}};     // "%02X"

constexpr ValueFormat kWhole{ShownAs::kNumber, 1, ""};
constexpr ValueFormat kSeconds{ShownAs::kNumber, 1, "s"};
constexpr ValueFormat kMinutes{ShownAs::kNumber, 1, "min"};
constexpr ValueFormat kTenths{ShownAs::kNumber, 10, ""};
constexpr ValueFormat kTenthsSeconds{ShownAs::kNumber, 10, "s"};
constexpr ValueFormat kTenthsPercent{ShownAs::kNumber, 10, "%"};
constexpr ValueFormat kTenthsCelsius{ShownAs::kNumber, 10, "°C"};
constexpr ValueFormat kHundredthsCelsius{ShownAs::kNumber, 100, "°C"};
constexpr ValueFormat kTimeOfDay{ShownAs::kTimeOfDay, 1, ""};
constexpr ValueFormat kPercent{ShownAs::kReal, 1, "%"};

constexpr ParameterBounds kSetpointBounds{-20000, 55000};  // -200.00 .. 550.00 °C
constexpr ParameterBounds kPidBounds{0, 9999};
constexpr ParameterBounds kTimeBounds{0, 9999};           // 0 .. 999.9 s
constexpr ParameterBounds kMinOnBounds{1, 9999};          // 0.1 .. 999.9 s
constexpr ParameterBounds kByteTenths{0, 255};            // 0 .. 25.5
constexpr ParameterBounds kThresholdBounds{-2000, 5500};  // -200.0 .. 550.0 °C
constexpr ParameterBounds kFlag{0, 1};
constexpr ParameterBounds kDayBounds{0, 143};  // 0:00 .. 23:50

// clang-format off
inline constexpr ParameterInfo kParameters[] = {
    // code, key, label, wire, slot bits, readback, format, bounds, kinds, later firmware
    {param::kSetpoint, "SETPOINT", "Wartość zadana", kBySetpointCommand, 32, R::kAsAnswered, kHundredthsCelsius, kSetpointBounds, K(0) | K(1)},
    {param::kKp, "KP", "KP", kU2, 32, R::kAsAnswered, kTenths, kPidBounds, K(0)},
    {param::kTi, "TI", "TI", kS4, 32, R::kAsAnswered, kSeconds, kPidBounds, K(0)},
    {param::kTd, "TD", "TD", kS4, 32, R::kAsAnswered, kSeconds, kPidBounds, K(0)},
    {param::kTa, "TA", "TA", kS4, 32, R::kAsAnswered, kSeconds, kPidBounds, K(0)},
    {param::kValveOpenTime, "VALVE_OPEN_TIME", "Czas otw. zaworu", kS2, 32, R::kAsAnswered, kTenthsSeconds, kTimeBounds, K(0)},
    {param::kValveCloseTime, "VALVE_CLOSE_TIME", "Czas zam. zaworu", kS2, 32, R::kAsAnswered, kTenthsSeconds, kTimeBounds, K(0)},
    {param::kDeadTime, "DEAD_TIME", "Czas niecz. sterow.", kS2, 32, R::kAsAnswered, kTenthsSeconds, kTimeBounds, K(0)},
    {param::kMinStandstill, "MIN_STANDSTILL", "Minimalny czas postoju", kS2, 32, R::kAsAnswered, kTenthsSeconds, kTimeBounds, K(0)},
    // One byte written signed: 25.5 % comes back as -1 from a panel that
    // answers with the sign, so it is read as the unsigned byte.
    {param::kDeadBand, "DEAD_BAND", "Nieczułość sterowania", kS1, 32, R::kUnsigned8, kTenthsPercent, kByteTenths, K(0)},
    {param::kMinOnTime, "MIN_ON_TIME", "Minimalny czas ruchu", kS2, 32, R::kAsAnswered, kTenthsSeconds, kMinOnBounds, K(0)},
    // Every kind but the dual-zone controller has it; only the temperature
    // controller's full read fetches it, and only its CV dialog writes it.
    {param::kCvLock, "CV_LOCK", "Blokada CV", kS1, 32, R::kAsAnswered, kWhole, kFlag, kAllButDualZone},
    {param::kDrainTime, "DRAIN_TIME", "Czas zrzutu", kS2, 32, R::kAsAnswered, kTenthsSeconds, kTimeBounds, K(1)},
    {param::kCloseDelay, "CLOSE_DELAY", "Opóźnienie zamk. zaw.", kS2, 32, R::kAsAnswered, kTenthsSeconds, kTimeBounds, K(1)},
    {param::kDeviation, "DEVIATION", "Odchyłka popr. temp.", kS2, 32, R::kAsAnswered, kTenthsCelsius, {0, 999}, K(1)},
    // Thresholds are written without a sign; below zero they must show as such.
    {param::kVentT1, "VENT_T1", "Próg T1", kU2, 32, R::kSigned16, kTenthsCelsius, kThresholdBounds, K(2)},
    {param::kVentT2, "VENT_T2", "Próg T2", kU2, 32, R::kSigned16, kTenthsCelsius, kThresholdBounds, K(2)},
    {param::kVentH1, "VENT_H1", "Histereza H1", kS2, 32, R::kAsAnswered, kTenthsCelsius, kByteTenths, K(2)},
    {param::kVentH2, "VENT_H2", "Histereza H2", kS2, 32, R::kAsAnswered, kTenthsCelsius, kByteTenths, K(2)},
    {param::kAiring, "AIRING", "Funkcja wietrzenia", kS1, 32, R::kAsAnswered, kWhole, kFlag, K(2)},
    {param::kFans, "FANS", "Wentylatory IL", kS1, 32, R::kAsAnswered, kWhole, {0, 3}, K(2)},
    {param::kAiringTime, "AIRING_TIME", "Czas wietrzenia CP", kS1, 32, R::kAsAnswered, kMinutes, {0, 100}, K(2)},
    {param::kAiringPeriod, "AIRING_PERIOD", "Okres wietrzenia OP", kS1, 32, R::kAsAnswered, kMinutes, {0, 100}, K(2)},
    {param::kAiringThreshold, "AIRING_THRESHOLD", "Próg wietrzenia ZP", kU2, 32, R::kSigned16, kTenthsCelsius, kThresholdBounds, K(2)},
    {param::kDayT1, "DAY_T1", "Próg T1", kU2, 16, R::kSigned16, kTenthsCelsius, kThresholdBounds, K(4)},
    {param::kDayT2, "DAY_T2", "Próg T2", kU2, 16, R::kSigned16, kTenthsCelsius, kThresholdBounds, K(4)},
    {param::kDayH1, "DAY_H1", "Histereza H1", kS2, 16, R::kUnsigned16, kTenthsCelsius, kByteTenths, K(4)},
    {param::kDayH2, "DAY_H2", "Histereza H2", kS2, 16, R::kUnsigned16, kTenthsCelsius, kByteTenths, K(4)},
    {param::kDayStart, "DAY_START", "Początek", kS2, 16, R::kUnsigned16, kTimeOfDay, kDayBounds, K(4), true},
    {param::kZone1Kp, "ZONE1_KP", "KP", kU2, 32, R::kAsAnswered, kTenths, kPidBounds, K(3)},
    {param::kZone1Ti, "ZONE1_TI", "TI", kS2, 32, R::kAsAnswered, kSeconds, kPidBounds, K(3)},
    {param::kZone1Td, "ZONE1_TD", "TD", kS2, 32, R::kAsAnswered, kSeconds, kPidBounds, K(3)},
    {param::kZone1Ta, "ZONE1_TA", "TA", kS2, 32, R::kAsAnswered, kSeconds, kPidBounds, K(3)},
    {param::kZone1Setpoint, "ZONE1_SETPOINT", "Wartość zadana 1", kU4, 32, R::kAsAnswered, kHundredthsCelsius, kSetpointBounds, K(3)},
    {param::kZone2Kp, "ZONE2_KP", "KP", kU2, 32, R::kAsAnswered, kTenths, kPidBounds, K(3)},
    {param::kZone2Ti, "ZONE2_TI", "TI", kS2, 32, R::kAsAnswered, kSeconds, kPidBounds, K(3)},
    {param::kZone2Td, "ZONE2_TD", "TD", kS2, 32, R::kAsAnswered, kSeconds, kPidBounds, K(3)},
    {param::kZone2Ta, "ZONE2_TA", "TA", kS2, 32, R::kAsAnswered, kSeconds, kPidBounds, K(3)},
    {param::kZone2Setpoint, "ZONE2_SETPOINT", "Wartość zadana 2", kU4, 32, R::kAsAnswered, kHundredthsCelsius, kSetpointBounds, K(3)},
    {param::kZone1SwitchOn, "ZONE1_SWITCH_ON", "Czas włączenia", kS2, 32, R::kAsAnswered, kTimeOfDay, kDayBounds, K(3)},
    {param::kZone2SwitchOn, "ZONE2_SWITCH_ON", "Czas włączenia", kS2, 32, R::kAsAnswered, kTimeOfDay, kDayBounds, K(3)},
    {param::kDualValveOpenTime, "DUAL_VALVE_OPEN_TIME", "Czas otw. zaworu", kS2, 32, R::kAsAnswered, kTenthsSeconds, kTimeBounds, K(3)},
    {param::kDualValveCloseTime, "DUAL_VALVE_CLOSE_TIME", "Czas zam. zaworu", kS2, 32, R::kAsAnswered, kTenthsSeconds, kTimeBounds, K(3)},
    {param::kDualDeadTime, "DUAL_DEAD_TIME", "Czas niecz. sterow.", kS2, 32, R::kAsAnswered, kTenthsSeconds, kTimeBounds, K(3)},
    {param::kDualMinStandstill, "DUAL_MIN_STANDSTILL", "Minimalny czas postoju", kS2, 32, R::kAsAnswered, kTenthsSeconds, kTimeBounds, K(3)},
    {param::kDualDeadBand, "DUAL_DEAD_BAND", "Nieczułość sterowania", kS2, 32, R::kAsAnswered, kTenthsPercent, kByteTenths, K(3)},
    {param::kDualMinOnTime, "DUAL_MIN_ON_TIME", "Minimalny czas ruchu", kS2, 32, R::kAsAnswered, kTenthsSeconds, kMinOnBounds, K(3)},
    {param::kDualReverse, "DUAL_REVERSE", "Reg. rewersyjna", kS2, 32, R::kAsAnswered, kWhole, kFlag, K(3)},
    {param::kNightT1, "NIGHT_T1", "Próg T1", kU2, 16, R::kSigned16, kTenthsCelsius, kThresholdBounds, K(4), true},
    {param::kNightT2, "NIGHT_T2", "Próg T2", kU2, 16, R::kSigned16, kTenthsCelsius, kThresholdBounds, K(4), true},
    {param::kNightH1, "NIGHT_H1", "Histereza H1", kS2, 16, R::kUnsigned16, kTenthsCelsius, kByteTenths, K(4), true},
    {param::kNightH2, "NIGHT_H2", "Histereza H2", kS2, 16, R::kUnsigned16, kTenthsCelsius, kByteTenths, K(4), true},
    {param::kNightStart, "NIGHT_START", "Początek", kS2, 16, R::kUnsigned16, kTimeOfDay, kDayBounds, K(4), true},
    {param::kChannels, "CHANNELS", "Liczba aktywnych kanałów regulacji", kS2, 16, R::kUnsigned16, kWhole, {1, 2}, K(4), true},
    {param::kCv, "CV", "CV", kByCvCommand, 0, R::kAsAnswered, kPercent, {-100, 100}, K(0) | K(3)},
    {param::kDualCvLock, "DUAL_CV_LOCK", "Blokada CV", kByCvLockCommand, 0, R::kAsAnswered, kWhole, kFlag, K(3)},
};
// clang-format on

inline constexpr ParameterInfo kUnknown{};

}  // namespace param_table

// The entry of a code the table has (a param:: constant); an empty entry
// (code -1, no slot, no write) for any other. Found by index, not by pointer,
// so that it also evaluates at compile time in a sanitizer build.
constexpr const ParameterInfo& Parameter(int code) {
    for (const ParameterInfo& info : param_table::kParameters) {
        if (info.code == code) {
            return info;
        }
    }
    return param_table::kUnknown;
}

// The entry of `code`, or null for a code the table does not have.
inline const ParameterInfo* FindParameter(int code) {
    const ParameterInfo& info = Parameter(code);
    return &info != &param_table::kUnknown ? &info : nullptr;
}

// The entry whose settings-file key is `key`, or null.
const ParameterInfo* FindParameterByKey(std::string_view key);

// A stored value of `code` in the unit shown: divided by the code's scale.
constexpr double InShownUnit(int code, int64_t stored) {
    return static_cast<double>(stored) / Parameter(code).format.scale;
}

// A time of day kept in 10-minute steps since midnight, as hours and minutes.
constexpr int TimeOfDayHours(int steps) {
    return steps / 6;
}
constexpr int TimeOfDayMinutes(int steps) {
    return steps % 6 * 10;
}

// The codes of Kp, Ti, Td and Ta. The dual-zone controller keeps one set per
// zone (zone 0 the first, any other the second); every other kind has the
// temperature controller's set.
struct PidCodes {
    int kp = 0;
    int ti = 0;
    int td = 0;
    int ta = 0;

    friend constexpr bool operator==(const PidCodes&, const PidCodes&) = default;
};
constexpr PidCodes PidCodesFor(int deviceType, int zone) {
    using namespace param;
    if (deviceType != kDualZoneController) {
        return {kKp, kTi, kTd, kTa};
    }
    return zone != 0 ? PidCodes{kZone2Kp, kZone2Ti, kZone2Td, kZone2Ta}
                     : PidCodes{kZone1Kp, kZone1Ti, kZone1Td, kZone1Ta};
}

// The codes of the valve settings: the dual-zone controller's, or for every
// other kind the temperature controller's.
struct ValveCodes {
    int openTime = 0;
    int closeTime = 0;
    int deadTime = 0;
    int minStandstill = 0;
    int deadBand = 0;
    int minOnTime = 0;
};
constexpr ValveCodes ValveCodesFor(int deviceType) {
    using namespace param;
    if (deviceType == kDualZoneController) {
        return {kDualValveOpenTime, kDualValveCloseTime, kDualDeadTime,
                kDualMinStandstill, kDualDeadBand,       kDualMinOnTime};
    }
    return {kValveOpenTime, kValveCloseTime, kDeadTime, kMinStandstill, kDeadBand, kMinOnTime};
}

// None for a code the panel does not take by parameter writes (the set point,
// code 0, and the settings without a code travel by commands of their own).
std::optional<ParameterWriteFormat> WriteFormatOf(int code);

// The two-digit texts of the value's bytes as written to the panel, most
// significant first: the value modulo 256^width (a negative value as its two's
// complement). Empty for a code without a write format.
std::vector<std::string> ParameterByteTexts(int code, int64_t value);

}  // namespace tk358
