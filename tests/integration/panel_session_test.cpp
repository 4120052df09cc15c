// SPDX-License-Identifier: GPL-3.0-or-later
// The panel session against the simulated panel over a pseudo-terminal: start
// sequence, records from status lines, loss and return of the link, closing.

#include "link/panel_session.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <thread>

#include "session_fixture.h"
#include "support/panel_session_probe.h"

namespace tk358::test {
namespace {

TEST(PanelSessionTest, StartSequenceFramesForEachKind) {
    struct Case {
        int kind;
        int firmware;
        std::vector<int> reads;
    };
    const Case cases[] = {
        {0, 203, {0, 1, 6, 7, 8, 32, 33, 34, 35, 36, 37, 38}},
        {1, 104, {0, 64, 65, 66}},
        {2, 110, {72, 73, 74, 75, 76, 77, 78, 79, 80}},
        {3,
         107,
         {128, 129, 130, 131, 132, 133, 134, 135, 136, 137, 138, 139, 140, 141, 142, 143, 144, 145,
          146}},
        {4, 100, {90, 91, 92, 93}},
        {4, 105, {90, 91, 92, 93, 95, 160, 161, 162, 163, 164, 165}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "kind " << c.kind << ", firmware " << c.firmware);
        SessionRig rig(c.kind, {.firmware = c.firmware});
        ASSERT_TRUE(rig.session.Open(kComPort));
        ASSERT_TRUE(rig.WaitForRequest("0230000051", 10s));
        EXPECT_EQ(rig.Requests(),
                  Joined({{"020A00", "050100"}, ReadRequests(c.reads), {"0230000051"}}));
        ASSERT_TRUE(WaitUntil([&] { return rig.session.GetLinkStatus() == kStatusOk; }, 2s));

        const sim::SimConfig& config = rig.sim.WithPanel([](auto& p) { return p.Config(); });
        PanelIdentity id;
        EXPECT_EQ(rig.session.GetIdentity(id), kStatusOk);
        EXPECT_EQ(id.deviceType, c.kind);
        EXPECT_EQ(id.firmwareVersion, c.firmware);
        EXPECT_EQ(id.serialNumber, config.serialNumber);
        PanelInfo info;
        rig.session.GetPanelInfo(info);
        EXPECT_EQ(info.probeSerialNumber, config.probeSerialNumber);
        EXPECT_EQ(info.calibrationYear, config.calibrationYear);
        // The cache holds what the panel keeps.
        ASSERT_TRUE(WaitUntil(
            [&] {
                ParameterSet p;
                rig.session.GetParameters(p);
                return p.ReadComplete(c.kind);
            },
            2s));
        ParameterSet parameters;
        rig.session.GetParameters(parameters);
        for (const int code : c.reads) {
            EXPECT_TRUE(parameters.Matches(code, rig.sim.Parameter(code))) << "code " << code;
        }
        if (c.kind == kThresholdRegulator && c.firmware == 100) {
            // One channel set and no zone times on the old firmware.
            EXPECT_EQ(parameters.Value(165), 2);
            EXPECT_EQ(parameters.Value(95), 0);
            EXPECT_EQ(parameters.Value(164), 0);
        }
    }
}

// Which record each status line fills, by the line's prefix.
bool RecordValid(const PanelSession& s, const std::string& prefix) {
    const std::map<std::string, std::function<int()>> valid = {
        {"020200:",
         [&] {
             TemperatureReading r;
             s.GetTemperature(r);
             return int{r.valid};
         }},
        {"028000:",
         [&] {
             SetpointReading r;
             s.GetSetpointReading(r);
             return int{r.valid};
         }},
        {"028B00:",
         [&] {
             SetpointReading r;
             s.GetSetpointReading(r);
             return int{r.valid};
         }},
        {"028800:",
         [&] {
             RegulatorState r;
             s.GetRegulatorState(r);
             return int{r.valid};
         }},
        {"028900:",
         [&] {
             ValveState r;
             s.GetValveState(r);
             return int{r.valid};
         }},
        {"028A00:",
         [&] {
             DrainValveState r;
             s.GetDrainValveState(r);
             return int{r.valid};
         }},
        {"029300:",
         [&] {
             VentilationState r;
             s.GetVentilationState(r);
             return int{r.valid};
         }},
        {"029800:",
         [&] {
             ActiveZone r;
             s.GetActiveZone(r);
             return int{r.valid};
         }},
        {"029500:",
         [&] {
             RelayState r;
             s.GetRelayState(r);
             return int{r.valid};
         }},
        {"030000:",
         [&] {
             PanelClock r;
             s.GetPanelClock(r);
             return int{r.valid};
         }},
    };
    const auto it = valid.find(prefix);
    return it != valid.end() && it->second() == 1;
}

TEST(PanelSessionTest, EveryStatusLineOfEveryKindFillsItsRecord) {
    for (int kind = 0; kind <= 4; ++kind) {
        SCOPED_TRACE(::testing::Message() << "kind " << kind);
        SessionRig rig(kind, StatusEvery(50ms));
        ASSERT_TRUE(rig.Start());
        const std::vector<std::string> lines =
            rig.sim.WithPanel([](auto& p) { return p.StatusLines(); });
        ASSERT_FALSE(lines.empty());
        for (const std::string& line : lines) {
            const std::string prefix = line.substr(0, 7);
            EXPECT_TRUE(WaitUntil([&] { return RecordValid(rig.session, prefix); }, 2s)) << prefix;
        }
        // The temperature is the panel's, to the hundredth it is sent with.
        TemperatureReading t;
        rig.session.GetTemperature(t);
        const double panel = rig.sim.WithPanel([](auto& p) { return p.Values().temperature; });
        EXPECT_NEAR(t.temperature, panel, 0.5);
    }
}

TEST(PanelSessionTest, IgnoredAndFailedLinesAndTheLastAnswerTime) {
    PanelSession session(QuickTiming());
    const auto feed = [&](const std::string& line) {
        for (const char c : Compact(line) + "\r\n") {
            session.OnByteReceived(c);
        }
    };
    EXPECT_FALSE(PanelSessionProbe::LastAnswerSeconds(session));
    feed("028800: 00 0 0 0 0");  // too short: refused
    EXPECT_FALSE(PanelSessionProbe::LastAnswerSeconds(session));
    feed("050100: 0 1 XX");  // busy
    EXPECT_FALSE(PanelSessionProbe::LastAnswerSeconds(session));
    feed("028B00:01 0 0 0 0 000009C4 XX");  // not read, but the panel is talking
    ASSERT_TRUE(PanelSessionProbe::LastAnswerSeconds(session));
    EXPECT_LE(PanelSession::NowSeconds() - *PanelSessionProbe::LastAnswerSeconds(session), 1);
    SetpointReading sp;
    session.GetSetpointReading(sp);
    EXPECT_EQ(sp.valid, 0);
    PanelInfo info;
    session.GetPanelInfo(info);
    EXPECT_EQ(info.busy, 1);
    EXPECT_EQ(info.valid, 0);
}

TEST(PanelSessionTest, BusyPanelNeverCompletesTheStartSequence) {
    SessionRig rig(0);
    sim::FaultSettings faults;
    faults.busyPanelInfo = true;
    rig.sim.SetFaults(faults);
    ASSERT_TRUE(rig.session.Open(kComPort));
    ASSERT_TRUE(WaitUntil(
        [&] {
            const auto r = rig.Requests();
            return std::count(r.begin(), r.end(), "020A00") >= 3;
        },
        10s));
    rig.session.Close();
    const std::vector<std::string> sequence = {"020A00", "050100", "050100", "050100", "050100"};
    const std::vector<std::string> requests = rig.Requests();
    ASSERT_GE(requests.size(), 2 * sequence.size());
    EXPECT_EQ(std::vector<std::string>(requests.begin(), requests.begin() + 10),
              Joined({sequence, sequence}));
    PanelInfo info;
    rig.session.GetPanelInfo(info);
    EXPECT_EQ(info.busy, 1);
    EXPECT_EQ(info.valid, 0);
}

TEST(PanelSessionTest, LinkLostAndBack) {
    RigOptions options;
    options.timing.silence = 1s;
    options.statusPeriod = 200ms;
    SessionRig rig(0, options);
    ASSERT_TRUE(rig.Start());
    // Status lines keep the link up past the silence limit.
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(rig.session.GetLinkStatus(), kStatusOk);
    EXPECT_FALSE(rig.WaitForRequest("020A00", 0ms));

    rig.sim.SilenceUntilResumed();
    ASSERT_TRUE(WaitUntil([&] { return rig.session.GetLinkStatus() == kStatusFailed; }, 10s));
    TemperatureReading t;
    EXPECT_EQ(rig.session.GetTemperature(t), kStatusFailed);
    // The last reading stays, but it is no longer a reading of now.
    EXPECT_EQ(t.valid, 0);
    EXPECT_NE(t.temperature, 0.0);
    PanelIdentity id;
    rig.session.GetIdentity(id);
    EXPECT_EQ(id.identified, 1);
    // Nothing current is left to expire; the link's return is a change.
    const RecordsVersion down = rig.session.Version();
    EXPECT_EQ(down.freshUntil, MonotonicTime::max());

    rig.sim.ClearFrames();
    rig.sim.Resume();
    ASSERT_TRUE(WaitUntil([&] { return rig.session.GetLinkStatus() == kStatusOk; }, 10s));
    EXPECT_GT(rig.session.Version().changes, down.changes);
    EXPECT_TRUE(rig.WaitForRequest("0230000051", 10s));
}

TEST(PanelSessionTest, CloseWithoutOpenSendsNothing) {
    SessionRig rig(0);
    rig.session.Close();
    rig.session.Close();
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(rig.Requests().empty());
    EXPECT_EQ(rig.session.GetLinkStatus(), kStatusFailed);
}

TEST(PanelSessionTest, CloseAfterIdentificationSwitchesMonitoringOff) {
    SessionRig rig(2);
    ASSERT_TRUE(rig.Start());
    rig.session.Close();
    EXPECT_EQ(rig.Requests(), std::vector<std::string>{"0230000000"});
    EXPECT_FALSE(rig.sim.WithPanel([](auto& p) { return p.Monitoring(); }));
    // Records, cache and status stay; the identification is forgotten.
    EXPECT_EQ(rig.session.GetLinkStatus(), kStatusOk);
    PanelIdentity id;
    rig.session.GetIdentity(id);
    EXPECT_EQ(id.identified, 0);
    EXPECT_EQ(id.deviceType, kVentilationController);
    EXPECT_FALSE(PanelSessionProbe::LastAnswerSeconds(rig.session));
    // Opening again runs the start sequence again.
    ASSERT_TRUE(rig.Start());
}

TEST(PanelSessionTest, OpenFailsOnAMissingPortAndKeepsTheError) {
    TestPortDirectory();
    PanelSession session(QuickTiming());
    EXPECT_FALSE(session.Open(250));
    EXPECT_EQ(session.LastOpenError(), ENOENT);
    EXPECT_EQ(session.GetLinkStatus(), kStatusFailed);
    session.Close();
}

TEST(PanelSessionTest, ReopensTheSamePortAfterTheDeviceVanished) {
    SessionRig rig(0);
    ASSERT_TRUE(rig.Start());
    rig.sim.Vanish();
    ASSERT_TRUE(WaitUntil([&] { return rig.session.GetLinkStatus() == kStatusFailed; }, 5s));
    // While the device is away, nothing answers, the reopening fails each
    // cycle and exchanges fail at once.
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(rig.session.GetLinkStatus(), kStatusFailed);
    EXPECT_EQ(rig.session.LastOpenError(), ENOENT);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(rig.session.WriteParameter(36, 5), kStatusFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);

    rig.sim.ClearFrames();
    ASSERT_TRUE(rig.sim.Reappear());
    ASSERT_TRUE(WaitUntil([&] { return rig.session.GetLinkStatus() == kStatusOk; }, 10s));
    EXPECT_TRUE(rig.WaitForRequest("0230000051", 10s));
    EXPECT_EQ(rig.Requests().front(), "020A00");
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// COMn re-pointed at /dev/zero while the panel is away: refused at every
// reopening, at no cost, until it leads to the panel's terminal again.
TEST(PanelSessionTest, PortThatIsNoTerminalIsRefusedUntilItIsAPortAgain) {
    SessionRig rig(0);
    ASSERT_TRUE(rig.Start());
    rig.sim.Vanish();
    ASSERT_TRUE(WaitUntil([&] { return rig.session.GetLinkStatus() == kStatusFailed; }, 5s));
    const std::string link = TestPortDirectory() + "/COM" + std::to_string(kComPort);
    ASSERT_EQ(symlink("/dev/zero", link.c_str()), 0);
    ASSERT_TRUE(WaitUntil([&] { return rig.session.LastOpenError() == ENOTTY; }, 5s));

    const double before = CpuSeconds();
    std::this_thread::sleep_for(2s);
    EXPECT_LT(CpuSeconds() - before, 0.5);
    EXPECT_EQ(rig.session.GetLinkStatus(), kStatusFailed);

    ASSERT_EQ(unlink(link.c_str()), 0);
    rig.sim.ClearFrames();
    ASSERT_TRUE(rig.sim.Reappear());
    ASSERT_TRUE(WaitUntil([&] { return rig.session.GetLinkStatus() == kStatusOk; }, 5s));
    EXPECT_EQ(rig.session.LastOpenError(), 0);
    EXPECT_EQ(rig.Requests().front(), "020A00");
}

}  // namespace
}  // namespace tk358::test
