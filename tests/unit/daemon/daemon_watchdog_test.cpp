// SPDX-License-Identifier: GPL-3.0-or-later
// The watchdog as the main loop drives it: a sign of life at half the
// watchdog time while the panel side is active; none, one error line and no
// busy loop once the panel side stalls.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "daemon/daemon_loop.h"
#include "support/fake_panel.h"
#include "support/notify_socket.h"
#include "support/temp_dir.h"

namespace tk358 {
namespace {

using Clock = DaemonLoop::Clock;
using namespace std::chrono_literals;

TEST(DaemonWatchdog, AliveWhileThePanelSideIsActiveQuietWithoutBusyLoopOnceItStalls) {
    test::TempDir dir("tk358-watchdog");
    test::NotifySocket socket(dir.File("notify"));
    ::setenv("NOTIFY_SOCKET", dir.File("notify").c_str(), 1);
    ::setenv("WATCHDOG_USEC", "400000", 1);  // alive every 0.2 s
    const ServiceNotifier notifier;
    ::unsetenv("WATCHDOG_USEC");
    if (!notifier.AlivePeriod()) {
        GTEST_SKIP() << "built without libsystemd";
    }
    const int fd = ::open(dir.File("messages").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    const DaemonLog log("t", fd, false);
    DaemonOptions options;
    test::FakePanel panel;
    panel.linkStatus = kStatusFailed;
    for (const bool stalled : {false, true}) {
        DaemonLoop loop(panel, options, log, nullptr, nullptr, "COM1");
        loop.WatchOver(&notifier,
                       [stalled] { return stalled ? Clock::time_point() : Clock::now(); });
        int wakes = 0;
        const Clock::time_point end = Clock::now() + 1s;
        loop.Run([&](Clock::time_point until) {
            ++wakes;
            std::this_thread::sleep_until(std::min(until, end));
            return Clock::now() >= end ? DaemonLoop::Wake::kQuit : DaemonLoop::Wake::kTime;
        });
        const auto heard = socket.Collect(50ms);
        const auto alive = std::count(heard.begin(), heard.end(), "WATCHDOG=1");
        EXPECT_TRUE(stalled ? alive == 0 : alive >= 4) << alive;
        EXPECT_LE(wakes, 12) << "stalled " << stalled;  // 0.2-s signs of life, 1-s states
    }
    ::unsetenv("NOTIFY_SOCKET");
    EXPECT_NE(test::ReadFile(dir.File("messages")).find("obsługa panelu nie odpowiada"),
              std::string::npos);
    ::close(fd);
}

}  // namespace
}  // namespace tk358
