// SPDX-License-Identifier: GPL-3.0-or-later
// Parameter writes and the write operations of the panel session, byte for
// byte on the wire, against the simulated panel over a pseudo-terminal.

#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "session_fixture.h"
#include "support/panel_session_probe.h"

namespace tk358::test {
namespace {

TEST(ParameterWriteTest, BytesOnTheWire) {
    struct Case {
        int kind;
        int code;
        int value;
        std::vector<std::string> frames;
    };
    const Case cases[] = {
        {4, 90, -2000, {"028700 005A 00 F8", "028700 005A 01 30"}},
        {4, 92, -1, {"028700 005C 00 FF", "028700 005C 01 FF"}},
        {4, 93, 300, {"028700 005D 00 01", "028700 005D 01 2C"}},
        {0, 36, 5, {"028700 0024 00 05"}},
        {0,
         6,
         -100,
         {"028700 0006 00 FF", "028700 0006 01 FF", "028700 0006 02 FF", "028700 0006 03 9C"}},
    };
    for (const int kind : {0, 4}) {
        SessionRig rig(kind);
        ASSERT_TRUE(rig.Start());
        for (const Case& c : cases) {
            if (c.kind != kind) {
                continue;
            }
            rig.sim.ClearFrames();
            EXPECT_EQ(rig.session.WriteParameter(c.code, c.value), kStatusOk) << c.code;
            std::vector<std::string> expected;
            for (const std::string& frame : c.frames) {
                expected.push_back(Compact(frame));
            }
            EXPECT_EQ(rig.Requests(), expected) << c.code;
            ParameterSet written;
            written.Store(c.code, c.value);
            EXPECT_TRUE(written.Matches(c.code, rig.sim.Parameter(c.code))) << c.code;
        }
        EXPECT_TRUE(PanelSessionProbe::PendingReadCodes(rig.session).empty());
    }
}

TEST(ParameterWriteTest, CodesWithoutWriteFormatAreRefusedWithoutTraffic) {
    SessionRig rig(0);
    ASSERT_TRUE(rig.Start());
    for (const int code : {0, 166, 2, 94, -1}) {
        EXPECT_EQ(rig.session.WriteParameter(code, 1), kStatusFailed) << code;
    }
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(rig.Requests().empty());
}

TEST(ParameterWriteTest, SilentPanelGivesUpAfterFivePasses) {
    SessionRig rig(0);
    ASSERT_TRUE(rig.Start());
    rig.sim.SilenceUntilResumed();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(rig.session.WriteParameter(6, 1000), kStatusFailed);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(rig.Requests(), std::vector<std::string>(5, Compact("028700 0006 00 00")));
    const auto wait = QuickTiming().answerWait;
    EXPECT_GE(elapsed, 5 * wait);
    EXPECT_LT(elapsed, 5 * wait + 1s);
}

struct OperationCase {
    const char* name;
    int kind;
    std::map<int, int64_t> before;  // panel values before the start sequence
    std::function<int(PanelSession&)> operation;
    std::vector<std::string> requests;
    std::map<int, int64_t> after;  // panel values afterwards
};

// Each operation writes only the values that differ, in its own order, and
// reads every written code back.
TEST(WriteOperationTest, OnlyChangedValuesInOrderThenReadBack) {
    // clang-format off
    const OperationCase cases[] = {
        {"PID, temperature controller", 0,
         {{1, 25}, {6, 100}, {7, 30}, {8, 5}},
         [](PanelSession& s) { return s.WritePidParameters(25, 120, 30, 0, 0); },
         Joined({Writes(6, {"00", "00", "00", "78"}), Writes(8, {"00", "00", "00", "00"}),
                 ReadRequests({6, 8})}),
         {{1, 25}, {6, 120}, {7, 30}, {8, 0}}},
        {"PID, dual zone, zone 2", 3,
         {{133, 10}, {134, 0}, {135, 0}, {136, 0}, {128, 99}},
         [](PanelSession& s) { return s.WritePidParameters(15, 1, 2, 3, 1); },
         Joined({Writes(134, {"00", "01"}), Writes(135, {"00", "02"}), Writes(136, {"00", "03"}),
                 Writes(133, {"00", "0F"}), ReadRequests({134, 135, 136, 133})}),
         {{133, 15}, {134, 1}, {135, 2}, {136, 3}, {128, 99}}},
        {"PID, dual zone, zone 1", 3,
         {{128, 15}, {129, 0}, {130, 0}, {131, 0}},
         [](PanelSession& s) { return s.WritePidParameters(15, 0, 0, 7, 0); },
         Joined({Writes(131, {"00", "07"}), ReadRequests({131})}),
         {{128, 15}, {131, 7}}},
        {"regulation, temperature controller", 0,
         {{32, 100}, {33, 0}, {34, 0}, {35, 0}, {36, 0}, {37, 0}},
         [](PanelSession& s) { return s.WriteRegulationParameters(100, 200, 3, 4, 6, -5, 1); },
         Joined({Writes(33, {"00", "C8"}), Writes(34, {"00", "03"}), Writes(35, {"00", "04"}),
                 Writes(36, {"FB"}), Writes(37, {"00", "06"}), ReadRequests({33, 34, 35, 36, 37})}),
         {{32, 100}, {33, 200}, {34, 3}, {35, 4}, {36, -5}, {37, 6}}},
        {"regulation, dual zone", 3,
         {{140, 0}, {141, 0}, {142, 0}, {143, 0}, {144, 0}, {145, 0}, {146, 0}},
         [](PanelSession& s) { return s.WriteRegulationParameters(1, 2, 3, 4, 6, 5, 0x101); },
         Joined({Writes(140, {"00", "01"}), Writes(141, {"00", "02"}), Writes(142, {"00", "03"}),
                 Writes(143, {"00", "04"}), Writes(144, {"00", "05"}), Writes(145, {"00", "06"}),
                 Writes(146, {"00", "01"}), ReadRequests({140, 141, 142, 143, 144, 145, 146})}),
         {{140, 1}, {144, 5}, {145, 6}, {146, 1}}},
        {"drain valve", 1,
         {{64, 0}, {65, 50}, {66, 0}},
         [](PanelSession& s) { return s.WriteDrainValveParameters(600, 50, -15); },
         Joined({Writes(64, {"02", "58"}), Writes(66, {"FF", "F1"}), ReadRequests({64, 66})}),
         {{64, 600}, {65, 50}, {66, -15}}},
        {"ventilation", 2,
         {{72, 250}, {73, 0}, {74, 0}, {75, 0}, {76, 1}, {77, 0}, {78, 0}, {79, 0}, {80, 0}},
         [](PanelSession& s) {
             return s.WriteVentilationParameters(250, 300, 5, 6, 1, 3, 10, 60, 180);
         },
         Joined({Writes(73, {"01", "2C"}), Writes(74, {"00", "05"}), Writes(75, {"00", "06"}),
                 Writes(77, {"03"}), Writes(78, {"0A"}), Writes(79, {"3C"}),
                 Writes(80, {"00", "B4"}), ReadRequests({73, 74, 75, 77, 78, 79, 80})}),
         {{72, 250}, {73, 300}, {76, 1}, {77, 3}, {80, 180}}},
        {"threshold, one channel", 4,
         {{90, 0}, {91, 0}, {92, 0}, {93, 0}, {165, 2}},
         [](PanelSession& s) { return s.WriteThresholdParameters(200, 210, 10, 11, 1); },
         Joined({Writes(90, {"00", "C8"}), Writes(92, {"00", "0A"}), Writes(165, {"00", "01"}),
                 ReadRequests({90, 92, 165})}),
         {{90, 200}, {91, 0}, {92, 10}, {93, 0}, {165, 1}}},
        {"threshold and zone times, two channels", 4,
         {{90, 200}, {91, 0}, {92, 0}, {93, 0}, {95, 0}, {160, 0}, {161, 0}, {162, 0}, {163, 0},
          {164, 0}, {165, 2}},
         [](PanelSession& s) {
             return s.WriteThresholdTimeParameters(200, 210, 10, 11, 150, 160, 12, 13, 6, 35, 22,
                                                   0, 2);
         },
         Joined({Writes(95, {"00", "27"}), Writes(164, {"00", "84"}), Writes(91, {"00", "D2"}),
                 Writes(92, {"00", "0A"}), Writes(93, {"00", "0B"}), Writes(160, {"00", "96"}),
                 Writes(161, {"00", "A0"}), Writes(162, {"00", "0C"}), Writes(163, {"00", "0D"}),
                 ReadRequests({95, 164, 91, 92, 93, 160, 161, 162, 163})}),
         {{90, 200}, {95, 39}, {164, 132}, {161, 160}, {163, 13}, {165, 2}}},
        {"set point of a single-set-point panel, by its own command", 0,
         {{0, 2000}},
         [](PanelSession& s) { return s.WriteSetpoint(-550, 0); },
         {"028100FFFFFDDA", ReadRequest(0)},
         {{0, -550}}},
        {"set point 2, dual zone", 3,
         {{132, 0}, {137, 0}},
         [](PanelSession& s) { return s.WriteSetpoint(55000, 1); },
         Joined({Writes(137, {"00", "00", "D6", "D8"}), ReadRequests({137})}),
         {{132, 0}, {137, 55000}}},
        {"set point of another index, dual zone", 3,
         {{132, 0}, {137, 0}},
         [](PanelSession& s) { return s.WriteSetpoint(55000, 2); },
         {},
         {{132, 0}, {137, 0}}},
        {"switch-on time, low byte", 3,
         {{138, 0}},
         [](PanelSession& s) { return s.WriteSetpointTime(0x190, 0); },
         Joined({Writes(138, {"00", "90"}), ReadRequests({138})}),
         {{138, 0x90}}},
        {"CV and CV lock, temperature controller", 0,
         {{38, 0}},
         [](PanelSession& s) { return s.WriteCvSettings(10.0, 1); },
         Joined({{"02840041200000"}, Writes(38, {"01"}), ReadRequests({38})}),
         {{38, 1}}},
    };
    // clang-format on
    for (const OperationCase& c : cases) {
        SCOPED_TRACE(c.name);
        SessionRig rig(c.kind);
        for (const auto& [code, value] : c.before) {
            ASSERT_TRUE(rig.sim.SetParameter(code, value)) << code;
        }
        ASSERT_TRUE(rig.Start());
        EXPECT_EQ(c.operation(rig.session), kStatusOk);
        EXPECT_EQ(rig.Requests(), c.requests);
        ParameterSet cache;
        rig.session.GetParameters(cache);
        for (const auto& [code, value] : c.after) {
            EXPECT_EQ(rig.sim.Parameter(code), value) << "code " << code;
            EXPECT_TRUE(cache.Matches(code, value)) << "cached code " << code;
        }
        EXPECT_TRUE(PanelSessionProbe::PendingReadCodes(rig.session).empty());
    }
}

TEST(WriteOperationTest, CvValueAndLockReachThePanel) {
    SessionRig rig(3);
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(rig.session.WriteCvSettings(0.0, 1), kStatusOk);
    EXPECT_TRUE(rig.sim.WithPanel([](auto& p) { return p.CvLock(); }));
    EXPECT_EQ(rig.session.WriteCvSettings(37.5, 0), kStatusOk);
    EXPECT_FALSE(rig.sim.WithPanel([](auto& p) { return p.CvLock(); }));
    EXPECT_EQ(rig.Requests(), (std::vector<std::string>{"02850001", "02840042160000", "02850000"}));
}

TEST(WriteOperationTest, ValuesEqualToTheCacheSendNothing) {
    SessionRig rig(0);
    for (const auto& [code, value] : std::map<int, int>{{0, 2000},
                                                        {1, 25},
                                                        {6, 100},
                                                        {7, 0},
                                                        {8, 0},
                                                        {32, 10},
                                                        {33, 0},
                                                        {34, 0},
                                                        {35, 0},
                                                        {36, 0},
                                                        {37, 0}}) {
        ASSERT_TRUE(rig.sim.SetParameter(code, value));
    }
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(rig.session.WritePidParameters(25, 100, 0, 0, 0), kStatusOk);
    EXPECT_EQ(rig.session.WriteRegulationParameters(10, 0, 0, 0, 0, 0, 7), kStatusOk);
    EXPECT_EQ(rig.session.WriteSetpoint(2000, 0), kStatusOk);
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(rig.Requests().empty());
}

TEST(WriteOperationTest, RefusedOperationsSendNothing) {
    SessionRig rig(0);
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(rig.session.WriteSetpointTime(30, 0), kStatusFailed);
    EXPECT_EQ(rig.session.SetPanelClock({2001, 2, 0, 29, 0, 0, 0, 0}), kStatusFailed);
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(rig.Requests().empty());
}

TEST(WriteOperationTest, WrittenCodesStayPendingAfterAFailureAndAreReadFirstNextTime) {
    SessionRig rig(0);
    for (const int code : {1, 6, 7, 8, 32, 33, 34, 35, 36, 37}) {
        ASSERT_TRUE(rig.sim.SetParameter(code, 0));
    }
    ASSERT_TRUE(rig.Start());
    sim::FaultSettings faults;

    // Written, but the read-back fails.
    faults.parameterReadError = true;
    rig.sim.SetFaults(faults);
    EXPECT_EQ(rig.session.WriteRegulationParameters(100, 0, 0, 0, 0, 0, 0), kStatusFailed);
    EXPECT_EQ(PanelSessionProbe::PendingReadCodes(rig.session), std::vector<int>{32});
    EXPECT_EQ(rig.sim.Parameter(32), 100);

    // A refused write ends the next operation before its read-back.
    faults = {};
    faults.refuseParameterWrites = true;
    rig.sim.SetFaults(faults);
    EXPECT_EQ(rig.session.WritePidParameters(0, 7, 0, 0, 0), kStatusFailed);
    EXPECT_EQ(PanelSessionProbe::PendingReadCodes(rig.session), std::vector<int>{32});

    // The next operation reads the old code back before its own.
    rig.sim.SetFaults({});
    rig.sim.ClearFrames();
    EXPECT_EQ(rig.session.WritePidParameters(0, 7, 0, 0, 0), kStatusOk);
    EXPECT_EQ(rig.Requests(), Joined({Writes(6, {"00", "00", "00", "07"}), ReadRequests({32, 6})}));
    EXPECT_TRUE(PanelSessionProbe::PendingReadCodes(rig.session).empty());
    ParameterSet cache;
    rig.session.GetParameters(cache);
    EXPECT_EQ(cache.Value(32), 100);
    EXPECT_EQ(cache.Value(6), 7);
}

TEST(WriteOperationTest, PanelClock) {
    SessionRig rig(3, StatusEvery(50ms));
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(rig.session.SetPanelClock({2000, 1, 6, 1, 0, 0, 0, 0}), kStatusOk);
    EXPECT_EQ(rig.session.SetPanelClock({2001, 3, 4, 1, 0, 0, 0, 0}), kStatusOk);
    EXPECT_EQ(rig.Requests(), (std::vector<std::string>{"03100000000000", "03100002304D80"}));
    EXPECT_GE(rig.sim.WithPanel([](auto& p) { return p.ClockSeconds(); }), 36'720'000u);

    // The time the panel last reported, all 16 bytes alike: nothing to send.
    PanelClock clock;
    ASSERT_TRUE(WaitUntil(
        [&] {
            rig.session.GetPanelClock(clock);
            return clock.valid == 1 && clock.time.year == 2001;
        },
        2s));
    rig.sim.SilenceUntilResumed();  // no newer clock line from here on
    std::this_thread::sleep_for(100ms);
    rig.session.GetPanelClock(clock);
    rig.sim.ClearFrames();
    EXPECT_EQ(rig.session.SetPanelClock(clock.time), kStatusOk);
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(rig.Requests().empty());
}

}  // namespace
}  // namespace tk358::test
