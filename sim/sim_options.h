// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The command line of tk358-sim.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "sim/pty_simulator.h"
#include "sim/sim_config.h"

namespace tk358::sim {

struct SimCommandLine {
    PtySimulatorOptions runner;
    FaultSettings faults;
    bool silent = false;  // says nothing until the program ends
    std::chrono::milliseconds silentFor{0};
    std::optional<double> temperature;
    std::vector<std::pair<int, int64_t>> parameters;  // --set CODE=VALUE, in order
    bool help = false;
    std::string error;  // not empty: the command line is wrong, and why (Polish)
};

// `args` without the program name.
SimCommandLine ParseCommandLine(const std::vector<std::string>& args);

// The --help text.
std::string HelpText();

// "TK-358D" and the like, for the start-up lines.
std::string KindName(int kind);

}  // namespace tk358::sim
