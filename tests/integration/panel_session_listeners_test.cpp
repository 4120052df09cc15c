// SPDX-License-Identifier: GPL-3.0-or-later
// The session's listeners run with no lock of the link held: a listener that
// takes a lock of its own never deadlocks with a thread that holds that lock
// while it calls into the session.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string_view>
#include <thread>

#include "link/panel_session.h"
#include "session_fixture.h"

namespace tk358::test {
namespace {

using namespace std::chrono_literals;

// The records' listener takes `lock`, as a program's own objects do; the
// observer only counts (it is called under its own lock, see SetLineObserver).
struct LockingListeners : RecordsListener, PanelLineObserver {
    void RecordsChanged() override {
        std::lock_guard<std::mutex> guard(lock);
        ++changes;
    }
    void OnPanelLine(std::string_view, bool) override { ++lines; }
    std::mutex lock;
    std::atomic<int> changes{0};
    std::atomic<int> lines{0};
};

TEST(PanelSessionListenersTest, ListenersTakingTheirOwnLockNeverBlockTheLink) {
    SessionRig rig(0, StatusEvery(10ms));
    LockingListeners listeners;
    rig.session.SetRecordsListener(&listeners);
    rig.session.SetLineObserver(&listeners);
    ASSERT_TRUE(rig.Start());

    // While lines keep coming, another thread calls into the session holding
    // the listener's lock, and an exchange runs.
    std::atomic<bool> stop{false};
    std::atomic<int> calls{0};
    std::thread caller([&] {
        while (!stop) {
            std::lock_guard<std::mutex> guard(listeners.lock);
            TemperatureReading t;
            rig.session.GetTemperature(t);
            rig.session.SetLineObserver(&listeners);
            ++calls;
        }
    });
    const int before = listeners.lines;
    EXPECT_EQ(rig.session.ReadParameter(0x01), kStatusOk);
    EXPECT_TRUE(WaitUntil([&] { return listeners.lines > before + 20 && calls > 20; }, 10s));
    stop = true;
    caller.join();
    EXPECT_GT(listeners.changes, 0);

    rig.session.SetLineObserver(nullptr);
    rig.session.SetRecordsListener(nullptr);
    rig.session.Close();
}

}  // namespace
}  // namespace tk358::test
