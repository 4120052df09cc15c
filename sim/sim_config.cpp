// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/sim_config.h"

namespace tk358::sim {

SimConfig DefaultConfig(int kind) {
    struct Identity {
        int variant;
        int firmware;
        uint16_t serial;
        bool clockEnabled;
    };
    // Variant 0 covers both the temperature and the drain-valve controller
    // (told apart by a bit of the identification); the others have their own.
    static constexpr Identity kIdentities[kKindCount] = {
        {0, 203, 1201, false},  // temperature controller
        {0, 104, 1302, false},  // drain-valve controller
        {1, 110, 2417, false},  // TK-358W
        {5, 107, 3105, true},   // TK-358D
        {3, 105, 4021, true},   // TK-358C with day and night sets
    };
    SimConfig config;
    config.kind = kind >= 0 && kind < kKindCount ? kind : kKindDualZone;
    const Identity& id = kIdentities[config.kind];
    config.hardwareVariant = id.variant;
    config.firmwareVersion = id.firmware;
    config.serialNumber = id.serial;
    config.clockEnabled = id.clockEnabled;
    return config;
}

}  // namespace tk358::sim
