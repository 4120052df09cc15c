// SPDX-License-Identifier: GPL-3.0-or-later
// One session moved from one panel's line to another's, as the window's port
// change does it (Close, then Open on the other number): the new line's panel
// is identified again and its own codes go out, also when the new line
// already carries status lines.

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "link/parameter_codes.h"
#include "session_fixture.h"
#include "support/panel_session_probe.h"

namespace tk358::test {
namespace {

constexpr int kSecondPort = kComPort + 1;

struct SwitchCase {
    const char* name;
    int fromKind;
    int toKind;
    bool statusLinesBefore;                   // the second line talks before it is opened
    std::map<int, int> before;                // the second panel's parameters
    std::function<int(PanelSession&)> write;  // a write of the second kind's dialog
    std::vector<std::string> requests;        // what the write puts on the second line
    std::map<int, int> after;                 // the second panel's parameters then
};

// The cache a session holds after reading the whole set of `kind` from `panel`.
ParameterSet CacheOf(int kind, const sim::PtySimulator& panel) {
    ParameterSet set;
    for (const int code : FullReadCodes(kind)) {
        set.Store(code, panel.Parameter(code));
    }
    set.SetReadComplete(kind);
    return set;
}

TEST(PanelSessionSwitchTest, TheNewLinesPanelIsIdentifiedAndWrittenWithItsOwnCodes) {
    // clang-format off
    const SwitchCase cases[] = {
        {"dual zone to ventilation, status lines on the new line", 3, 2, true,
         {{72, 250}, {73, 0}, {74, 0}, {75, 0}, {76, 1}, {77, 0}, {78, 0}, {79, 0}, {80, 0}},
         [](PanelSession& s) { return s.WriteVentilationParameters(250, 300, 0, 0, 1, 0, 0, 0, 0); },
         Joined({Writes(73, {"01", "2C"}), ReadRequests({73})}),
         {{72, 250}, {73, 300}, {76, 1}}},
        {"temperature controller to dual zone, status lines on the new line", 0, 3, true,
         {{128, 15}, {129, 0}, {130, 0}, {131, 0}},
         [](PanelSession& s) { return s.WritePidParameters(15, 0, 0, 7, 0); },
         Joined({Writes(131, {"00", "07"}), ReadRequests({131})}),
         {{128, 15}, {131, 7}}},
        {"dual zone to temperature controller, quiet new line", 3, 0, false,
         {{32, 100}, {33, 0}, {34, 0}, {35, 0}, {36, 0}, {37, 0}},
         [](PanelSession& s) { return s.WriteRegulationParameters(100, 200, 3, 4, 6, -5, 1); },
         Joined({Writes(33, {"00", "C8"}), Writes(34, {"00", "03"}), Writes(35, {"00", "04"}),
                 Writes(36, {"FB"}), Writes(37, {"00", "06"}), ReadRequests({33, 34, 35, 36, 37})}),
         {{32, 100}, {33, 200}, {36, -5}, {37, 6}}},
    };
    // clang-format on
    for (const SwitchCase& c : cases) {
        SCOPED_TRACE(c.name);
        // A poll cycle several status periods long: the new line has talked
        // before the session first asks whether contact is lost.
        RigOptions first;
        first.timing.cycle = 250ms;
        SessionRig rig(c.fromKind, first);
        RigOptions second;
        second.comPort = kSecondPort;
        second.monitoring = c.statusLinesBefore;
        second.statusPeriod = 50ms;
        SessionRig other(c.toKind, second);
        for (const auto& [code, value] : c.before) {
            ASSERT_TRUE(other.sim.SetParameter(code, value)) << code;
        }
        ASSERT_TRUE(rig.Start());
        PanelSession& session = rig.session;
        const auto startSequences = [&] {
            return PanelSessionProbe::CompletedStartSequences(session);
        };
        // The count goes up just after the panel took the last request.
        ASSERT_TRUE(WaitUntil([&] { return startSequences() == 1; }, 2s));

        // A set point written whose read-back failed: its code waits for the
        // next read-back, which belongs to the first panel only.
        sim::FaultSettings noReads;
        noReads.parameterReadError = true;
        rig.sim.SetFaults(noReads);
        EXPECT_NE(session.WriteSetpoint(1234, 0), kStatusOk);
        ASSERT_FALSE(PanelSessionProbe::PendingReadCodes(session).empty());

        session.Close();
        ASSERT_TRUE(session.Open(kSecondPort));
        EXPECT_TRUE(PanelSessionProbe::PendingReadCodes(session).empty());
        EXPECT_TRUE(WaitUntil([&] { return startSequences() == 2; }, 10s));
        PanelIdentity id;
        EXPECT_EQ(session.GetIdentity(id), kStatusOk);
        EXPECT_EQ(id.identified, 1);
        EXPECT_EQ(id.deviceType, c.toKind);
        EXPECT_EQ(id.serialNumber, sim::DefaultConfig(c.toKind).serialNumber);
        ParameterSet cache;
        session.GetParameters(cache);
        EXPECT_TRUE(cache == CacheOf(c.toKind, other.sim)) << "not the second panel's set alone";

        other.sim.ClearFrames();
        EXPECT_EQ(c.write(session), kStatusOk);
        EXPECT_EQ(other.Requests(), c.requests);
        for (const auto& [code, value] : c.after) {
            EXPECT_EQ(other.sim.Parameter(code), value) << "code " << code;
        }
        session.Close();
    }
}

}  // namespace
}  // namespace tk358::test
