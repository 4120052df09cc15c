#pragma once

// Shared pieces of the session tests: quick timing, waiting, and a session
// opened against a scripted panel with its start sequence done.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/frame.h"
#include "link/panel_session.h"
#include "link/session_timing.h"
#include "panel_model.h"
#include "scripted_panel.h"

namespace tk358::test {

using namespace std::chrono_literals;

inline constexpr int kComPort = 7;

// Exchanges answered over a pseudo-terminal take well under a millisecond;
// the answer wait leaves room for slow sanitizer builds. The silence limit
// stays as in the program, so no start sequence interrupts a test.
inline SessionTiming QuickTiming() {
    SessionTiming timing;
    timing.answerWait = 300ms;
    timing.cycle = 20ms;
    return timing;
}

inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

inline std::string ReadRequest(int code) {
    return "028600" + HexText(static_cast<uint32_t>(code), 4);
}

inline std::vector<std::string> ReadRequests(const std::vector<int>& codes) {
    std::vector<std::string> requests;
    for (const int code : codes) {
        requests.push_back(ReadRequest(code));
    }
    return requests;
}

inline std::vector<std::string> Joined(std::vector<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// A panel model behind a scripted panel on COM7, and a session opened on it.
struct SessionRig {
    explicit SessionRig(int kind, int firmware = 105, SessionTiming timing = QuickTiming())
        : model(kind, firmware),
          panel(kComPort, [this](const std::string& r) { return model.Answer(r); }),
          session(timing) {}

    // Opens the session and waits until its start sequence has switched the
    // monitoring mode on; then forgets the requests seen so far.
    bool Start() {
        if (!session.Open(kComPort)) {
            ADD_FAILURE() << "COM" << kComPort << " did not open: " << session.LastOpenError();
            return false;
        }
        const bool started =
            panel.WaitForRequest([](const std::string& r) { return r == "0230000051"; }, 10s);
        // Once the panel has taken the word its answer is on the way, and
        // nothing follows until the panel falls silent.
        const bool answered = WaitUntil([this] { return model.MonitoringWord() == 0x51; }, 2s);
        const int status = session.GetLinkStatus();
        EXPECT_TRUE(started && answered && status == kStatusOk)
            << "monitoring requested " << started << ", taken " << answered << ", link status "
            << status << ", requests " << ::testing::PrintToString(panel.Requests());
        panel.ClearRequests();
        return started && answered && status == kStatusOk;
    }

    PanelModel model;
    ScriptedPanel panel;
    PanelSession session;
};

}  // namespace tk358::test
