// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The parameter cache: the last value read of every panel parameter code, and
// one read-complete flag per panel kind.

#include <array>
#include <cstdint>

#include "link/parameter_codes.h"

namespace tk358 {

class ParameterSet {
public:
    static constexpr int kCodeCount = param::kChannels + 1;  // codes 0 to the highest
    static constexpr int kKindCount = 5;                     // panel kinds 0..4

    // The slot of each code is given by the parameter table (parameter_codes.h):
    // 32 bits for most codes, 16 for those of the threshold regulator.
    static bool HasSlot(int code);
    static bool IsNarrowSlot(int code);

    // Stores a read value, cut to the slot's width. Codes without a slot store nothing.
    void Store(int code, int64_t value);

    // The slot as a signed 32-bit value; a 16-bit slot reads zero-extended.
    // Codes without a slot read 0.
    int32_t Value(int code) const;
    int16_t Signed16(int code) const { return static_cast<int16_t>(Value(code) & 0xFFFF); }
    uint16_t Unsigned16(int code) const { return static_cast<uint16_t>(Value(code) & 0xFFFF); }

    // The value as the dialogs and the service view show it: the slot read
    // the one way the parameter table gives for the code.
    int32_t Shown(int code) const;

    // True when writing `value` to `code` would leave the slot as it is:
    // the value is compared after being cut to the slot's width.
    bool Matches(int code, int64_t value) const;

    bool ReadComplete(int kind) const;
    void SetReadComplete(int kind);

    friend bool operator==(const ParameterSet&, const ParameterSet&) = default;

private:
    std::array<int32_t, kCodeCount> slots_{};
    std::array<uint8_t, kKindCount> readComplete_{};
};

}  // namespace tk358
