// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/parameter_set.h"

#include <array>
#include <cstddef>

#include "link/parameter_codes.h"

namespace tk358 {

namespace {

// Slot widths by code, looked up on every store and read.
constexpr auto kSlotBits = [] {
    std::array<uint8_t, ParameterSet::kCodeCount> bits{};
    for (const ParameterInfo& info : param_table::kParameters) {
        if (info.code >= 0 && info.code < ParameterSet::kCodeCount) {
            bits[static_cast<std::size_t>(info.code)] = static_cast<uint8_t>(info.slotBits);
        }
    }
    return bits;
}();

// Every code with a slot fits the cache.
static_assert([] {
    for (const ParameterInfo& info : param_table::kParameters) {
        if (info.slotBits != 0 && (info.code < 0 || info.code >= ParameterSet::kCodeCount)) {
            return false;
        }
    }
    return true;
}());

int SlotBits(int code) {
    return code >= 0 && code < ParameterSet::kCodeCount ? kSlotBits[static_cast<std::size_t>(code)]
                                                        : 0;
}

int32_t CutToSlot(int code, int64_t value) {
    if (ParameterSet::IsNarrowSlot(code)) {
        return static_cast<int32_t>(static_cast<uint64_t>(value) & 0xFFFFu);
    }
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

}  // namespace

bool ParameterSet::IsNarrowSlot(int code) {
    return SlotBits(code) == 16;
}

bool ParameterSet::HasSlot(int code) {
    return SlotBits(code) != 0;
}

void ParameterSet::Store(int code, int64_t value) {
    if (HasSlot(code)) {
        slots_[static_cast<std::size_t>(code)] = CutToSlot(code, value);
    }
}

int32_t ParameterSet::Value(int code) const {
    return HasSlot(code) ? slots_[static_cast<std::size_t>(code)] : 0;
}

int32_t ParameterSet::Shown(int code) const {
    switch (Parameter(code).readback) {
        case Readback::kSigned16:
            return Signed16(code);
        case Readback::kUnsigned16:
            return Unsigned16(code);
        case Readback::kUnsigned8:
            return Value(code) & 0xFF;
        case Readback::kAsAnswered:
            break;
    }
    return Value(code);
}

bool ParameterSet::Matches(int code, int64_t value) const {
    return HasSlot(code) && slots_[static_cast<std::size_t>(code)] == CutToSlot(code, value);
}

bool ParameterSet::ReadComplete(int kind) const {
    return kind >= 0 && kind < kKindCount && readComplete_[static_cast<std::size_t>(kind)] != 0;
}

void ParameterSet::SetReadComplete(int kind) {
    if (kind >= 0 && kind < kKindCount) {
        readComplete_[static_cast<std::size_t>(kind)] = 1;
    }
}

}  // namespace tk358
