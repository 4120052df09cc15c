#include "link/parameter_set.h"

#include <cstddef>

namespace tk358 {

namespace {

bool InRange(int code, int first, int last) {
    return code >= first && code <= last;
}

int32_t CutToSlot(int code, int64_t value) {
    if (ParameterSet::IsNarrowSlot(code)) {
        return static_cast<int32_t>(static_cast<uint64_t>(value) & 0xFFFFu);
    }
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

}  // namespace

bool ParameterSet::IsNarrowSlot(int code) {
    return InRange(code, 90, 93) || code == 95 || InRange(code, 160, 165);
}

bool ParameterSet::HasSlot(int code) {
    return code == 0 || code == 1 || InRange(code, 6, 8) || InRange(code, 32, 38) ||
           InRange(code, 64, 66) || InRange(code, 72, 80) || InRange(code, 128, 146) ||
           IsNarrowSlot(code);
}

void ParameterSet::Store(int code, int64_t value) {
    if (HasSlot(code)) {
        slots_[static_cast<std::size_t>(code)] = CutToSlot(code, value);
    }
}

int32_t ParameterSet::Value(int code) const {
    return HasSlot(code) ? slots_[static_cast<std::size_t>(code)] : 0;
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
