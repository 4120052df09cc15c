// The panel session against a scripted panel over a pseudo-terminal: start
// sequence, records from status lines, loss and return of the link, closing.

#include "link/panel_session.h"

#include <gtest/gtest.h>

#include "session_fixture.h"

namespace tk358::test {
namespace {

TEST(PanelSessionTest, StartSequenceFramesForEachKind) {
    struct Case {
        int kind;
        int firmware;
        std::vector<int> reads;
    };
    const Case cases[] = {
        {0, 105, {0, 1, 6, 7, 8, 32, 33, 34, 35, 36, 37, 38}},
        {1, 105, {0, 64, 65, 66}},
        {2, 105, {72, 73, 74, 75, 76, 77, 78, 79, 80}},
        {3,
         105,
         {128, 129, 130, 131, 132, 133, 134, 135, 136, 137, 138, 139, 140, 141, 142, 143, 144, 145,
          146}},
        {4, 100, {90, 91, 92, 93}},
        {4, 105, {90, 91, 92, 93, 95, 160, 161, 162, 163, 164, 165}},
    };
    for (const Case& c : cases) {
        SessionRig rig(c.kind, c.firmware);
        ASSERT_TRUE(rig.session.Open(kComPort)) << c.kind;
        ASSERT_TRUE(
            rig.panel.WaitForRequest([](const std::string& r) { return r == "0230000051"; }, 10s))
            << c.kind;
        const std::vector<std::string> expected =
            Joined({{"020A00", "050100"}, ReadRequests(c.reads), {"0230000051"}});
        EXPECT_EQ(rig.panel.Requests(), expected) << "kind " << c.kind << " fw " << c.firmware;
        ASSERT_TRUE(WaitUntil([&] { return rig.session.GetLinkStatus() == kStatusOk; }, 2s));

        PanelIdentity id;
        EXPECT_EQ(rig.session.GetIdentity(id), kStatusOk);
        EXPECT_EQ(id.deviceType, c.kind);
        EXPECT_EQ(id.firmwareVersion, c.firmware);
        EXPECT_EQ(id.serialNumber, 1234);
        ParameterSet parameters;
        rig.session.GetParameters(parameters);
        EXPECT_TRUE(parameters.ReadComplete(c.kind));
        PanelInfo info;
        rig.session.GetPanelInfo(info);
        EXPECT_EQ(info.valid, 1);
    }
}

TEST(PanelSessionTest, OldThresholdFirmwareGetsOneChannelDefaults) {
    SessionRig rig(4, 100);
    rig.model.SetValue(165, 1);
    rig.model.SetValue(95, 7);
    ASSERT_TRUE(rig.Start());
    ParameterSet p;
    rig.session.GetParameters(p);
    EXPECT_EQ(p.Value(165), 2);
    EXPECT_EQ(p.Value(95), 0);
    EXPECT_TRUE(p.ReadComplete(kThresholdRegulator));
}

TEST(PanelSessionTest, ParameterValuesReachTheCache) {
    SessionRig rig(3);
    rig.model.SetValue(132, 55000);
    rig.model.SetValue(129, -20);
    ASSERT_TRUE(rig.Start());
    ParameterSet p;
    rig.session.GetParameters(p);
    EXPECT_EQ(p.Value(132), 55000);
    EXPECT_EQ(p.Value(129), -20);
}

TEST(PanelSessionTest, StatusLinesReachTheirRecords) {
    SessionRig rig(3);
    ASSERT_TRUE(rig.Start());
    PanelSession& s = rig.session;
    rig.panel.Send("020200: 000 0 0 0000093A 0000000000000000000000000000000000000 XX");
    rig.panel.Send("028B00:00 0 0 0 0 000009C4 XX");
    rig.panel.Send("029800: 01 000 XX");
    rig.panel.Send("029500: 01 0 01 0 0BB8 XX");
    rig.panel.Send("030000: 0 4 0 02304D80 XX");
    rig.panel.Send("028A00: 0000012C 0 FFFFFF9C 0 06 0 01 XX");
    rig.panel.Send("029300: 03 0 02 0 00000E10 0 00000001 XX");
    rig.panel.Send("028900: 00 0 42C80000 0 00000001 0 00000064 0 0 3 0 1 0 01F4 XX");
    rig.panel.Send(
        "028800: 00 0 0 0 0 41200000: 41CC0000: 41200000: 3F800000: 40000000: 40400000: "
        "40800000: C0A00000: 0032 XX");
    ASSERT_TRUE(WaitUntil(
        [&] {
            RegulatorState r;
            s.GetRegulatorState(r);
            return r.valid == 1;
        },
        2s));
    TemperatureReading t;
    EXPECT_EQ(s.GetTemperature(t), kStatusOk);
    EXPECT_DOUBLE_EQ(t.temperature, 23.62);
    SetpointReading sp;
    s.GetSetpointReading(sp);
    EXPECT_EQ(sp.setpoint, 2500);
    ActiveZone zone;
    s.GetActiveZone(zone);
    EXPECT_EQ(zone.zone, 1);
    RelayState relay;
    s.GetRelayState(relay);
    EXPECT_EQ(relay.relay2, 1);
    PanelClock clock;
    s.GetPanelClock(clock);
    EXPECT_EQ(clock.time, (SystemTime{2001, 3, 4, 1, 0, 0, 0, 0}));
    DrainValveState drain;
    s.GetDrainValveState(drain);
    EXPECT_EQ(drain.stateCode, 6);
    VentilationState vent;
    s.GetVentilationState(vent);
    EXPECT_EQ(vent.periodStartCounter, 1);
    ValveState valve;
    s.GetValveState(valve);
    EXPECT_EQ(valve.commandValue, 500);
    RegulatorState regulator;
    s.GetRegulatorState(regulator);
    EXPECT_DOUBLE_EQ(regulator.controlValue, 10.0);
}

TEST(PanelSessionTest, IgnoredAndFailedLinesAndTheLastAnswerTime) {
    PanelSession session(QuickTiming());
    const auto feed = [&](const std::string& line) {
        for (const char c : Compact(line) + "\r\n") {
            session.OnByteReceived(c);
        }
    };
    EXPECT_FALSE(session.LastAnswerSeconds());
    feed("028800: 00 0 0 0 0");  // too short: refused
    EXPECT_FALSE(session.LastAnswerSeconds());
    feed("050100: 0 1 XX");  // busy
    EXPECT_FALSE(session.LastAnswerSeconds());
    feed("028B00:01 0 0 0 0 000009C4 XX");  // not read, but the panel is talking
    ASSERT_TRUE(session.LastAnswerSeconds());
    EXPECT_LE(PanelSession::NowSeconds() - *session.LastAnswerSeconds(), 1);
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
    rig.model.SetBusy(true);
    ASSERT_TRUE(rig.session.Open(kComPort));
    // Start sequences: identification, then four busy answers each.
    ASSERT_TRUE(WaitUntil(
        [&] {
            const auto r = rig.panel.Requests();
            return std::count(r.begin(), r.end(), "020A00") >= 3;
        },
        10s));
    rig.session.Close();
    const std::vector<std::string> requests = rig.panel.Requests();
    const std::vector<std::string> sequence = {"020A00", "050100", "050100", "050100", "050100"};
    ASSERT_GE(requests.size(), 2 * sequence.size());
    EXPECT_EQ(std::vector<std::string>(requests.begin(), requests.begin() + 10),
              Joined({sequence, sequence}));
    PanelInfo info;
    rig.session.GetPanelInfo(info);
    EXPECT_EQ(info.busy, 1);
    EXPECT_EQ(info.valid, 0);
}

TEST(PanelSessionTest, LinkLostAndBack) {
    SessionTiming timing = QuickTiming();
    timing.silence = 1s;
    SessionRig rig(0, 105, timing);
    ASSERT_TRUE(rig.Start());
    rig.model.SetSilent(true);
    ASSERT_TRUE(WaitUntil([&] { return rig.session.GetLinkStatus() == kStatusFailed; }, 10s));
    TemperatureReading t;
    EXPECT_EQ(rig.session.GetTemperature(t), kStatusFailed);
    PanelIdentity id;
    rig.session.GetIdentity(id);
    EXPECT_EQ(id.identified, 1);  // kept while the panel is silent

    rig.model.SetSilent(false);
    ASSERT_TRUE(WaitUntil([&] { return rig.session.GetLinkStatus() == kStatusOk; }, 10s));
    EXPECT_TRUE(
        rig.panel.WaitForRequest([](const std::string& r) { return r == "0230000051"; }, 10s));
}

TEST(PanelSessionTest, CloseWithoutOpenSendsNothing) {
    PanelModel model(0);
    ScriptedPanel panel(kComPort, [&](const std::string& r) { return model.Answer(r); });
    PanelSession session(QuickTiming());
    session.Close();
    session.Close();
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(panel.Requests().empty());
    EXPECT_EQ(session.GetLinkStatus(), kStatusFailed);
}

TEST(PanelSessionTest, CloseAfterIdentificationSwitchesMonitoringOff) {
    SessionRig rig(2);
    ASSERT_TRUE(rig.Start());
    rig.session.Close();
    EXPECT_EQ(rig.panel.Requests(), std::vector<std::string>{"0230000000"});
    EXPECT_EQ(rig.model.MonitoringWord(), 0);
    // Records, cache and status stay; identification is forgotten.
    EXPECT_EQ(rig.session.GetLinkStatus(), kStatusOk);
    PanelIdentity id;
    rig.session.GetIdentity(id);
    EXPECT_EQ(id.identified, 0);
    EXPECT_EQ(id.deviceType, kVentilationController);
    EXPECT_FALSE(rig.session.LastAnswerSeconds());

    // Reopening runs the start sequence again.
    rig.panel.ClearRequests();
    ASSERT_TRUE(rig.Start());
}

TEST(PanelSessionTest, OpenFailsOnAMissingPortAndKeepsTheError) {
    ScriptedPanel::PortDirectory();
    PanelSession session(QuickTiming());
    EXPECT_FALSE(session.Open(250));
    EXPECT_NE(session.LastOpenError(), 0);
    EXPECT_EQ(session.GetLinkStatus(), kStatusFailed);
    session.Close();
}

TEST(PanelSessionTest, ReopensTheSamePortAfterTheDeviceVanished) {
    SessionRig rig(0);
    ASSERT_TRUE(rig.Start());
    rig.panel.Vanish();
    ASSERT_TRUE(WaitUntil([&] { return rig.session.GetLinkStatus() == kStatusFailed; }, 5s));
    // While the device is away nothing answers and nothing spins.
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(rig.session.GetLinkStatus(), kStatusFailed);
    EXPECT_EQ(rig.session.WriteParameter(36, 5), kStatusFailed);

    rig.panel.Reappear();
    ASSERT_TRUE(WaitUntil([&] { return rig.session.GetLinkStatus() == kStatusOk; }, 10s));
    EXPECT_TRUE(
        rig.panel.WaitForRequest([](const std::string& r) { return r == "0230000051"; }, 10s));
    EXPECT_EQ(rig.panel.Requests().front(), "020A00");
}

}  // namespace
}  // namespace tk358::test
