// SPDX-License-Identifier: GPL-3.0-or-later
// A client's start sequence and parameter backup through tk358d's shared
// line, against the same client on the line itself. The panel is simulated
// behind the 9600-baud relay of the other benchmarks (both directions paced,
// 5 ms turn-around, status lines once a second once monitoring is on). On the
// shared line the daemon's session holds the relay's port and the client
// reaches it through the Unix socket, as the window does through a COMn link:
// the socket hop, the daemon's relay thread and the 50 ms a new connection
// waits for a refusal are all in the figure.
//
//   start  = from Open until the client's start sequence has switched
//            monitoring on (a fresh session each run; the poll thread's
//            first check one millisecond after Open)
//   backup = reading the whole parameter set afresh, as --backup does

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "backup/backup_compare.h"
#include "daemon/daemon_log.h"
#include "daemon/line_share.h"
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
using Probe = tk358::test::PanelSessionProbe;

constexpr int kRuns = 10;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    std::exit(1);
}

bool WaitForStart(const tk358::PanelSession& session, int before) {
    const auto end = Clock::now() + 30s;
    while (Probe::CompletedStartSequences(session) == before) {
        if (Clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(50us);
    }
    return true;
}

double Mean(const std::vector<double>& values) {
    double sum = 0;
    for (const double v : values) {
        sum += v;
    }
    return sum / static_cast<double>(values.size());
}

// Median milliseconds of the start sequence on COM `port`, then of the backup.
// The panel sends its status lines throughout, as it does on a shared line
// (where the client's "monitoring off" never reaches it).
std::pair<double, double> Client(sim::PtySimulator& panel, int port) {
    std::vector<double> starts;
    std::vector<double> backups;
    tk358::SessionTiming timing;
    timing.cycle = 1ms;  // the first check comes one cycle after Open
    for (int i = 0; i < kRuns; ++i) {
        panel.WithPanel([](sim::SimPanel& p) { p.SetMonitoring(true); });
        // Run k starts k tenths of the status period after a burst, so every
        // run meets the bursts at another moment, on either line.
        panel.WaitUntil([](const sim::SimPanel& p) { return p.Monitoring(); }, 1s);
        std::this_thread::sleep_for(1100ms + i * 100ms);
        tk358::PanelSession session(timing);
        const auto start = Clock::now();
        if (!session.Open(port)) {
            Fail("COM" + std::to_string(port) +
                 " did not open: " + std::to_string(session.LastOpenError()));
        }
        if (!WaitForStart(session, 0)) {
            Fail("no start sequence on COM" + std::to_string(port));
        }
        starts.push_back(Ms(Clock::now() - start).count());
        std::this_thread::sleep_for(100ms);
        const auto read = Clock::now();
        if (tk358::ReadPanelSet(session, {}).status != tk358::ReadStatus::kOk) {
            Fail("no backup on COM" + std::to_string(port));
        }
        backups.push_back(Ms(Clock::now() - read).count());
        session.Close();
    }
    return {Mean(starts), Mean(backups)};
}

void Measure(int kind, const std::string& dir) {
    sim::PtySimulatorOptions options;
    options.panel = sim::DefaultConfig(kind);
    options.panel.statusPeriod = 1000ms;
    options.portNumber = 240 + kind;
    options.portDirectory = dir + "/ports";
    options.turnaround = 5ms;
    sim::PtySimulator panel(options);
    std::string error;
    if (!panel.Start(&error)) {
        Fail("simulated panel: " + error);
    }
    const int port = 250 + kind;
    tk358::bench::PacedRelay relay(panel.DevicePath(), port, options.portDirectory);
    if (!relay.Start(&error)) {
        Fail("relay: " + error);
    }
    const auto [directStart, directBackup] = Client(panel, port);

    tk358::PanelSession daemon;
    if (!daemon.Open(port) || !WaitForStart(daemon, 0)) {
        Fail("the daemon's session did not start");
    }
    const tk358::DaemonLog log("bench", 2, false);
    const std::string socket = dir + "/line" + std::to_string(kind) + ".sock";
    tk358::LineShare share(daemon, log, {socket, "", false});
    if (!share.Start(&error)) {
        Fail(error);
    }
    const int shared = port - 30;
    std::filesystem::create_symlink(socket,
                                    options.portDirectory + "/COM" + std::to_string(shared));
    const auto [sharedStart, sharedBackup] = Client(panel, shared);
    share.Stop();
    daemon.Close();
    std::printf("%4d %8.1f %8.1f %6.3f %8.1f %8.1f %6.3f\n", kind, directStart, sharedStart,
                sharedStart / directStart, directBackup, sharedBackup, sharedBackup / directBackup);
}

}  // namespace

int main() {
    char pattern[] = "/tmp/tk358-bench-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (dir == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string ports = std::string(dir) + "/ports";
    std::filesystem::create_directory(ports);
    std::filesystem::permissions(ports, std::filesystem::perms::owner_all);
    setenv("TK358_PORT_DIR", ports.c_str(), 1);
    std::printf("9600-baud relay, both directions paced; mean of %d; times in ms\n", kRuns);
    std::printf("kind    start  sh.start  ratio   backup sh.backup ratio\n");
    for (const int kind : {0, 2, 3, 4}) {
        Measure(kind, dir);
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
}
