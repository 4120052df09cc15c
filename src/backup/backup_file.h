// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The parameter file: UTF-8 text in the settings file's INI syntax, lines
// ended with CR LF, so that a person can read it, compare two of them and
// change a value by hand:
//
//   [PANEL]
//   KIND=3
//   MODEL=TK-358D
//   ...
//   [PARAMETERS]
//   ; KP (strefa 1)
//   ZONE1_KP=12.5
//
// A value is written as the dialogs show it, with a point as decimal sign.
// Loading checks the whole file before anything may be written: the panel
// kind, every key present once and known, every value a number within the
// table's bounds.

#include <optional>
#include <string>
#include <string_view>

#include "backup/parameter_backup.h"

namespace tk358 {

inline constexpr char kBackupFileSuffix[] = ".tk358par";

std::string FormatBackupFile(const ParameterBackup& backup);

struct BackupFileCheck {
    std::optional<ParameterBackup> backup;  // none: `error` names the first fault
    std::string error;
    bool otherKind = false;  // the file is for another kind of panel
};

// Parses and checks file contents. `panelKind` (when given) must match the
// file's kind. The values come back in stored units in the order of the
// file's set.
BackupFileCheck ParseBackupFile(std::string_view text, std::optional<int> panelKind);

// Reads and checks the file at `path`.
BackupFileCheck LoadBackupFile(const std::string& path, std::optional<int> panelKind);

// Writes the file in one step (a temporary file renamed over `path`), so a
// failure leaves no half-written file. False with a Polish reason.
bool SaveBackupFile(const std::string& path, const ParameterBackup& backup, std::string* error);

}  // namespace tk358
