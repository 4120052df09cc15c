// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/panel_lines.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "sim/sim_codec.h"

namespace tk358::sim {

namespace {

std::string H(uint32_t value, int digits) {
    return Hex(value, digits);
}

std::string Signed8(int32_t value) {
    return SignedHex(value, 8);
}

std::string Float8(double value) {
    return Hex(FloatField(value), 8);
}

std::string Digit(bool bit) {
    return bit ? "1" : "0";
}

int32_t Hundredths(double celsius) {
    const double scaled = std::round(celsius * 100.0);
    return static_cast<int32_t>(std::clamp(scaled, -2147483648.0, 2147483647.0));
}

constexpr std::pair<std::string_view, int> kNeededLengths[] = {
    {"020A00:", 35}, {"050100:", 28}, {"028700:", 19}, {"020200:", 51}, {"028000:", 21},
    {"028B00:", 24}, {"028800:", 88}, {"028900:", 49}, {"028A00:", 29}, {"029300:", 29},
    {"029800:", 14}, {"029500:", 14}, {"030000:", 10},
};

constexpr std::size_t kPrefixLength = 7;  // "<code>:"

}  // namespace

std::string FinishLine(std::string_view text) {
    std::string line(text);
    line += Checksum(text);
    line += "\r\n";
    return line;
}

int NeededLength(std::string_view line) {
    const std::string_view prefix = line.substr(0, kPrefixLength);
    if (prefix == "028600:") {
        const int count = line.size() > 16 ? HexDigit(line[16]) & 7 : 0;
        return count == 0 ? 17 : 2 * count + 18;
    }
    for (const auto& [p, needed] : kNeededLengths) {
        if (p == prefix) {
            return needed;
        }
    }
    return 0;
}

std::string ShortenLine(std::string_view line) {
    if (line.size() < kPrefixLength + 4) {
        return std::string(line);
    }
    const std::size_t needed = static_cast<std::size_t>(NeededLength(line));
    std::size_t target = needed > 0 ? needed - 1 : line.size() - 1;
    target = std::clamp(target, kPrefixLength + 4, line.size() - 1);
    return FinishLine(line.substr(0, target - 4));
}

std::string IdentificationLine(const SimConfig& c) {
    const int fw = std::clamp(c.firmwareVersion, 0, 25599);
    uint32_t options = c.optionBits & ~0x0100u;  // bit 0 of digit 33: drain-valve controller
    if (c.kind == kKindDrainValve) {
        options |= 0x0100u;
    }
    const std::string text =
        "020A00:0358:" + H(static_cast<uint32_t>(std::clamp(c.hardwareVariant, 0, 255)), 2) +
        H(static_cast<uint32_t>(fw / 100), 2) + H(static_cast<uint32_t>(fw % 100), 2) + "0000000" +
        Digit(c.noNumber) + ":" + H(c.serialNumber, 4) + ":" + H(options, 4);
    // An old panel stops after the firmware: 25 bytes with checksum and CR LF.
    return FinishLine(c.shortIdentification ? std::string_view(text).substr(0, 21) : text);
}

std::string PanelInfoLine(const SimConfig& c, bool busy) {
    const uint32_t calibration =
        (c.probeCalibrationError ? 1u : 0u) | ((c.statusBits & 0x10u) >> 2);
    const std::string text =
        "050100:0" + Digit(busy) + ":" + H(c.statusBits & 0xFu, 1) + "0:" + H(calibration, 1) +
        "0" + H(c.probeByte, 2) + ":" + H(c.probeSerialNumber, 4) +
        ":00:" + H(static_cast<uint32_t>(std::clamp(c.calibrationYear - 2001, 0, 15)), 1) +
        H(static_cast<uint32_t>(std::clamp(c.calibrationMonth - 1, 0, 15)), 1);
    return FinishLine(text);
}

std::string ParameterReadLine(int code, const std::optional<ParameterSpec>& spec, int64_t value,
                              bool errorBit) {
    std::string text =
        "028600:" + H(static_cast<uint32_t>(code) & 0xFFFFu, 4) + ":0" + Digit(errorBit) + ":";
    if (!spec) {
        return FinishLine(text + "40:");  // failed, no bytes
    }
    const uint32_t flags = spec->readSigned ? 8u : 0u;
    text += H(flags, 1) + H(static_cast<uint32_t>(spec->width), 1) + ":" +
            WireDigits(value, spec->width);
    return FinishLine(text);
}

std::string ParameterWriteLine(int code, int index, int byte, bool refused) {
    return FinishLine("028700:" + H(static_cast<uint32_t>(code) & 0xFFFFu, 4) + ":" +
                      H(static_cast<uint32_t>(index) & 0xFFu, 2) + ":" +
                      H(static_cast<uint32_t>(byte) & 0xFFu, 2) + ":0" + Digit(refused));
}

std::string EchoLine(std::string_view code, std::string_view data) {
    std::string text(code);
    text += ':';
    text += data;
    return FinishLine(text);
}

std::string TemperatureLine(double celsius, bool sensorFault) {
    // Digits 21-28: the Pt100 probe's resistance in milliohms.
    const double milliohms = std::max(0.0, 100000.0 * (1.0 + 0.00385 * celsius));
    return FinishLine("020200:00:" + Digit(sensorFault) + "0" + Signed8(Hundredths(celsius)) + ":" +
                      H(static_cast<uint32_t>(milliohms), 8) + ":00000000:00000000");
}

std::string SetpointLine(int32_t setpoint, uint8_t faultBits) {
    return FinishLine("028000:" + H(faultBits & 7u, 1) + "0:" + Signed8(setpoint));
}

std::string DualSetpointLine(int32_t setpoint, uint8_t faultBits) {
    return FinishLine("028B00:00:" + H(faultBits & 3u, 1) + Digit((faultBits & 7u) != 0) + ":" +
                      Signed8(setpoint));
}

std::string RegulatorLine(const RegulatorValues& r, bool cvLock, bool error) {
    const uint32_t flags = (error ? 1u : 0u) | (cvLock ? 2u : 0u);
    std::string text = "028800:00:0" + H(flags, 1) + ":";
    for (double v : {r.error, r.processValue, r.controlValue, r.pTerm, r.iTerm, r.dTerm,
                     r.pvDerivative1, r.pvDerivative2}) {
        text += Float8(v) + ":";
    }
    text += H(static_cast<uint32_t>(r.loopPeriod) & 0xFFFFu, 4);
    return FinishLine(text);
}

std::string ValveLine(const ValveValues& v) {
    const uint32_t flags = (v.motorRunning ? 1u : 0u) | (v.opening ? 2u : 0u);
    return FinishLine("028900:00:" + Float8(v.position * 10.0) + ":" + Signed8(v.timer1) + ":" +
                      Signed8(v.timer2) + ":0" + H(static_cast<uint32_t>(v.command) & 0xFu, 1) +
                      ":" + H(flags, 1) + "0" +
                      H(static_cast<uint32_t>(v.commandValue) & 0xFFFFu, 4));
}

std::string DrainValveLine(const DrainValues& d) {
    return FinishLine("028A00:" + Signed8(d.timer1) + ":" + Signed8(d.timer2) + ":" +
                      H(static_cast<uint32_t>(d.state) & 0xFFu, 2) + ":" +
                      H(d.valveOpen ? 1u : 0u, 2));
}

std::string VentilationLine(const VentilationValues& v) {
    return FinishLine("029300:" + H(v.virtualFans, 2) + ":" + H(v.fans, 2) + ":" +
                      Signed8(v.timeCounter) + ":" + Signed8(v.periodStart));
}

std::string ActiveZoneLine(uint8_t zone) {
    return FinishLine("029800:" + H(zone, 2) + ":00");
}

std::string RelayLine(const RelayValues& r) {
    return FinishLine("029500:" + H(r.relay1 ? 1u : 0u, 2) + ":" + H(r.relay2 ? 1u : 0u, 2) + ":" +
                      H(r.loopPeriod & 0xFFFFu, 4));
}

std::string ClockLine(uint32_t seconds, bool enabled, bool error) {
    const uint32_t flags = (error ? 1u : 0u) | (enabled ? 4u : 0u);
    return FinishLine("030000:0" + H(flags, 1) + ":" + H(seconds, 8));
}

std::string NoisyLine(std::string_view line) {
    std::string noisy(line);
    if (noisy.size() > 1) {
        noisy[1] = static_cast<char>(noisy[1] ^ 0x10);
    }
    return noisy;
}

std::string GarbageLine() {
    return std::string("#~\x01\rnoise\xFE", 10) + "\r\n";
}

std::string OverlongLine() {
    return std::string(256, '5') + TemperatureLine(999.99, false);
}

}  // namespace tk358::sim
