// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A panel's parameter set as a backup holds it: which settings make up the
// set of each panel kind, and reading them afresh from the panel.
//
// The set of a kind is every code of its full read (the threshold
// regulator's later codes only where its firmware has them) plus the CV
// settings of the kinds that have them. Values are kept in the unit the panel
// stores (tenths, hundredths, 10-minute steps; percent for the CV) and
// compared and written as the dialogs show them.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/panel_access.h"

namespace tk358 {

// The panel a set was read from.
struct PanelStamp {
    int kind = kUnknownDevice;
    std::string model;  // "TK-358D"
    int variant = 0;
    int firmware = 0;  // major * 100 + minor
    int serial = 0;
    std::string date;     // ISO 8601, local time with its offset
    std::string version;  // the program's

    friend bool operator==(const PanelStamp&, const PanelStamp&) = default;
};

struct BackupValue {
    int code = 0;
    double value = 0.0;  // stored units; whole except the CV

    friend bool operator==(const BackupValue&, const BackupValue&) = default;
};

struct ParameterBackup {
    PanelStamp panel;
    std::vector<BackupValue> values;  // in the order of the kind's set

    const BackupValue* Find(int code) const;
    friend bool operator==(const ParameterBackup&, const ParameterBackup&) = default;
};

// Every setting a panel of `kind` may have, in the order of its full read,
// the firmware-dependent ones included; the CV settings last.
std::vector<int> KindSetCodes(int kind);
// The settings a panel of `kind` with `firmware` has.
std::vector<int> PanelSetCodes(int kind, int firmware);
bool HasLaterThresholdCodes(int firmware);

// The row label of a setting: the table's label, with the zone or the day or
// night set where the same label occurs twice on one panel.
std::string SettingLabel(int code);
// A value as the dialogs show it ("12.5", "7:30", "-200.00").
std::string SettingText(int code, double value);
// "1.07".
std::string FirmwareText(int firmware);

enum class ReadStatus {
    kOk,
    kNoPanel,       // no answering, identified panel of a known kind
    kReadFailed,    // a parameter read was not answered
    kNoStatusLine,  // no fresh regulator status line for the CV settings
    kCancelled,
};

struct SetReadOptions {
    // How long to wait for a regulator status line sent after the read began.
    std::chrono::milliseconds statusWait{5000};
    // Called after each setting with the number read so far and the total.
    std::function<void(int done, int total)> progress;
    const std::atomic<bool>* stop = nullptr;  // set: end before the next read
};

struct SetReadResult {
    ReadStatus status = ReadStatus::kNoPanel;
    int failedCode = -1;  // the setting that could not be read
    ParameterBackup set;  // stamp without date and version
};

// Reads the panel's set afresh: each code with its own request (nothing is
// taken from the cache as it was) and the CV settings from a regulator
// status line that arrived after the read began. Blocks; workers only.
SetReadResult ReadPanelSet(PanelAccess& panel, const SetReadOptions& options);

// The Polish message for a read that did not succeed (empty for kOk).
std::string ReadFailureText(const SetReadResult& result);

// The current local time as ISO 8601 with its UTC offset.
std::string IsoLocalTimeNow();

}  // namespace tk358
