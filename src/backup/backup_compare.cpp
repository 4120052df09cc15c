// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/backup_compare.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <map>
#include <optional>
#include <tuple>

#include "link/kind_codes.h"
#include "link/parameter_codes.h"

namespace tk358 {

namespace {

using namespace param;

bool In(int code, std::initializer_list<int> codes) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

bool IsSecondChannel(int code) {
    return In(code, {kDayT2, kDayH2, kNightT2, kNightH2});
}

bool IsCvSetting(int code) {
    return In(code, {kCv, kCvLock, kDualCvLock});
}

int CvLockCode(int kind) {
    return kind == kDualZoneController ? kDualCvLock : kCvLock;
}

// Whether the file's value of `code` is a setting to compare.
bool Compared(int code, const ParameterBackup& file) {
    if (code == kCv) {
        const BackupValue* lock = file.Find(CvLockCode(file.panel.kind));
        return lock != nullptr && lock->value != 0;
    }
    if (IsSecondChannel(code)) {
        const BackupValue* channels = file.Find(kChannels);
        return channels == nullptr || channels->value == 2;  // older firmware: two channels
    }
    return true;
}

// The values the write operations get: the panel's, with the file's for
// the row being written.
class WriteValues {
public:
    WriteValues(const ParameterSet& cache, int code, int value)
        : cache_(cache), code_(code), value_(value) {}
    int operator()(int code) const { return code == code_ ? value_ : cache_.Shown(code); }
    int Hours(int code) const { return TimeOfDayHours((*this)(code)); }
    int Minutes(int code) const { return TimeOfDayMinutes((*this)(code)); }

private:
    const ParameterSet& cache_;
    int code_;
    int value_;
};

// The values of the group's codes in its order, as a write operation of
// `N` values takes them; none when the group has another size.
template <std::size_t N>
std::optional<std::array<int, N>> GroupValues(WriteGroup group, const WriteValues& v) {
    if (group.size() != N) {
        return std::nullopt;
    }
    std::array<int, N> values{};
    for (std::size_t i = 0; i < N; ++i) {
        values[i] = v(group[i].code);
    }
    return values;
}

int WriteVentilation(PanelAccess& panel, const WriteValues& v) {
    const auto values = GroupValues<9>(VentilationWriteGroup(), v);
    if (!values) {
        return kStatusFailed;
    }
    return std::apply([&panel](auto... x) { return panel.WriteVentilationParameters(x...); },
                      *values);
}

int WriteDrainValve(PanelAccess& panel, const WriteValues& v) {
    const auto values = GroupValues<3>(DrainValveWriteGroup(), v);
    if (!values) {
        return kStatusFailed;
    }
    return std::apply([&panel](auto... x) { return panel.WriteDrainValveParameters(x...); },
                      *values);
}

int WritePidOrValve(PanelAccess& panel, int kind, int code, const WriteValues& v) {
    for (const int zone : {0, 1}) {
        const PidCodes c = PidCodesFor(kind, zone);
        if (In(code, {c.kp, c.ti, c.td, c.ta})) {
            return panel.WritePidParameters(v(c.kp), v(c.ti), v(c.td), v(c.ta), zone);
        }
    }
    const ValveCodes c = ValveCodesFor(kind);
    const int reverse = kind == kDualZoneController ? v(kDualReverse) : 0;
    return panel.WriteRegulationParameters(v(c.openTime), v(c.closeTime), v(c.deadTime),
                                           v(c.minStandstill), v(c.minOnTime), v(c.deadBand),
                                           reverse);
}

int WriteThreshold(PanelAccess& panel, int firmware, const WriteValues& v) {
    if (!HasLaterThresholdCodes(firmware)) {
        // One day set with both channels, as the dialog of such a panel writes it.
        return panel.WriteThresholdParameters(v(kDayT1), v(kDayT2), v(kDayH1), v(kDayH2), 2);
    }
    return panel.WriteThresholdTimeParameters(
        v(kDayT1), v(kDayT2), v(kDayH1), v(kDayH2), v(kNightT1), v(kNightT2), v(kNightH1),
        v(kNightH2), v.Hours(kDayStart), v.Minutes(kDayStart), v.Hours(kNightStart),
        v.Minutes(kNightStart), v(kChannels));
}

// The write operation of one parameter row.
int WriteParameterRow(PanelAccess& panel, const PanelIdentity& id, int code, int value) {
    ParameterSet cache;
    if (panel.GetParameters(cache) != kStatusOk) {
        return kStatusFailed;
    }
    const WriteValues v(cache, code, value);
    switch (code) {
        case kSetpoint:
        case kZone1Setpoint:
            return panel.WriteSetpoint(value, 0);
        case kZone2Setpoint:
            return panel.WriteSetpoint(value, 1);
        case kZone1SwitchOn:
            return panel.WriteSetpointTime(value, 0);
        case kZone2SwitchOn:
            return panel.WriteSetpointTime(value, 1);
        default:
            break;
    }
    const WriteGroup drainValve = DrainValveWriteGroup();
    if (std::any_of(drainValve.begin(), drainValve.end(),
                    [code](const GroupCode& entry) { return entry.code == code; })) {
        return WriteDrainValve(panel, v);
    }
    switch (id.deviceType) {
        case kVentilationController:
            return WriteVentilation(panel, v);
        case kThresholdRegulator:
            return WriteThreshold(panel, id.firmwareVersion, v);
        default:
            return WritePidOrValve(panel, id.deviceType, code, v);
    }
}

// The CV and its lock in one write operation: the CV goes first, so a panel
// locked by the file holds the file's CV.
int WriteCvRows(PanelAccess& panel, const PanelIdentity& id, const ParameterBackup& file, bool cv,
                bool lock) {
    RegulatorState regulator;
    ParameterSet cache;
    if (panel.GetRegulatorState(regulator) != kStatusOk || regulator.valid == 0 ||
        panel.GetParameters(cache) != kStatusOk) {
        return kStatusFailed;
    }
    const int lockCode = CvLockCode(id.deviceType);
    const int panelLock = lockCode == kCvLock ? cache.Shown(kCvLock) : regulator.cvLock;
    const double cvValue = cv ? file.Find(kCv)->value : regulator.controlValue;
    const int lockValue = lock ? static_cast<int>(file.Find(lockCode)->value) : panelLock;
    return panel.WriteCvSettings(cvValue, lockValue != 0 ? 1 : 0);
}

// The order of the rows: the panel's set order, the channel count first.
std::vector<int> WriteOrder(const std::vector<int>& codes, int kind, int firmware) {
    std::vector<int> order;
    if (std::find(codes.begin(), codes.end(), kChannels) != codes.end()) {
        order.push_back(kChannels);
    }
    for (const int code : PanelSetCodes(kind, firmware)) {
        if (code != kChannels && std::find(codes.begin(), codes.end(), code) != codes.end()) {
            order.push_back(code);
        }
    }
    return order;
}

bool Contains(const std::vector<int>& codes, int code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

// One write operation: the rows it covers and its status.
struct RowWrite {
    std::vector<int> rows;
    int status = kStatusFailed;
};

// Writes the row `code` of `order`; a CV row takes the other CV row of
// `order` with it.
RowWrite WriteRows(PanelAccess& panel, const PanelIdentity& id, const ParameterBackup& file,
                   const std::vector<int>& order, int code) {
    RowWrite write{{code}, kStatusFailed};
    if (IsCvSetting(code)) {
        const int lockCode = CvLockCode(id.deviceType);
        write.rows.clear();
        for (const int c : order) {
            if (c == kCv || c == lockCode) {
                write.rows.push_back(c);
            }
        }
        write.status =
            WriteCvRows(panel, id, file, Contains(write.rows, kCv), Contains(write.rows, lockCode));
    } else if (const BackupValue* value = file.Find(code)) {
        write.status = WriteParameterRow(panel, id, code, static_cast<int>(value->value));
    }
    return write;
}

// A row of a successful write is written when the panel shows the file's
// value afterwards; the CV itself is not read back.
RowOutcome RowResult(int row, int status, const ParameterSet& after, const ParameterBackup& file) {
    if (status != kStatusOk) {
        return RowOutcome::kUnconfirmed;
    }
    const bool held = (IsCvSetting(row) && row != kCvLock) ||
                      SettingText(row, after.Shown(row)) == SettingText(row, file.Find(row)->value);
    return held ? RowOutcome::kWritten : RowOutcome::kNotWritten;
}

}  // namespace

std::vector<CompareRow> CompareSets(const ParameterBackup& panel, const ParameterBackup& file) {
    std::vector<CompareRow> rows;
    for (const int code : KindSetCodes(panel.panel.kind)) {
        const BackupValue* p = panel.Find(code);
        const BackupValue* f = file.Find(code);
        if (p == nullptr && f == nullptr) {
            continue;
        }
        CompareRow row;
        row.code = code;
        row.key = Parameter(code).key;
        row.label = SettingLabel(code);
        if (p != nullptr) {
            row.panel = p->value;
            row.panelText = SettingText(code, p->value);
        }
        if (f != nullptr) {
            row.file = f->value;
            row.fileText = SettingText(code, f->value);
        }
        if (p == nullptr) {
            row.state = RowState::kAbsentOnPanel;
        } else if (f == nullptr) {
            row.state = RowState::kAbsentInFile;
        } else if (!Compared(code, file)) {
            row.state = RowState::kNotCompared;
        } else {
            row.state = row.panelText == row.fileText ? RowState::kEqual : RowState::kDifferent;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

bool AllEqual(const std::vector<CompareRow>& rows) {
    return DifferingCodes(rows).empty();
}

std::vector<int> DifferingCodes(const std::vector<CompareRow>& rows) {
    std::vector<int> codes;
    for (const CompareRow& row : rows) {
        if (row.state == RowState::kDifferent) {
            codes.push_back(row.code);
        }
    }
    return codes;
}

const char* RowStateText(RowState state) {
    switch (state) {
        case RowState::kEqual:
            return "zgodny";
        case RowState::kDifferent:
            return "różni się";
        case RowState::kAbsentOnPanel:
            return "brak w panelu";
        case RowState::kAbsentInFile:
            return "brak w pliku";
        case RowState::kNotCompared:
            return "nie porównywany";
    }
    return "";
}

const char* RowOutcomeText(RowOutcome outcome) {
    switch (outcome) {
        case RowOutcome::kWritten:
            return "zapisany";
        case RowOutcome::kUnconfirmed:
            return "niepewny: panel nie potwierdził zapisu";
        case RowOutcome::kNotWritten:
            return "niezapisany";
    }
    return "";
}

RestoreOutcome RestoreRows(PanelAccess& panel, const ParameterBackup& file,
                           const std::vector<int>& codes,
                           const std::function<void(int, int)>& progress) {
    RestoreOutcome outcome;
    PanelIdentity id;
    panel.GetIdentity(id);
    const std::vector<int> order = WriteOrder(codes, id.deviceType, id.firmwareVersion);
    const int total = static_cast<int>(order.size());
    bool failed = false;
    bool cvDone = false;
    for (const int code : order) {
        if (failed) {
            outcome.rows.emplace_back(code, RowOutcome::kNotWritten);
            continue;
        }
        if (IsCvSetting(code) && cvDone) {
            continue;  // written with the other CV row
        }
        const RowWrite write = WriteRows(panel, id, file, order, code);
        cvDone = cvDone || IsCvSetting(code);
        ParameterSet after;
        panel.GetParameters(after);
        for (const int row : write.rows) {
            outcome.rows.emplace_back(row, RowResult(row, write.status, after, file));
        }
        failed = write.status != kStatusOk;
        if (progress) {
            progress(static_cast<int>(outcome.rows.size()), total);
        }
    }
    outcome.complete = !failed;
    return outcome;
}

}  // namespace tk358
