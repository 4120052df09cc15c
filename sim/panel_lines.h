// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The lines a panel sends, each built to the positions the program reads:
// answers to its requests and the unrequested status lines. Every line is its
// text, two checksum digits and CR LF; the checksum is computed like a
// request's over the text's hex digits taken in pairs, the ":" separators
// skipped.
//
// Digits the program does not read are "0" unless noted; separators ":" stand
// between groups, so every line keeps the "<code>:" layout of an answer.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sim/parameter_table.h"
#include "sim/process_model.h"
#include "sim/sim_config.h"

namespace tk358::sim {

// Text + checksum (see Checksum in sim_codec.h) + CR LF.
std::string FinishLine(std::string_view text);

// The length (CR LF included) the program needs to take this line's data; 0
// for lines whose data it takes at any length.
int NeededLength(std::string_view line);

// The line cut one byte below its needed length (or one byte shorter when it
// has none), never into its "<code>:" prefix, with a fresh checksum.
std::string ShortenLine(std::string_view line);

// "020A00:0358:" VV MMmm 0000000N ":" SSSS ":" OOOO, 40 bytes; 25 bytes when short.
std::string IdentificationLine(const SimConfig& config);

// "050100:" 0B ":" S0 ":" C0PP ":" NNNN ":" 00 ":" YM, 32 bytes.
std::string PanelInfoLine(const SimConfig& config, bool busy);

// "028600:" CCCC ":" 0E ":" FW ":" value, 22 + 2 x width bytes. An unknown code
// is answered with the failed flag and no value.
std::string ParameterReadLine(int code, const std::optional<ParameterSpec>& spec, int64_t value,
                              bool errorBit);

// "028700:" CCCC ":" II ":" BB ":" 0R, 24 bytes; R = 1 refuses the byte.
std::string ParameterWriteLine(int code, int index, int byte, bool refused);

// "<code>:" followed by the request's data, for the commands that are only acknowledged.
std::string EchoLine(std::string_view code, std::string_view data);

// Status lines.
std::string TemperatureLine(double celsius, bool sensorFault);      // "020200:", 51 bytes
std::string SetpointLine(int32_t setpoint, uint8_t faultBits);      // "028000:", 22 bytes
std::string DualSetpointLine(int32_t setpoint, uint8_t faultBits);  // "028B00:", 25 bytes
std::string RegulatorLine(const RegulatorValues& r, bool cvLock, bool error);  // "028800:", 93
std::string ValveLine(const ValveValues& v);                        // "028900:", 50 bytes
std::string DrainValveLine(const DrainValues& d);                   // "028A00:", 34 bytes
std::string VentilationLine(const VentilationValues& v);            // "029300:", 34 bytes
std::string ActiveZoneLine(uint8_t zone);                           // "029800:", 16 bytes
std::string RelayLine(const RelayValues& r);                        // "029500:", 21 bytes
std::string ClockLine(uint32_t seconds, bool enabled, bool error);  // "030000:", 22 bytes

// The line as noise on the wire leaves it: bit 4 of its second character
// flipped ("020200:" arrives as "0\"0200:"), the rest intact.
std::string NoisyLine(std::string_view line);

// A junk line: noise that matches no answer, ended by CR LF.
std::string GarbageLine();
// 256 bytes without a line end followed by a temperature line claiming
// 999.99 °C: a receiver that keeps the tail of an overlong line decodes a
// false temperature.
std::string OverlongLine();

}  // namespace tk358::sim
