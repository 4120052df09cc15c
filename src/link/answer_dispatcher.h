// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Hands a received line to the decoder of its kind, chosen by the line's first
// seven characters. The session attaches one decoder per kind; a decoder
// returns kStatusOk (decoded, or deliberately ignored), kStatusBusy or
// kStatusFailed (too short, or an error bit set), and the dispatcher passes
// that result on.

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

#include "link/frame.h"

namespace tk358 {

// Answer kinds in the order their prefixes are compared; the first match decides.
enum class AnswerKind {
    kIdentification,  // "020A00:"
    kTemperature,     // "020200:"
    kSetpoint,        // "028000:"
    kDualSetpoint,    // "028B00:"
    kClock,           // "030000:"
    kClockWrite,      // "031000:"
    kPanelInfo,       // "050100:"
    kParameterRead,   // "028600:"
    kParameterWrite,  // "028700:"
    kSetpointWrite,   // "028100:"
    kMonitoringMode,  // "023000:"
    kCvValue,         // "028400:"
    kCvLock,          // "028500:"
    kRegulator,       // "028800:"
    kValve,           // "028900:"
    kDrainValve,      // "028A00:"
    kVentilation,     // "029300:"
    kActiveZone,      // "029800:"
    kRelay,           // "029500:"
};

inline constexpr std::size_t kAnswerKindCount = 19;

inline constexpr std::array<std::string_view, kAnswerKindCount> kAnswerPrefixes = {
    "020A00:", "020200:", "028000:", "028B00:", "030000:", "031000:", "050100:",
    "028600:", "028700:", "028100:", "023000:", "028400:", "028500:", "028800:",
    "028900:", "028A00:", "029300:", "029800:", "029500:",
};

inline constexpr std::string_view AnswerPrefix(AnswerKind kind) {
    return kAnswerPrefixes[static_cast<std::size_t>(kind)];
}

// The kind whose prefix the line begins with; none for any other line.
std::optional<AnswerKind> MatchAnswerKind(const AnswerLine& line);

class AnswerDispatcher {
public:
    using Decoder = std::function<int(const AnswerLine&)>;

    // Replaces the decoder of `kind`; an empty function detaches it.
    void Attach(AnswerKind kind, Decoder decoder);

    // The result of the line's decoder. A line that matches no prefix, and
    // one whose kind has no decoder attached, is accepted as it stands:
    // kStatusOk, so it still counts as the panel talking.
    int Dispatch(const AnswerLine& line) const;

private:
    std::array<Decoder, kAnswerKindCount> decoders_;
};

}  // namespace tk358
