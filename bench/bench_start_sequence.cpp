// SPDX-License-Identifier: GPL-3.0-or-later
// Duration of the session's start sequence against the simulated panel behind
// a 9600-baud relay that paces both directions (paced_relay.h), with a 5 ms
// turn-around, next to the time the same frames take on the wire. A plain
// timing program: one start sequence takes about a second.
//
//   wire   = (request + answer bytes) x 1.04 ms + one turn-around per answer
//   bare   = the same requests sent by a minimal blocking client (write the
//            request, read up to the answer's CR LF) through the same relay:
//            the line's pacing, sleeps and wake-ups included
//
// session / bare is the session's own overhead; session / wire is what a
// real line would show. Both directions are paced, so a session that waits
// longer than the line needs shows as a ratio above 1.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "link/panel_session.h"
#include "paced_relay.h"
#include "sim/pty_simulator.h"
#include "sim/sim_panel.h"
#include "support/panel_session_probe.h"

namespace {

namespace sim = tk358::sim;

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr double kByteMs = Ms(tk358::bench::kByteTime).count();
constexpr auto kTurnaround = 5ms;
constexpr int kRuns = 5;

struct Wire {
    std::size_t exchanges = 0;
    std::size_t requestBytes = 0;
    std::size_t answerBytes = 0;
};

// The requests the panel saw and the answers an identical panel gives them.
Wire WireOf(const sim::SimConfig& config, const std::vector<sim::RecordedFrame>& frames) {
    sim::SimPanel panel(config);
    Wire wire;
    for (const sim::RecordedFrame& frame : frames) {
        wire.requestBytes += frame.line.size();
        panel.Receive(frame.line);
        for (const sim::OutgoingLine& line : panel.TakeOutput()) {
            if (line.answer) {
                wire.answerBytes += line.bytes.size();
                ++wire.exchanges;
            }
        }
    }
    return wire;
}

// Milliseconds from Open until the start sequence has switched monitoring on.
double RunOnce(tk358::PanelSession& session, int port) {
    const int before = tk358::test::PanelSessionProbe::CompletedStartSequences(session);
    const auto start = Clock::now();
    if (!session.Open(port)) {
        std::fprintf(stderr, "COM%d did not open\n", port);
        std::exit(1);
    }
    while (tk358::test::PanelSessionProbe::CompletedStartSequences(session) == before) {
        if (Clock::now() - start > 30s) {
            std::fprintf(stderr, "no start sequence on COM%d\n", port);
            std::exit(1);
        }
        std::this_thread::sleep_for(50us);
    }
    return Ms(Clock::now() - start).count();
}

// Milliseconds a minimal client needs to send `frames` and read one answer
// line to each, on the device of `path`.
double BareExchanges(const std::string& path, const std::vector<sim::RecordedFrame>& frames) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
    termios raw{};
    tcgetattr(fd, &raw);
    cfmakeraw(&raw);
    tcsetattr(fd, TCSANOW, &raw);
    tcflush(fd, TCIOFLUSH);
    const auto start = Clock::now();
    for (const sim::RecordedFrame& frame : frames) {
        if (write(fd, frame.line.data(), frame.line.size()) !=
            static_cast<ssize_t>(frame.line.size())) {
            std::perror("write");
            std::exit(1);
        }
        std::string answer;
        while (!answer.ends_with("\r\n")) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 2000) <= 0) {
                std::fprintf(stderr, "no answer to %s", frame.line.c_str());
                std::exit(1);
            }
            char chunk[256];
            const ssize_t n = read(fd, chunk, sizeof chunk);
            answer.append(chunk, n > 0 ? static_cast<std::size_t>(n) : 0);
        }
    }
    const double ms = Ms(Clock::now() - start).count();
    close(fd);
    return ms;
}

void Measure(int kind, int firmware, const std::string& portDirectory) {
    sim::PtySimulatorOptions options;
    options.panel = sim::DefaultConfig(kind);
    if (firmware > 0) {
        options.panel.firmwareVersion = firmware;
    }
    options.panel.statusPeriod = 1h;  // only the start sequence on the line
    options.portNumber = 230 + kind;
    options.portDirectory = portDirectory;
    options.turnaround = kTurnaround;
    sim::PtySimulator simulator(options);
    std::string error;
    if (!simulator.Start(&error)) {
        std::fprintf(stderr, "simulated panel: %s\n", error.c_str());
        std::exit(1);
    }
    const int port = options.portNumber + 10;
    tk358::bench::PacedRelay relay(simulator.DevicePath(), port, portDirectory);
    if (!relay.Start(&error)) {
        std::fprintf(stderr, "relay: %s\n", error.c_str());
        std::exit(1);
    }
    // The first check of the poll thread comes one cycle after Open.
    tk358::SessionTiming timing;
    timing.cycle = 1ms;
    tk358::PanelSession session(timing);

    std::vector<double> runs;
    std::vector<sim::RecordedFrame> frames;
    for (int i = 0; i < kRuns; ++i) {
        simulator.ClearFrames();
        runs.push_back(RunOnce(session, port));
        frames = simulator.Frames();
        session.Close();
    }
    const Wire wire = WireOf(options.panel, frames);
    std::sort(runs.begin(), runs.end());
    const double measured = runs[runs.size() / 2];
    std::vector<double> bare;
    for (int i = 0; i < kRuns; ++i) {
        bare.push_back(BareExchanges(portDirectory + "/COM" + std::to_string(port), frames));
    }
    std::sort(bare.begin(), bare.end());
    const double reference = bare[bare.size() / 2];
    const double turnarounds = static_cast<double>(wire.exchanges) * Ms(kTurnaround).count();
    const double full =
        static_cast<double>(wire.requestBytes + wire.answerBytes) * kByteMs + turnarounds;
    std::printf("%4d %8d %9zu %6zu %6zu %8.1f %7.1f %7.1f %8.3f %8.3f\n", kind,
                options.panel.firmwareVersion, wire.exchanges, wire.requestBytes, wire.answerBytes,
                measured, reference, full, measured / reference, measured / full);
}

}  // namespace

int main() {
    char pattern[] = "/tmp/tk358-bench-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (dir == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    setenv("TK358_PORT_DIR", dir, 1);
    std::printf("median of %d start sequences; times in ms\n", kRuns);
    std::printf(
        "kind firmware exchanges  req.B  ans.B  session    bare    wire    /bare    /wire\n");
    const std::pair<int, int> panels[] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 100}, {4, 105}};
    for (const auto& [kind, firmware] : panels) {
        Measure(kind, firmware, dir);
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
}
