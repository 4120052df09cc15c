// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The parameter codes of each panel kind in one place: the codes a full read
// fetches and the write groups, the codes each write operation sends, in the
// order the panel takes them. A new parameter of a kind goes into its code
// table (parameter_codes.h) and into the lists of its kind here.

#include <cstdint>
#include <initializer_list>
#include <span>

namespace tk358 {

// When a code of a write group is sent at all; a code not sent keeps the
// panel's value.
enum class WriteWhen : uint8_t {
    kAlways,
    kTwoChannels,      // a channel-2 setting of the threshold regulator, with two channels set
    kThresholdExtras,  // the threshold regulator's firmware has the channel count
};

struct GroupCode {
    int code = 0;
    WriteWhen when = WriteWhen::kAlways;
};

using WriteGroup = std::span<const GroupCode>;

// What decides the conditional codes of a write.
struct WriteContext {
    bool twoChannels = false;
    bool thresholdExtras = false;
};

constexpr bool Sent(const GroupCode& entry, const WriteContext& context) {
    switch (entry.when) {
        case WriteWhen::kAlways:
            return true;
        case WriteWhen::kTwoChannels:
            return context.twoChannels;
        case WriteWhen::kThresholdExtras:
            return context.thresholdExtras;
    }
    return false;
}

// The codes a full read of `deviceType` fetches, in order. For the threshold
// regulator these are only the four always present; the rest depend on the
// firmware (see ThresholdExtraCodes).
std::span<const int> FullReadCodes(int deviceType);

// Codes of the threshold regulator present from firmware 1.01 on.
std::span<const int> ThresholdExtraCodes();

// The write groups. Every kind but the dual-zone controller has the
// temperature controller's PID and valve codes; the dual-zone controller one
// PID set per zone (zone 0 the first, any other the second) and the
// reverse-acting setting after its valve codes.
WriteGroup PidWriteGroup(int deviceType, int zone);
WriteGroup ValveWriteGroup(int deviceType);
WriteGroup DrainValveWriteGroup();
WriteGroup VentilationWriteGroup();
WriteGroup ThresholdWriteGroup();      // the day set and the channel count
WriteGroup ThresholdTimeWriteGroup();  // zone starts, day and night sets, channel count

}  // namespace tk358
