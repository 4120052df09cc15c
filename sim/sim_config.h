// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a simulated panel is (its identity and probe data) and which faults it
// shows. Plain values: the engine copies them, tests and the command line fill
// them in.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tk358::sim {

// Panel kinds, as the program tells them apart.
inline constexpr int kKindTemperature = 0;
inline constexpr int kKindDrainValve = 1;
inline constexpr int kKindVentilation = 2;  // TK-358W
inline constexpr int kKindDualZone = 3;     // TK-358D
inline constexpr int kKindThreshold = 4;    // TK-358C
inline constexpr int kKindCount = 5;

struct SimConfig {
    int kind = kKindDualZone;

    // Identification answer.
    int hardwareVariant = 5;
    int firmwareVersion = 107;  // major * 100 + minor
    uint16_t serialNumber = 3105;
    bool noNumber = false;
    // Option digits 32..35 of the identification; bit 0 of digit 33 is replaced
    // by the drain-valve bit (set for kind 1).
    uint16_t optionBits = 0;
    // Send only the first 25 characters of the identification (old panels).
    bool shortIdentification = false;

    // Panel information answer.
    uint8_t statusBits = 0;  // bits 0..3: digit 10; bit 4: bit 2 of digit 13
    bool probeCalibrationError = false;
    uint8_t probeByte = 0x21;
    uint16_t probeSerialNumber = 6699;
    int calibrationYear = 2011;  // 2001..2016
    int calibrationMonth = 3;    // 1..16

    // Panel clock: seconds since 2000-01-01 00:00:00 panel time at start (none:
    // the local time when the runner starts it; 0 in the bare engine), and
    // whether the clock line says the clock is enabled.
    std::optional<uint32_t> clockSeconds;
    bool clockEnabled = true;

    // Monitoring mode at power-on, and the period of the unrequested lines.
    bool monitoring = false;
    std::chrono::milliseconds statusPeriod{1000};
};

// A plausible panel of `kind` (0..4; other values give kind 3): variant, firmware,
// serial number and clock flag as such a panel has them.
SimConfig DefaultConfig(int kind);

// Faults a test or the operator can switch on while the panel runs.
struct FaultSettings {
    bool garbageBetweenLines = false;  // a junk line (noise, CR LF) before every line sent
    bool overlongLines = false;        // a line over 256 bytes before every line sent
    // Line noise: one bit of every status line's code flipped, so the line
    // names no answer (the program counts it as talk but reads nothing from it).
    bool noisyStatusLines = false;
    // Lines cut one byte below the length the program needs for their data.
    // `shortPrefix` limits it to lines that begin with it ("020200:"); empty: all.
    bool shortLines = false;
    std::string shortPrefix;
    bool busyPanelInfo = false;          // panel information says "busy"
    bool refuseParameterWrites = false;  // every "028700" frame refused
    bool parameterReadError = false;     // error bit in every "028600:" answer
    bool regulatorError = false;         // error bit in "028800:"
    bool clockError = false;             // error bit in "030000:"
    uint8_t setpointFaultBits = 0;       // bits 0, 1, 2: faults A, B, C of the set-point lines
    bool sensorFault = false;            // sensor-fault bit of "020200:"
    int dropEveryNthAnswer = 0;          // 0: none; N: answers N, 2N, ... are not sent

    friend bool operator==(const FaultSettings&, const FaultSettings&) = default;
};

}  // namespace tk358::sim
