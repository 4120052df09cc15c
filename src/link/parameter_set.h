#pragma once

// The parameter cache: the last value read of every panel parameter code, and
// one read-complete flag per panel kind.

#include <array>
#include <cstdint>

namespace tk358 {

class ParameterSet {
public:
    static constexpr int kCodeCount = 166;  // codes 0..165
    static constexpr int kKindCount = 5;    // panel kinds 0..4

    // Codes with a cache slot: 32-bit slots for 0, 1, 6-8, 32-38, 64-66,
    // 72-80, 128-146; 16-bit slots for 90-93, 95, 160-165.
    static bool HasSlot(int code);
    static bool IsNarrowSlot(int code);

    // Stores a read value, cut to the slot's width. Codes without a slot store nothing.
    void Store(int code, int64_t value);

    // The slot as a signed 32-bit value; a 16-bit slot reads zero-extended.
    // Codes without a slot read 0.
    int32_t Value(int code) const;
    int16_t Signed16(int code) const { return static_cast<int16_t>(Value(code) & 0xFFFF); }
    uint16_t Unsigned16(int code) const { return static_cast<uint16_t>(Value(code) & 0xFFFF); }

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
