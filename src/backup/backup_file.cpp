// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/backup_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

#include "link/parameter_codes.h"
#include "panel/panel_model.h"
#include "panel/regulation_fields.h"
#include "settings/ini_text.h"
#include "settings/safe_file.h"

namespace tk358 {

namespace {

constexpr char kPanelSection[] = "PANEL";
constexpr char kParametersSection[] = "PARAMETERS";

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits, with at most one decimal sign between digits when `decimals`.
bool IsPlainNumber(std::string_view text, bool decimals) {
    if (!text.empty() && text.front() == '-') {
        text.remove_prefix(1);
    }
    bool digit = false;
    bool point = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            digit = true;
        } else if ((c == '.' || c == ',') && decimals && !point && digit && i + 1 < text.size()) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

bool IsTimeOfDay(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || text.size() - colon != 3) {
        return false;
    }
    return IsPlainNumber(text.substr(0, colon), false) && text[0] != '-' &&
           IsDigit(text[colon + 1]) && text[colon + 1] < '6' && IsDigit(text[colon + 2]);
}

std::string Quoted(std::string_view text) {
    return "\u201E" + std::string(text) + "\u201D";
}

std::string Named(int code) {
    return std::string(Parameter(code).key) + " (" + SettingLabel(code) + ")";
}

// The value of `code` written as `text`, in stored units; or the fault.
std::optional<double> ParseValue(int code, std::string_view text, std::string& error) {
    const FieldRule rule = CodeRule(code, "");
    using E = FieldRule::Entry;
    const bool plain = rule.entry == E::TimeOfDay ? IsTimeOfDay(text)
                                                  : IsPlainNumber(text, rule.entry != E::Whole);
    if (!plain) {
        error = "Wartość parametru " + Named(code) + " nie jest poprawną liczbą: " + Quoted(text);
        return std::nullopt;
    }
    std::optional<double> value;
    if (rule.entry == E::Real) {
        value = CheckReal(rule, text);
    } else if (const std::optional<int> whole = CheckField(rule, text)) {
        value = *whole;
    }
    if (!value) {
        error = "Wartość parametru " + Named(code) + " " + Quoted(text) +
                " jest poza dopuszczalnym zakresem <" + SettingText(code, rule.min) + ", " +
                SettingText(code, rule.max) + ">";
    }
    return value;
}

// The entries of every section called `name`, keys and values trimmed;
// comment and blank lines left out.
std::vector<IniEntry> Entries(const std::vector<IniSection>& sections, std::string_view name) {
    std::vector<IniEntry> entries;
    for (const IniSection& section : sections) {
        if (section.name != name) {
            continue;
        }
        for (const IniEntry& entry : section.entries) {
            const std::string_view key = Trim(entry.key);
            if (key.empty() || key.front() == ';' || key.front() == '#') {
                continue;
            }
            std::string_view value = entry.value;
            value = value.substr(0, value.find(';'));  // as the settings store reads it
            entries.push_back({std::string(key), std::string(Trim(value))});
        }
    }
    return entries;
}

std::optional<int> WholeNumber(std::string_view text) {
    if (!IsPlainNumber(text, false) || text.size() > 9) {
        return std::nullopt;
    }
    return DecimalTextToInt32(text);
}

std::optional<int> FirmwareNumber(std::string_view text) {
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos || text.size() - point != 3) {
        return std::nullopt;
    }
    const std::optional<int> major = WholeNumber(text.substr(0, point));
    const std::optional<int> minor = WholeNumber(text.substr(point + 1));
    if (!major || !minor || *major < 0 || *minor < 0) {
        return std::nullopt;
    }
    return *major * 100 + *minor;
}

// [PANEL]; false with the first fault.
bool ParseStamp(const std::vector<IniSection>& sections, PanelStamp& stamp, std::string& error) {
    std::map<std::string, std::string> keys;
    for (const IniEntry& entry : Entries(sections, kPanelSection)) {
        keys[entry.key] = entry.value;
    }
    if (keys.empty()) {
        error = "Plik nie zawiera sekcji [PANEL]: to nie jest plik parametrów panelu";
        return false;
    }
    for (const char* key : {"KIND", "FIRMWARE"}) {
        if (keys.count(key) == 0) {
            error = std::string("Brak klucza ") + key + " w sekcji [PANEL]";
            return false;
        }
    }
    const std::optional<int> kind = WholeNumber(keys["KIND"]);
    if (!kind || *kind < 0 || *kind >= kUnknownDevice) {
        error = "Nieznany rodzaj panelu KIND=" + keys["KIND"];
        return false;
    }
    const std::optional<int> firmware = FirmwareNumber(keys["FIRMWARE"]);
    if (!firmware) {
        error = "Błędna wersja oprogramowania FIRMWARE=" + keys["FIRMWARE"];
        return false;
    }
    stamp.kind = *kind;
    stamp.firmware = *firmware;
    stamp.model = keys["MODEL"];
    stamp.variant = WholeNumber(keys["VARIANT"]).value_or(0);
    stamp.serial = WholeNumber(keys["SERIAL"]).value_or(0);
    stamp.date = keys["DATE"];
    stamp.version = keys["VERSION"];
    return true;
}

