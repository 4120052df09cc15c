// SPDX-License-Identifier: GPL-3.0-or-later
// tk358-sim: one simulated panel on a pseudo-terminal, until Ctrl+C.

#include <signal.h>

#include <cstdio>
#include <string>
#include <vector>

#include "sim/pty_simulator.h"
#include "sim/sim_options.h"

namespace {

using tk358::sim::SimCommandLine;

void Prepare(tk358::sim::SimPanel& panel, const SimCommandLine& c) {
    panel.SetFaults(c.faults);
    for (const auto& [code, value] : c.parameters) {
        if (!panel.SetParameter(code, value)) {
            std::fprintf(stderr, "tk358-sim: ten panel nie ma parametru %d; pominięty\n", code);
        }
    }
    if (c.temperature) {
        panel.Process().SetTemperature(*c.temperature);
    }
    if (c.silent) {
        panel.SilenceUntilResumed();
    } else if (c.silentFor.count() > 0) {
        panel.SilenceFor(c.silentFor);
    }
}

}  // namespace

int main(int argc, char** argv) {
    SimCommandLine c =
        tk358::sim::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (c.help) {
        std::fputs(tk358::sim::HelpText().c_str(), stdout);
        return 0;
    }
    if (!c.error.empty()) {
        std::fprintf(stderr, "tk358-sim: %s\nOpis opcji: tk358-sim --help\n", c.error.c_str());
        return 2;
    }
    // The signals are taken by sigwait below, never by a handler, so the
    // registration is removed by ordinary code. Blocked before the thread starts
    // so that it inherits the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    tk358::sim::PtySimulator simulator(c.runner);
    simulator.WithPanel([&c](tk358::sim::SimPanel& panel) { Prepare(panel, c); });
    std::string error;
    if (!simulator.Start(&error)) {
        std::fprintf(stderr, "tk358-sim: %s\n", error.c_str());
        return 1;
    }
    const tk358::sim::SimConfig& panel = c.runner.panel;
    std::printf("Panel: %s (rodzaj %d), nr %u, wersja %d.%02d\n",
                tk358::sim::KindName(panel.kind).c_str(), panel.kind, panel.serialNumber,
                panel.firmwareVersion / 100, panel.firmwareVersion % 100);
    std::printf("Port: COM%d\nTerminal: %s\nDowiązanie: %s\n", simulator.PortNumber(),
                simulator.DevicePath().c_str(), simulator.LinkPath().c_str());
    std::printf("Ctrl+C kończy pracę.\n");
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    simulator.Stop();
    return 0;
}
