// SPDX-License-Identifier: GPL-3.0-or-later
// Backup, compare and restore against the simulated panel over a
// pseudo-terminal: the values read, the frames a restore puts on the line,
// and the command line's answers and exit codes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "backup/backup_cli.h"
#include "backup/backup_compare.h"
#include "backup/backup_file.h"
#include "link/parameter_codes.h"
#include "session_fixture.h"
#include "support/temp_dir.h"

namespace tk358::test {
namespace {

using namespace param;

// How the program shows the simulated panel's raw value of `code`.
double Shown(const sim::PtySimulator& sim, int code) {
    ParameterSet set;
    set.Store(code, sim.Parameter(code));
    return set.Shown(code);
}

// The codes that "028700" frames wrote, and whether a "028100" set point went.
std::set<int> WrittenCodes(const SessionRig& rig) {
    std::set<int> codes;
    for (const std::string& request : rig.Requests()) {
        if (request.rfind("028700", 0) == 0) {
            codes.insert(std::stoi(request.substr(6, 4), nullptr, 16));
        } else if (request.rfind("028100", 0) == 0) {
            codes.insert(kSetpoint);
        }
    }
    return codes;
}

std::vector<int> InSetOrder(int kind, int firmware, const std::map<int, int64_t>& changes) {
    std::vector<int> codes;
    for (const int code : PanelSetCodes(kind, firmware)) {
        if (changes.count(code) != 0) {
            codes.push_back(code);
        }
    }
    return codes;
}

struct KindCase {
    int kind;
    std::map<int, int64_t> changes;  // raw values put on the simulated panel
};

const KindCase kKinds[] = {
    {0, {{kSetpoint, 3150}, {kTd, 77}, {kDeadBand, 200}}},
    {1, {{kSetpoint, -1250}, {kCloseDelay, 33}}},
    {2, {{kVentT2, 0xFF38}, {kFans, 2}, {kAiringPeriod, 45}}},  // T2 -20.0 °C
    {3, {{kZone2Ti, 321}, {kZone1SwitchOn, 50}, {kDualReverse, 1}, {kZone2Setpoint, 1999}}},
    {4, {{kNightT2, 123}, {kNightStart, 140}, {kDayH1, 17}}},
};

// For each kind: the backup holds the panel's values; after the panel is
// changed the comparison lists exactly the changed settings; the restore
// writes only those and leaves the panel with the file's values.
TEST(BackupSessionTest, BackupCompareRestoreEveryKind) {
    for (const KindCase& c : kKinds) {
        SCOPED_TRACE(c.kind);
        SessionRig rig(c.kind, StatusEvery(100ms));
        ASSERT_TRUE(rig.Start());
        const SetReadResult backup = ReadPanelSet(rig.session, {});
        ASSERT_EQ(backup.status, ReadStatus::kOk) << ReadFailureText(backup);
        for (const BackupValue& v : backup.set.values) {
            if (v.code != kCv && v.code != kDualCvLock) {
                EXPECT_EQ(v.value, Shown(rig.sim, v.code)) << v.code;
            }
        }
        for (const auto& [code, value] : c.changes) {
            ASSERT_TRUE(rig.sim.SetParameter(code, value)) << code;
        }
        const SetReadResult changed = ReadPanelSet(rig.session, {});
        ASSERT_EQ(changed.status, ReadStatus::kOk);
        const std::vector<int> differing = DifferingCodes(CompareSets(changed.set, backup.set));
        const int firmware = backup.set.panel.firmware;
        EXPECT_EQ(differing, InSetOrder(c.kind, firmware, c.changes));

        rig.sim.ClearFrames();
        const RestoreOutcome outcome = RestoreRows(rig.session, backup.set, differing);
        EXPECT_TRUE(outcome.complete);
        for (const auto& [code, result] : outcome.rows) {
            EXPECT_EQ(result, RowOutcome::kWritten) << code;
        }
        std::set<int> expected;
        for (const auto& [code, value] : c.changes) {
            expected.insert(code);
        }
        EXPECT_EQ(WrittenCodes(rig), expected);
        for (const BackupValue& v : backup.set.values) {
            if (v.code != kCv && v.code != kDualCvLock) {
                EXPECT_EQ(Shown(rig.sim, v.code), v.value) << v.code;
            }
        }
    }
}

// The panel falls silent after the first row: that row is written, the next
// one is not confirmed, the rest are not attempted.
TEST(BackupSessionTest, PanelStopsAnsweringMidRestore) {
    SessionRig rig(kDualZoneController, StatusEvery(100ms));
    ASSERT_TRUE(rig.Start());
    const SetReadResult backup = ReadPanelSet(rig.session, {});
    ASSERT_EQ(backup.status, ReadStatus::kOk);
    for (const auto& [code, value] :
         {std::pair{kZone1Kp, 99}, {kZone2Kp, 98}, {kDualDeadTime, 97}}) {
        rig.sim.SetParameter(code, value);
    }
    const SetReadResult changed = ReadPanelSet(rig.session, {});
    ASSERT_EQ(changed.status, ReadStatus::kOk);
    const RestoreOutcome outcome =
        RestoreRows(rig.session, backup.set, DifferingCodes(CompareSets(changed.set, backup.set)),
                    [&rig](int done, int) {
                        if (done == 1) {
                            rig.sim.SilenceUntilResumed();
                        }
                    });
    EXPECT_FALSE(outcome.complete);
    const std::vector<std::pair<int, RowOutcome>> expected = {
        {kZone1Kp, RowOutcome::kWritten},
        {kZone2Kp, RowOutcome::kUnconfirmed},
        {kDualDeadTime, RowOutcome::kNotWritten}};
    EXPECT_EQ(outcome.rows, expected);
    EXPECT_EQ(Shown(rig.sim, kZone1Kp), backup.set.Find(kZone1Kp)->value);
    EXPECT_EQ(rig.sim.Parameter(kDualDeadTime), 97);
}

}  // namespace
}  // namespace tk358::test
