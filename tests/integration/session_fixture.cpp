// SPDX-License-Identifier: GPL-3.0-or-later
#include "session_fixture.h"

#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "support/temp_dir.h"

namespace tk358::test {

SessionTiming QuickTiming() {
    SessionTiming timing;
    timing.answerWait = 300ms;
    timing.cycle = 20ms;
    return timing;
}

namespace {

struct TemporaryPortDirectory {
    TemporaryPortDirectory() {
        if (dir.Path().empty()) {
            throw std::runtime_error("no temporary port directory");
        }
        path = dir.Path().string();
        setenv("TK358_PORT_DIR", path.c_str(), 1);
    }
    TempDir dir{"tk358-session-test"};
    std::string path;
};

sim::PtySimulatorOptions SimOptions(int kind, const RigOptions& options) {
    sim::PtySimulatorOptions sim;
    sim.panel = sim::DefaultConfig(kind);
    if (options.firmware) {
        sim.panel.firmwareVersion = *options.firmware;
    }
    sim.panel.clockSeconds = 0;
    sim.panel.statusPeriod = options.statusPeriod;
    sim.panel.monitoring = options.monitoring;
    sim.portNumber = options.comPort;
    sim.portDirectory = TestPortDirectory();
    return sim;
}

}  // namespace

const std::string& TestPortDirectory() {
    static const TemporaryPortDirectory dir;
    return dir.path;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

std::string Compact(std::string text) {
    std::erase(text, ' ');
    return text;
}

std::string ReadRequest(int code) {
    return "028600" + HexText(static_cast<uint32_t>(code), 4);
}

std::vector<std::string> ReadRequests(const std::vector<int>& codes) {
    std::vector<std::string> requests;
    for (const int code : codes) {
        requests.push_back(ReadRequest(code));
    }
    return requests;
}

std::vector<std::string> Writes(int code, const std::vector<std::string>& bytes) {
    std::vector<std::string> frames;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        frames.push_back("028700" + HexText(static_cast<uint32_t>(code), 4) +
                         HexText(static_cast<uint32_t>(i), 2) + bytes[i]);
    }
    return frames;
}

std::vector<std::string> Joined(const std::vector<std::vector<std::string>>& parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

SessionRig::SessionRig(int kind, RigOptions options)
    : comPort(options.comPort), sim(SimOptions(kind, options)), session(options.timing) {
    std::string error;
    if (!sim.Start(&error)) {
        ADD_FAILURE() << "simulated panel did not start: " << error;
    }
}

bool SessionRig::Start() {
    if (!session.Open(comPort)) {
        ADD_FAILURE() << "COM" << comPort << " did not open: " << session.LastOpenError();
        return false;
    }
    // Once the panel has taken the word its answer is on the way, and nothing
    // follows until the panel falls silent.
    const bool monitoring =
        sim.WaitUntil([](const sim::SimPanel& panel) { return panel.Monitoring(); }, 10s);
    const bool linked = WaitUntil([this] { return session.GetLinkStatus() == kStatusOk; }, 2s);
    EXPECT_TRUE(monitoring && linked) << "monitoring " << monitoring << ", linked " << linked
                                      << ", requests " << ::testing::PrintToString(Requests());
    sim.ClearFrames();
    return monitoring && linked;
}

std::vector<std::string> SessionRig::Requests() const {
    std::vector<std::string> requests;
    for (const sim::RecordedFrame& frame : sim.Frames()) {
        const std::string& line = frame.line;
        const std::string text = line.size() > 4 ? line.substr(0, line.size() - 4) : "";
        const bool wellFormed = !text.empty() && BuildRequest(text).Text() == line;
        requests.push_back(wellFormed ? text : "!" + line);
    }
    return requests;
}

bool SessionRig::WaitForRequest(const std::string& request, std::chrono::milliseconds limit) const {
    return WaitUntil(
        [&] {
            for (const std::string& r : Requests()) {
                if (r == request) {
                    return true;
                }
            }
            return false;
        },
        limit);
}

}  // namespace tk358::test
