// SPDX-License-Identifier: GPL-3.0-or-later
// Duration of a parameter backup and of a full restore of every kind against
// the simulated panel behind a 9600-baud relay (both directions paced, 5 ms
// turn-around, status lines once a second as a panel in monitoring mode
// sends them; none with --quiet), next to the time the same exchanges take
// on the wire:
//
//   wire = (request bytes + answer bytes) x 1.04 ms + one turn-around per
//          request
//
// The status lines the panel sends meanwhile share its direction of the line
// and can hold an answer back; their bytes are shown beside the figures.
// The backup reads every code afresh and, on the kinds with CV settings,
// waits for a regulator status line sent after the read began. The restore
// writes every setting (each one changed on the panel first) and reads the
// set back, as the comparison dialog and --restore do.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "backup/backup_compare.h"
#include "link/panel_session.h"
#include "link/parameter_codes.h"
#include "paced_relay.h"
#include "sim/pty_simulator.h"
#include "sim/sim_panel.h"

namespace {

namespace sim = tk358::sim;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr auto kTurnaround = 5ms;

struct Figures {
    double ms = 0;
    std::size_t requests = 0;
    std::size_t requestBytes = 0;
    std::size_t answerBytes = 0;
    std::size_t statusBytes = 0;  // the rest of what the panel sent meanwhile
    double Wire() const {
        return static_cast<double>(requestBytes + answerBytes) *
                   Ms(tk358::bench::kByteTime).count() +
               static_cast<double>(requests) * Ms(kTurnaround).count();
    }
};

// The answers an identical panel gives to the requests: their bytes.
std::size_t AnswerBytes(const sim::SimConfig& config,
                        const std::vector<sim::RecordedFrame>& frames) {
    sim::SimPanel panel(config);
    std::size_t bytes = 0;
    for (const sim::RecordedFrame& frame : frames) {
        panel.Receive(frame.line);
        for (const sim::OutgoingLine& line : panel.TakeOutput()) {
            bytes += line.answer ? line.bytes.size() : 0;
        }
    }
    return bytes;
}

template <class F>
Figures Timed(sim::PtySimulator& panel, tk358::bench::PacedRelay& relay,
              const sim::SimConfig& config, F&& run) {
    // Nothing in flight from before.
    std::this_thread::sleep_for(50ms);
    panel.ClearFrames();
    relay.ResetCounts();
    const auto start = Clock::now();
    run();
    Figures f;
    f.ms = Ms(Clock::now() - start).count();
    const std::vector<sim::RecordedFrame> frames = panel.Frames();
    f.requests = frames.size();
    for (const sim::RecordedFrame& frame : frames) {
        f.requestBytes += frame.line.size();
    }
    f.answerBytes = AnswerBytes(config, frames);
    const std::size_t received = relay.ToProgram();
    f.statusBytes = received > f.answerBytes ? received - f.answerBytes : 0;
    return f;
}

// Every parameter of the set moved to another value inside its bounds.
void ChangeAll(sim::PtySimulator& panel, const tk358::ParameterBackup& set) {
    for (const tk358::BackupValue& v : set.values) {
        if (v.code >= tk358::param::kCv) {
            continue;  // the CV settings travel by commands of their own
        }
        const tk358::ParameterBounds b = tk358::Parameter(v.code).bounds;
        panel.SetParameter(v.code, v.value == b.min ? b.min + 1 : b.min);
    }
}

void Measure(int kind, int firmware, const std::string& portDirectory,
             std::chrono::milliseconds statusPeriod) {
    sim::PtySimulatorOptions options;
    options.panel = sim::DefaultConfig(kind);
    if (firmware > 0) {
        options.panel.firmwareVersion = firmware;
    }
    options.panel.statusPeriod = statusPeriod;
    options.portNumber = 240 + kind;
    options.portDirectory = portDirectory;
    options.turnaround = kTurnaround;
    sim::PtySimulator panel(options);
    std::string error;
    if (!panel.Start(&error)) {
        std::fprintf(stderr, "simulated panel: %s\n", error.c_str());
        std::exit(1);
    }
    const int port = 250 + kind;
    tk358::bench::PacedRelay relay(panel.DevicePath(), port, portDirectory);
    if (!relay.Start(&error)) {
        std::fprintf(stderr, "relay: %s\n", error.c_str());
        std::exit(1);
    }
    tk358::PanelSession session;
    session.Open(port);
    if (!panel.WaitUntil([](const sim::SimPanel& p) { return p.Monitoring(); }, 30s)) {
        std::fprintf(stderr, "no start sequence on COM%d\n", port);
        std::exit(1);
    }
    std::this_thread::sleep_for(300ms);

    tk358::SetReadResult backup;
    const Figures read =
        Timed(panel, relay, options.panel, [&] { backup = tk358::ReadPanelSet(session, {}); });
    if (backup.status != tk358::ReadStatus::kOk) {
        std::fprintf(stderr, "backup of kind %d: %s\n", kind,
                     tk358::ReadFailureText(backup).c_str());
        std::exit(1);
    }
    ChangeAll(panel, backup.set);
    const tk358::SetReadResult changed = tk358::ReadPanelSet(session, {});
    const std::vector<int> codes =
        tk358::DifferingCodes(tk358::CompareSets(changed.set, backup.set));
    bool complete = false;
    const Figures restore = Timed(panel, relay, options.panel, [&] {
        complete = tk358::RestoreRows(session, backup.set, codes).complete &&
                   tk358::ReadPanelSet(session, {}).status == tk358::ReadStatus::kOk;
    });
    session.Close();
    std::printf("%4d %8d %6zu %8.1f %8.1f %7.3f %7zu %5zu %8.1f %8.1f %7.3f %7zu%s\n", kind,
                options.panel.firmwareVersion, backup.set.values.size(), read.ms, read.Wire(),
                read.ms / read.Wire(), read.statusBytes, codes.size(), restore.ms, restore.Wire(),
                restore.ms / restore.Wire(), restore.statusBytes, complete ? "" : "  (incomplete)");
}

}  // namespace

int main(int argc, char** argv) {
    char pattern[] = "/tmp/tk358-bench-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (dir == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    setenv("TK358_PORT_DIR", dir, 1);
    // "--quiet": no status lines, so the wire time is the exchanges' alone;
    // only the kinds without CV settings, which need a regulator line.
    const bool quiet = argc > 1 && std::string(argv[1]) == "--quiet";
    std::printf("9600-baud relay, both directions paced; status lines %s; times in ms\n",
                quiet ? "off" : "every 1000 ms");
    std::printf(
        "kind firmware values   backup     wire   ratio status.B  rows  restore     wire   ratio "
        "status.B\n");
    const std::pair<int, int> panels[] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 100}, {4, 0}};
    for (const auto& [kind, firmware] : panels) {
        if (!quiet || (kind != 0 && kind != 3)) {
            Measure(kind, firmware, dir, quiet ? 1h : 1000ms);
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
}
