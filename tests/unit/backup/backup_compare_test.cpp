// SPDX-License-Identifier: GPL-3.0-or-later
// Comparing a panel's set with a file's, and which write operations a
// restore calls with which values.

#include <gtest/gtest.h>

#include <map>

#include "backup/backup_compare.h"
#include "link/parameter_codes.h"
#include "support/fake_panel.h"

namespace tk358 {
namespace {

using namespace param;

ParameterBackup Set(int kind, int firmware, std::map<int, double> values) {
    ParameterBackup set;
    set.panel.kind = kind;
    set.panel.firmware = firmware;
    for (const int code : PanelSetCodes(kind, firmware)) {
        set.values.push_back({code, values.count(code) != 0 ? values[code] : 0.0});
    }
    return set;
}

std::map<int, RowState> States(const std::vector<CompareRow>& rows) {
    std::map<int, RowState> states;
    for (const CompareRow& row : rows) {
        if (row.state != RowState::kEqual) {
            states[row.code] = row.state;
        }
    }
    return states;
}

TEST(BackupCompareTest, RowStates) {
    using S = RowState;
    const struct {
        const char* name;
        ParameterBackup panel;
        ParameterBackup file;
        std::map<int, RowState> notEqual;
    } cases[] = {
        {"equal as shown",
         Set(0, 105, {{kCv, 40.04}}),
         Set(0, 105, {{kCv, 40.01}, {kCvLock, 1}}),
         {{kCvLock, S::kDifferent}}},
        {"unlocked CV is the regulator's",
         Set(0, 105, {{kCv, 40}, {kKp, 12}}),
         Set(0, 105, {{kCv, 70}, {kKp, 13}}),
         {{kCv, S::kNotCompared}, {kKp, S::kDifferent}}},
        {"locked CV is a setting",
         Set(3, 107, {{kCv, 40}}),
         Set(3, 107, {{kCv, 70}, {kDualCvLock, 1}}),
         {{kCv, S::kDifferent}, {kDualCvLock, S::kDifferent}}},
        {"one channel: no second channel",
         Set(4, 107, {{kChannels, 2}, {kDayT2, 10}}),
         Set(4, 107, {{kChannels, 1}, {kDayT2, 20}, {kNightH2, 5}}),
         {{kChannels, S::kDifferent},
          {kDayT2, S::kNotCompared},
          {kDayH2, S::kNotCompared},
          {kNightT2, S::kNotCompared},
          {kNightH2, S::kNotCompared}}},
        {"older panel firmware",
         Set(4, 100, {{kDayT1, 5}}),
         Set(4, 107, {{kChannels, 2}}),
         {{kDayT1, S::kDifferent},
          {kDayStart, S::kAbsentOnPanel},
          {kNightT1, S::kAbsentOnPanel},
          {kNightT2, S::kAbsentOnPanel},
          {kNightH1, S::kAbsentOnPanel},
          {kNightH2, S::kAbsentOnPanel},
          {kNightStart, S::kAbsentOnPanel},
          {kChannels, S::kAbsentOnPanel}}},
        {"older file firmware",
         Set(4, 107, {{kChannels, 2}}),
         Set(4, 100, {}),
         {{kDayStart, S::kAbsentInFile},
          {kNightT1, S::kAbsentInFile},
          {kNightT2, S::kAbsentInFile},
          {kNightH1, S::kAbsentInFile},
          {kNightH2, S::kAbsentInFile},
          {kNightStart, S::kAbsentInFile},
          {kChannels, S::kAbsentInFile}}},
    };
    for (const auto& c : cases) {
        const std::vector<CompareRow> rows = CompareSets(c.panel, c.file);
        EXPECT_EQ(States(rows), c.notEqual) << c.name;
    }
}

struct RestoreCase {
    const char* name;
    int kind;
    int firmware;
    std::map<int, int> cache;    // the panel's values
    std::map<int, double> file;  // the file's, where they differ
    std::vector<int> ticked;
    std::vector<std::string> calls;
};

// Each ticked row goes through the dialogs' write operation with the panel's
// values for the rest; the channel count goes first; the CV and its lock go
// in one call.
TEST(BackupRestoreTest, WriteOperationsAndTheirValues) {
    const RestoreCase cases[] = {
        {"dual zone",
         3,
         107,
         {{kZone2Kp, 11},
          {kZone2Ti, 120},
          {kZone2Td, 5},
          {kZone2Ta, 7},
          {kDualValveOpenTime, 300},
          {kDualMinOnTime, 1}},
         {{kZone2Ti, 240}, {kZone1Setpoint, 2150}, {kDualReverse, 1}},
         {kDualReverse, kZone2Ti, kZone1Setpoint},
         {"WriteSetpoint(2150, 0)", "WritePidParameters(11, 240, 5, 7, 1)",
          "WriteRegulationParameters(300, 0, 0, 0, 1, 0, 1)"}},
        {"temperature controller CV",
         0,
         105,
         {{kCvLock, 0}, {kMinStandstill, 40}},
         {{kCv, 55.5}, {kCvLock, 1}, {kMinStandstill, 20}},
         {kCvLock, kCv, kMinStandstill},
         {"WriteRegulationParameters(0, 0, 0, 20, 0, 0, 0)", "WriteCvSettings(55.5, 1)"}},
        {"threshold, channels first",
         4,
         107,
         {{kChannels, 1}, {kDayStart, 45}, {kNightStart, 130}, {kDayT1, -2000}},
         {{kNightT2, 150}, {kChannels, 2}},
         {kNightT2, kChannels},
         {"WriteThresholdTimeParameters(-2000, 0, 0, 0, 0, 0, 0, 0, 7, 30, 21, 40, 2)",
          "WriteThresholdTimeParameters(-2000, 0, 0, 0, 0, 150, 0, 0, 7, 30, 21, 40, 1)"}},
        {"threshold, older firmware",
         4,
         100,
         {{kDayT1, 100}},
         {{kDayH2, 30}},
         {kDayH2},
         {"WriteThresholdParameters(100, 0, 0, 30, 2)"}},
        {"ventilation and drain valve",
         2,
         105,
         {{kFans, 3}},
         {{kAiringTime, 15}},
         {kAiringTime},
         {"WriteVentilationParameters(0, 0, 0, 0, 0, 3, 15, 0, 0)"}},
    };
    for (const RestoreCase& c : cases) {
        test::FakePanel panel;
        panel.Connect(static_cast<uint8_t>(c.kind));
        panel.identity.firmwareVersion = c.firmware;
        panel.regulator.cvLock = 0;
        panel.regulator.controlValue = 12.5;
        for (const auto& [code, value] : c.cache) {
            panel.parameters.Store(code, value);
        }
        const ParameterBackup file = Set(c.kind, c.firmware, c.file);
        const RestoreOutcome outcome = RestoreRows(panel, file, c.ticked);
        EXPECT_TRUE(outcome.complete) << c.name;
        EXPECT_EQ(panel.CallTexts(), c.calls) << c.name;
    }
}

// A panel that stops answering: the row whose write failed may or may not be
// on the panel; nothing after it is attempted.
TEST(BackupRestoreTest, StopsAtTheFirstFailure) {
    test::FakePanel panel;
    panel.Connect(kDrainValveController);
    panel.parameters.Store(kDrainTime, 50);
    panel.ScriptStatuses({kStatusOk, kStatusFailed});
    const ParameterBackup file =
        Set(1, 105, {{kSetpoint, 2000}, {kDrainTime, 60}, {kDeviation, 10}});
    std::vector<std::pair<int, int>> progress;
    const RestoreOutcome outcome =
        RestoreRows(panel, file, {kDeviation, kDrainTime, kSetpoint},
                    [&progress](int done, int total) { progress.emplace_back(done, total); });
    EXPECT_FALSE(outcome.complete);
    // The fake keeps its cache, so a successful write that the panel did not
    // take shows as not written.
    const std::vector<std::pair<int, RowOutcome>> expected = {
        {kSetpoint, RowOutcome::kNotWritten},
        {kDrainTime, RowOutcome::kUnconfirmed},
        {kDeviation, RowOutcome::kNotWritten}};
    EXPECT_EQ(outcome.rows, expected);
    EXPECT_EQ(panel.CallTexts(), (std::vector<std::string>{"WriteSetpoint(2000, 0)",
                                                           "WriteDrainValveParameters(60, 0, 0)"}));
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}}));
}

}  // namespace
}  // namespace tk358
