// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/parameter_table.h"

#include "sim/sim_codec.h"
#include "sim/sim_config.h"

namespace tk358::sim {

namespace {

struct Entry {
    int code;
    int width;
    bool readSigned;
    bool writable;
    int kinds;  // bit k: known to kind k
    bool newFirmwareOnly;
    int64_t defaultValue;
};

constexpr int K(int kind) {
    return 1 << kind;
}

// Temperatures, thresholds and set points are answered signed so that values
// below zero read back as such; hystereses and times of day unsigned where
// the program shows them so.
constexpr Entry kEntries[] = {
    // code, width, signed, writable, kinds, new firmware only, default
    {0, 4, true, false, K(0) | K(1), false, 4500},             // set point, 0.01 °C
    {1, 2, false, true, K(0), false, 20},                      // Kp 2.0
    {6, 4, true, true, K(0), false, 120},                      // Ti, s
    {7, 4, true, true, K(0), false, 10},                       // Td, s
    {8, 4, true, true, K(0), false, 5},                        // Ta, s
    {32, 2, true, true, K(0), false, 600},                     // valve opening time 60.0 s
    {33, 2, true, true, K(0), false, 600},                     // valve closing time
    {34, 2, true, true, K(0), false, 20},                      // control dead time 2.0 s
    {35, 2, true, true, K(0), false, 30},                      // minimum standstill 3.0 s
    {36, 1, true, true, K(0), false, 10},                      // dead band 1.0 %
    {37, 2, true, true, K(0), false, 5},                       // minimum switch-on 0.5 s
    {38, 1, true, true, K(0) | K(1) | K(2) | K(4), false, 0},  // CV lock
    {64, 2, true, true, K(1), false, 1200},                    // drain time 120.0 s
    {65, 2, true, true, K(1), false, 100},                     // closing delay 10.0 s
    {66, 2, true, true, K(1), false, 20},                      // deviation 2.0 °C
    {72, 2, true, true, K(2), false, 250},                     // T1 25.0 °C
    {73, 2, true, true, K(2), false, 280},                     // T2 28.0 °C
    {74, 2, true, true, K(2), false, 10},                      // H1 1.0 °C
    {75, 2, true, true, K(2), false, 10},                      // H2 1.0 °C
    {76, 1, true, true, K(2), false, 1},                       // airing on
    {77, 1, true, true, K(2), false, 3},                       // fans 1 and 2
    {78, 1, true, true, K(2), false, 5},                       // airing time, min
    {79, 1, true, true, K(2), false, 60},                      // airing period, min
    {80, 2, true, true, K(2), false, 150},                     // airing threshold 15.0 °C
    {90, 2, true, true, K(4), false, 210},                     // day T1 21.0 °C
    {91, 2, true, true, K(4), false, 200},                     // day T2 20.0 °C
    {92, 2, false, true, K(4), false, 5},                      // day H1 0.5 °C
    {93, 2, false, true, K(4), false, 5},                      // day H2 0.5 °C
    {95, 2, false, true, K(4), true, 36},                      // day starts 6:00
    {128, 2, false, true, K(3), false, 20},                    // zone 1 Kp 2.0
    {129, 2, true, true, K(3), false, 120},                    // zone 1 Ti
    {130, 2, true, true, K(3), false, 10},                     // zone 1 Td
    {131, 2, true, true, K(3), false, 5},                      // zone 1 Ta
    {132, 4, true, true, K(3), false, 2100},                   // set point 1, 21.00 °C
    {133, 2, false, true, K(3), false, 25},                    // zone 2 Kp 2.5
    {134, 2, true, true, K(3), false, 150},
    {135, 2, true, true, K(3), false, 10},
    {136, 2, true, true, K(3), false, 5},
    {137, 4, true, true, K(3), false, 1800},  // set point 2, 18.00 °C
    {138, 2, false, true, K(3), false, 36},   // set point 1 from 6:00
    {139, 2, false, true, K(3), false, 132},  // set point 2 from 22:00
    {140, 2, true, true, K(3), false, 600},
    {141, 2, true, true, K(3), false, 600},
    {142, 2, true, true, K(3), false, 20},
    {143, 2, true, true, K(3), false, 30},
    {144, 2, true, true, K(3), false, 10},
    {145, 2, true, true, K(3), false, 5},
    {146, 2, true, true, K(3), false, 0},    // reverse acting off
    {160, 2, true, true, K(4), true, 180},   // night T1 18.0 °C
    {161, 2, true, true, K(4), true, 170},   // night T2 17.0 °C
    {162, 2, false, true, K(4), true, 5},    // night H1
    {163, 2, false, true, K(4), true, 5},    // night H2
    {164, 2, false, true, K(4), true, 132},  // night starts 22:00
    {165, 2, true, true, K(4), true, 2},     // two channels
};

const Entry* FindEntry(int kind, int firmwareVersion, int code) {
    if (kind < 0 || kind >= kKindCount) {
        return nullptr;
    }
    for (const Entry& e : kEntries) {
        if (e.code != code || (e.kinds & K(kind)) == 0) {
            continue;
        }
        if (e.newFirmwareOnly && firmwareVersion <= 100) {
            return nullptr;
        }
        return &e;
    }
    return nullptr;
}

uint64_t WidthMask(int width) {
    return width >= 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * width)) - 1;
}

}  // namespace

std::optional<ParameterSpec> FindParameter(int kind, int firmwareVersion, int code) {
    const Entry* e = FindEntry(kind, firmwareVersion, code);
    if (e == nullptr) {
        return std::nullopt;
    }
    return ParameterSpec{e->code, e->width, e->readSigned, e->writable};
}

std::vector<int> KnownCodes(int kind, int firmwareVersion) {
    std::vector<int> codes;
    for (const Entry& e : kEntries) {
        if (FindEntry(kind, firmwareVersion, e.code) == &e) {
            codes.push_back(e.code);
        }
    }
    return codes;
}

std::string WireDigits(int64_t value, int width) {
    return SignedHex(value, 2 * width);
}

int64_t ValueFromBytes(uint64_t raw, int width, bool isSigned) {
    const uint64_t masked = raw & WidthMask(width);
    const uint64_t signBit = uint64_t{1} << (8 * width - 1);
    if (isSigned && width < 8 && (masked & signBit) != 0) {
        return static_cast<int64_t>(masked) - static_cast<int64_t>(WidthMask(width)) - 1;
    }
    return static_cast<int64_t>(masked);
}

ParameterStore::ParameterStore(int kind, int firmwareVersion)
    : kind_(kind), firmwareVersion_(firmwareVersion) {
    for (const Entry& e : kEntries) {
        if (FindEntry(kind, firmwareVersion, e.code) == &e) {
            values_[e.code] = e.defaultValue;
        }
    }
}

int64_t ParameterStore::Get(int code) const {
    const auto it = values_.find(code);
    return it == values_.end() ? 0 : it->second;
}

bool ParameterStore::Set(int code, int64_t value) {
    const auto it = values_.find(code);
    const std::optional<ParameterSpec> spec = FindParameter(kind_, firmwareVersion_, code);
    if (it == values_.end() || !spec) {
        return false;
    }
    // Kept as the program reads it back, so the process works with the same value.
    it->second = ValueFromBytes(static_cast<uint64_t>(value), spec->width, spec->readSigned);
    return true;
}

}  // namespace tk358::sim
