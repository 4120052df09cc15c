// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/parameter_backup.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <thread>

#include "link/parameter_codes.h"
#include "panel/panel_model.h"
#include "panel/regulation_fields.h"

namespace tk358 {

namespace {

using namespace std::chrono_literals;

bool HasCvSettings(int kind) {
    return kind == kTemperatureController || kind == kDualZoneController;
}

// The CV settings that come in the regulator's status line, not by a
// parameter read: the CV itself, and the lock of the dual-zone controller.
bool FromStatusLine(int code) {
    return code == param::kCv || code == param::kDualCvLock;
}

bool Stopped(const SetReadOptions& options) {
    return options.stop != nullptr && options.stop->load();
}

bool PanelReady(PanelAccess& panel, PanelIdentity& id) {
    return panel.GetIdentity(id) == kStatusOk && id.identified != 0 &&
           id.deviceType < kUnknownDevice;
}

// Waits for a regulator line that arrived at or after `since`.
std::optional<RegulatorState> FreshRegulator(PanelAccess& panel, MonotonicTime since,
                                             const SetReadOptions& options) {
    const auto deadline = MonotonicClock::now() + options.statusWait;
    for (;;) {
        RegulatorState state;
        if (panel.GetRegulatorState(state) == kStatusOk && state.valid != 0 &&
            state.filledAt >= since) {
            return state;
        }
        if (MonotonicClock::now() >= deadline || Stopped(options)) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(20ms);
    }
}

// Sends a read for every code not taken from the status line; false with
// the status set when it was stopped or a read went unanswered.
bool ReadEachCode(PanelAccess& panel, const std::vector<int>& codes, const SetReadOptions& options,
                  SetReadResult& result) {
    const int total = static_cast<int>(codes.size());
    int done = 0;
    for (const int code : codes) {
        if (Stopped(options)) {
            result.status = ReadStatus::kCancelled;
            return false;
        }
        if (FromStatusLine(code)) {
            continue;
        }
        if (panel.ReadParameter(code) != kStatusOk) {
            result.status = ReadStatus::kReadFailed;
            result.failedCode = code;
            return false;
        }
        if (options.progress) {
            options.progress(++done, total);
        }
    }
    return true;
}

double ReadValue(int code, const ParameterSet& cache,
                 const std::optional<RegulatorState>& regulator) {
    if (code == param::kCv) {
        return regulator->controlValue;
    }
    if (code == param::kDualCvLock) {
        return regulator->cvLock != 0 ? 1 : 0;
    }
    return cache.Shown(code);
}

}  // namespace

const BackupValue* ParameterBackup::Find(int code) const {
    for (const BackupValue& v : values) {
        if (v.code == code) {
            return &v;
        }
    }
    return nullptr;
}

bool HasLaterThresholdCodes(int firmware) {
    return firmware > kThresholdExtrasFirmware;
}

std::vector<int> KindSetCodes(int kind) {
    const std::span<const int> full = FullReadCodes(kind);
    std::vector<int> codes(full.begin(), full.end());
    if (kind == kThresholdRegulator) {
        const std::span<const int> later = ThresholdExtraCodes();
        codes.insert(codes.end(), later.begin(), later.end());
    }
    if (HasCvSettings(kind)) {
        codes.push_back(param::kCv);
        if (kind == kDualZoneController) {
            codes.push_back(param::kDualCvLock);
        }
    }
    return codes;
}

std::vector<int> PanelSetCodes(int kind, int firmware) {
    std::vector<int> codes;
    for (const int code : KindSetCodes(kind)) {
        if (!Parameter(code).laterFirmware || HasLaterThresholdCodes(firmware)) {
            codes.push_back(code);
        }
    }
    return codes;
}

std::string SettingLabel(int code) {
    using namespace param;
    // The settings that exist once per zone name their zone.
    struct ZoneCodes {
        std::array<int, 5> codes;
        const char* zone;
    };
    static constexpr std::array<ZoneCodes, 4> kZones{{
        {{kZone1Kp, kZone1Ti, kZone1Td, kZone1Ta, kZone1SwitchOn}, " (strefa 1)"},
        {{kZone2Kp, kZone2Ti, kZone2Td, kZone2Ta, kZone2SwitchOn}, " (strefa 2)"},
        {{kDayT1, kDayT2, kDayH1, kDayH2, kDayStart}, " (strefa dzienna)"},
        {{kNightT1, kNightT2, kNightH1, kNightH2, kNightStart}, " (strefa nocna)"},
    }};
    const std::string label = Parameter(code).label;
    for (const ZoneCodes& zone : kZones) {
        if (std::find(zone.codes.begin(), zone.codes.end(), code) != zone.codes.end()) {
            return label + zone.zone;
        }
    }
    return label;
}

std::string SettingText(int code, double value) {
    return FieldText(CodeRule(code, ""), value);
}

std::string FirmwareText(int firmware) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d", firmware / 100, firmware % 100);
    return text;
}

SetReadResult ReadPanelSet(PanelAccess& panel, const SetReadOptions& options) {
    SetReadResult result;
    PanelIdentity id;
    if (!PanelReady(panel, id)) {
        return result;
    }
    const MonotonicTime begun = MonotonicClock::now();
    const std::vector<int> codes = PanelSetCodes(id.deviceType, id.firmwareVersion);
    if (!ReadEachCode(panel, codes, options, result)) {
        return result;
    }
    std::optional<RegulatorState> regulator;
    if (HasCvSettings(id.deviceType)) {
        regulator = FreshRegulator(panel, begun, options);
        if (!regulator) {
            result.status = Stopped(options) ? ReadStatus::kCancelled : ReadStatus::kNoStatusLine;
            return result;
        }
    }
    ParameterSet cache;
    // A start sequence between the reads would mean another panel may be there.
    PanelIdentity after;
    if (panel.GetParameters(cache) != kStatusOk || !PanelReady(panel, after) || after != id) {
        return result;
    }
    result.set.panel = {id.deviceType,
                        PanelModelName(id.deviceType),
                        id.hardwareVariant,
                        id.firmwareVersion,
                        id.serialNumber,
                        {},
                        {}};
    for (const int code : codes) {
        result.set.values.push_back({code, ReadValue(code, cache, regulator)});
    }
    if (options.progress) {
        const int total = static_cast<int>(codes.size());
        options.progress(total, total);
    }
    result.status = ReadStatus::kOk;
    return result;
}

std::string ReadFailureText(const SetReadResult& result) {
    switch (result.status) {
        case ReadStatus::kOk:
            return {};
        case ReadStatus::kNoPanel:
            return "Brak komunikacji z panelem lub panel nie został rozpoznany";
        case ReadStatus::kReadFailed:
            return "Nie można odczytać parametru " + std::string(Parameter(result.failedCode).key) +
                   " (" + SettingLabel(result.failedCode) + ")";
        case ReadStatus::kNoStatusLine:
            return "Nie można odczytać ustawień CV: panel nie przysłał stanu regulatora";
        case ReadStatus::kCancelled:
            return "Odczyt parametrów przerwany";
    }
    return {};
}

std::string IsoLocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    // "+0100" -> "+01:00"
    std::string iso = text;
    if (iso.size() >= 5) {
        iso.insert(iso.size() - 2, ":");
    }
    return iso;
}

}  // namespace tk358
