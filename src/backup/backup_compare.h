// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Comparing a panel's set with a file's, and putting the file's values back
// through the session's write operations.
//
// Two values are equal when the dialogs would show the same text for them.
// Rows that are not compared:
//  - the CV while the file's CV lock is off: the regulator then sets the CV
//    itself, so it is its output, not a setting;
//  - the second channel's thresholds and hystereses of a threshold regulator
//    whose file has one channel: the panel does not use them;
//  - a setting that only one side has (a firmware without the threshold
//    regulator's later settings).

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "backup/parameter_backup.h"

namespace tk358 {

enum class RowState {
    kEqual,
    kDifferent,
    kAbsentOnPanel,  // the file has it, the panel's firmware has not
    kAbsentInFile,
    kNotCompared,
};

struct CompareRow {
    int code = 0;
    std::string key;
    std::string label;
    std::optional<double> panel;  // stored units
    std::optional<double> file;
    std::string panelText;  // as shown; empty when absent
    std::string fileText;
    RowState state = RowState::kEqual;
};

// One row per setting of the panel's kind, in the order of its set.
std::vector<CompareRow> CompareSets(const ParameterBackup& panel, const ParameterBackup& file);
bool AllEqual(const std::vector<CompareRow>& rows);
// The codes of the rows that differ.
std::vector<int> DifferingCodes(const std::vector<CompareRow>& rows);
// "różni się", "zgodny", "brak w panelu", ...
const char* RowStateText(RowState state);

enum class RowOutcome {
    kWritten,      // the write operation and its read-back succeeded
    kUnconfirmed,  // its write operation failed: it may or may not be written
    kNotWritten,   // not attempted after an earlier failure, or the panel
                   // took nothing (a second channel of a one-channel panel)
};

struct RestoreOutcome {
    std::vector<std::pair<int, RowOutcome>> rows;  // in the order written
    bool complete = false;                         // every write operation succeeded
};

// Writes the file's value of each code in `codes` (ticked differing rows)
// through the write operation that the dialogs use for it, passing the
// panel's current values for everything else, so only these codes reach the
// panel. One write operation per row (the CV and its lock together), so the
// outcome is known row by row; the threshold regulator's channel count goes
// first, since the second channel's settings are only written on a
// two-channel panel. The first failure ends the restore. `progress` gets the
// rows done and the total after each. Blocks; workers only.
RestoreOutcome RestoreRows(PanelAccess& panel, const ParameterBackup& file,
                           const std::vector<int>& codes,
                           const std::function<void(int done, int total)>& progress = {});

const char* RowOutcomeText(RowOutcome outcome);

}  // namespace tk358