// [PARAMETERS]: every code of the file's set once, nothing else.
bool ParseValues(const std::vector<IniSection>& sections, ParameterBackup& backup,
                 std::string& error) {
    const std::vector<int> expected = PanelSetCodes(backup.panel.kind, backup.panel.firmware);
    std::map<int, double> values;
    for (const IniEntry& entry : Entries(sections, kParametersSection)) {
        const ParameterInfo* info = FindParameterByKey(entry.key);
        const bool known = info != nullptr && std::find(expected.begin(), expected.end(),
                                                        info->code) != expected.end();
        if (!known) {
            error = "Nieznany parametr " + entry.key + " w pliku dla panelu " +
                    PanelModelName(backup.panel.kind);
            return false;
        }
        if (values.count(info->code) != 0) {
            error = "Parametr " + entry.key + " występuje w pliku więcej niż raz";
            return false;
        }
        const std::optional<double> value = ParseValue(info->code, entry.value, error);
        if (!value) {
            return false;
        }
        values[info->code] = *value;
    }
    for (const int code : expected) {
        const auto found = values.find(code);
        if (found == values.end()) {
            error = "Brak parametru " + Named(code) + " w pliku";
            return false;
        }
        backup.values.push_back({code, found->second});
    }
    return true;
}

std::string KindName(int kind) {
    static const char* const kNames[] = {"sterownik temperatury", "sterownik zaworu zrzutowego",
                                         "TK-358W", "TK-358D", "TK-358C"};
    return kind >= 0 && kind < kUnknownDevice ? kNames[kind] : "nieznany panel";
}

}  // namespace

std::string FormatBackupFile(const ParameterBackup& backup) {
    const PanelStamp& p = backup.panel;
    std::string out;
    const auto line = [&out](std::string_view text) {
        out += text;
        out += "\r\n";
    };
    line("[PANEL]");
    line("KIND=" + std::to_string(p.kind));
    line("MODEL=" + p.model);
    line("VARIANT=" + std::to_string(p.variant));
    line("FIRMWARE=" + FirmwareText(p.firmware));
    line("SERIAL=" + std::to_string(p.serial));
    line("DATE=" + p.date);
    line("VERSION=" + p.version);
    line("");
    line("[PARAMETERS]");
    for (const BackupValue& v : backup.values) {
        // The settings store reads a comment line as a key without a value,
        // which the loader skips.
        line("; " + SettingLabel(v.code));
        line(std::string(Parameter(v.code).key) + "=" + SettingText(v.code, v.value));
    }
    return out;
}

BackupFileCheck ParseBackupFile(std::string_view text, std::optional<int> panelKind) {
    BackupFileCheck check;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);  // a byte order mark from an editor
    }
    const std::vector<IniSection> sections = ParseIniText(text);
    ParameterBackup backup;
    if (!ParseStamp(sections, backup.panel, check.error)) {
        return check;
    }
    if (panelKind && *panelKind != backup.panel.kind) {
        check.otherKind = true;
        check.error = "Plik zawiera parametry panelu innego rodzaju (" +
                      KindName(backup.panel.kind) + "), a podłączony jest " + KindName(*panelKind);
        return check;
    }
    if (!ParseValues(sections, backup, check.error)) {
        return check;
    }
    check.backup = std::move(backup);
    return check;
}

BackupFileCheck LoadBackupFile(const std::string& path, std::optional<int> panelKind) {
    std::string contents;
    if (!ReadWholeFile(path, FileAccess::kReadOnly, contents)) {
        BackupFileCheck check;
        check.error = "Nie można odczytać pliku " + path + ": " + std::strerror(errno);
        return check;
    }
    return ParseBackupFile(contents, panelKind);
}

bool SaveBackupFile(const std::string& path, const ParameterBackup& backup, std::string* error) {
    if (ReplaceFileContents(path, FormatBackupFile(backup))) {
        return true;
    }
    if (error != nullptr) {
        *error = "Nie można zapisać pliku " + path + ": " + std::strerror(errno);
    }
    return false;
}

}  // namespace tk358
