// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/daemon_options.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

#include "daemon/mqtt_topics.h"
#include "daemon/secret_files.h"
#include "link/port_map.h"
#include "log/log_interval.h"
#include "log/log_name_pattern.h"

namespace tk358 {

namespace {

using Setter = std::string (*)(DaemonOptions&, std::string_view);

constexpr int kMaxKeepDays = 36500;

struct OptionRule {
    std::string_view key;
    OptionForm form;
    bool fileOnly;
    Setter set;
};

std::optional<int> ParseInt(std::string_view text, int min, int max) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < min ||
        value > max) {
        return std::nullopt;
    }
    return value;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// A switch: empty (given bare) or a yes/no word.
std::optional<bool> ParseSwitch(std::string_view text) {
    const std::string word = Lower(text);
    if (word.empty() || word == "1" || word == "yes" || word == "true" || word == "on" ||
        word == "tak") {
        return true;
    }
    if (word == "0" || word == "no" || word == "false" || word == "off" || word == "nie") {
        return false;
    }
    return std::nullopt;
}

std::string SetPort(DaemonOptions& o, std::string_view value) {
    std::string upper(value);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    int number = EntryPortNumber(upper);
    if (number == 0) {
        number = ParseInt(value, 1, kMaxPortNumber).value_or(0);
    }
    if (number == 0) {
        return "port: oczekiwano COMn (n od 1 do 255): " + std::string(value);
    }
    o.portNumber = number;
    return {};
}

std::string SetDemo(DaemonOptions& o, std::string_view value) {
    const std::optional<int> kind = value.empty() ? 3 : ParseInt(value, 0, 4);
    if (!kind) {
        return "demo: rodzaj panelu musi być liczbą od 0 do 4: " + std::string(value);
    }
    o.demoKind = *kind;
    return {};
}

std::string SetLog(DaemonOptions& o, std::string_view value) {
    if (value.empty()) {
        return "log: brak nazwy pliku";
    }
    std::string error;
    if (!LogNamePattern::Parse(std::string(value), &error)) {
        return "log: " + error;
    }
    o.logPath = std::string(value);
    return {};
}

std::string SetKeepDays(DaemonOptions& o, std::string_view value) {
    const std::optional<int> days = ParseInt(value, 1, kMaxKeepDays);
    if (!days) {
        return "keep-days: liczba dni od 1 do 36500: " + std::string(value);
    }
    o.keepDays = *days;
    return {};
}

// --keep-days deletes files by their name: only a dated name tells them apart.
bool KeepDaysFits(const DaemonOptions& o) {
    std::string error;
    const std::optional<LogNamePattern> pattern = LogNamePattern::Parse(o.logPath, &error);
    return o.keepDays == 0 || (pattern && pattern->Dated());
}

std::string SetInterval(DaemonOptions& o, std::string_view value) {
    const std::optional<int> seconds = ParseInt(value, kMinLogInterval, kMaxLogInterval);
    if (!seconds) {
        return "interval: liczba sekund od 1 do 86399: " + std::string(value);
    }
    o.interval = *seconds;
    return {};
}

std::string SetSeparator(DaemonOptions& o, std::string_view value) {
    static constexpr std::array<std::pair<std::string_view, int>, 4> kNames = {{
        {"locale", kSeparatorLocale},
        {"tab", kSeparatorTab},
        {"comma", kSeparatorComma},
        {"semicolon", kSeparatorSemicolon},
    }};
    for (const auto& [name, code] : kNames) {
        if (Lower(value) == name) {
            o.separatorCode = code;
            return {};
        }
    }
    return "log-separator: locale, tab, comma albo semicolon: " + std::string(value);
}

std::string SetDecimal(DaemonOptions& o, std::string_view value) {
    static constexpr std::array<std::pair<std::string_view, int>, 3> kNames = {{
        {"locale", kDecimalLocale},
        {"comma", kDecimalComma},
        {"point", kDecimalPoint},
    }};
    for (const auto& [name, code] : kNames) {
        if (Lower(value) == name) {
            o.decimalCode = code;
            return {};
        }
    }
    return "log-decimal: locale, comma albo point: " + std::string(value);
}

std::string SetDate(DaemonOptions& o, std::string_view value) {
    static constexpr std::array<std::pair<std::string_view, int>, 2> kNames = {{
        {"locale", kDateLocale},
        {"iso", kDateIso8601},
    }};
    for (const auto& [name, code] : kNames) {
        if (Lower(value) == name) {
            o.dateCode = code;
            return {};
        }
    }
    return "log-date: locale albo iso: " + std::string(value);
}

std::string SetMqtt(DaemonOptions& o, std::string_view value) {
    std::string error;
    std::optional<MqttUrl> url = ParseMqttUrl(value, &error);
    if (!url) {
        return "mqtt: " + error;
    }
    o.broker = std::move(url);
    return {};
}

std::string SetTopic(DaemonOptions& o, std::string_view value) {
    if (!IsValidTopicPrefix(value)) {
        return "topic: poziomy rozdzielone '/', bez pustych poziomów, bez '+' i '#', nie od '$': " +
               std::string(value);
    }
    o.topicPrefix = std::string(value);
    return {};
}

std::string SetName(DaemonOptions& o, std::string_view value) {
    if (!IsValidPanelName(value)) {
        return "name: litery, cyfry, '_' i '-', najwyżej 64 znaki: " + std::string(value);
    }
    o.name = std::string(value);
    return {};
}

std::string SetDiscoveryPrefix(DaemonOptions& o, std::string_view value) {
    if (!IsValidTopicPrefix(value)) {
        return "discovery-prefix: niepoprawny temat: " + std::string(value);
    }
    o.discoveryPrefix = std::string(value);
    return {};
}

std::string SetQos(DaemonOptions& o, std::string_view value) {
    const std::optional<int> qos = ParseInt(value, 0, 1);
    if (!qos) {
        return "qos: 0 albo 1: " + std::string(value);
    }
    o.qos = *qos;
    return {};
}

std::string SetPasswordFile(DaemonOptions& o, std::string_view value) {
    const std::string path(value);
    const std::optional<std::string> line = ReadFirstLine(path);
    if (!line) {
        return "password-file: nie można odczytać pliku " + path;
    }
    o.password = *line;
    o.passwordFile = path;
    if (std::string warning = ExposedFileWarning(path); !warning.empty()) {
        o.warnings.push_back(std::move(warning));
    }
    return {};
}

std::string SetReconnectMax(DaemonOptions& o, std::string_view value) {
    const std::optional<int> seconds = ParseInt(value, 1, kMaxReconnectMax);
    if (!seconds) {
        return "reconnect-max: liczba sekund od 1 do 3600: " + std::string(value);
    }
    o.reconnectMax = *seconds;
    return {};
}

std::string SetShare(DaemonOptions& o, std::string_view value) {
    // The length a Unix socket's address can hold.
    if (value.empty() || value.size() > 107) {
        return "share: ścieżka gniazda, najwyżej 107 znaków: " + std::string(value);
    }
    o.sharePath = std::string(value);
    return {};
}

template <std::string DaemonOptions::*Field>
std::string SetText(DaemonOptions& o, std::string_view value) {
    o.*Field = std::string(value);
    return {};
}

// The reason of a refused switch value is worded by ApplyDaemonOption, which
// knows the key.
template <bool DaemonOptions::*Field>
std::string SetFlag(DaemonOptions& o, std::string_view value) {
    const std::optional<bool> on = ParseSwitch(value);
    if (!on) {
        return "refused";
    }
    o.*Field = *on;
    return {};
}

constexpr OptionRule kRules[] = {
    {"port", OptionForm::kValue, false, SetPort},
    {"demo", OptionForm::kOptionalValue, false, SetDemo},
    {"log", OptionForm::kValue, false, SetLog},
    {"interval", OptionForm::kValue, false, SetInterval},
    {"keep-days", OptionForm::kValue, false, SetKeepDays},
    {"log-separator", OptionForm::kValue, false, SetSeparator},
    {"log-decimal", OptionForm::kValue, false, SetDecimal},
    {"log-date", OptionForm::kValue, false, SetDate},
    {"mqtt", OptionForm::kValue, false, SetMqtt},
    {"topic", OptionForm::kValue, false, SetTopic},
    {"name", OptionForm::kValue, false, SetName},
    {"ha-discovery", OptionForm::kSwitch, false, SetFlag<&DaemonOptions::haDiscovery>},
    {"discovery-prefix", OptionForm::kValue, false, SetDiscoveryPrefix},
    {"qos", OptionForm::kValue, false, SetQos},
    {"user", OptionForm::kValue, false, SetText<&DaemonOptions::user>},
    {"password", OptionForm::kValue, true, SetText<&DaemonOptions::password>},
    {"password-file", OptionForm::kValue, false, SetPasswordFile},
    {"ca-file", OptionForm::kValue, false, SetText<&DaemonOptions::caFile>},
    {"cert-file", OptionForm::kValue, false, SetText<&DaemonOptions::certFile>},
    {"key-file", OptionForm::kValue, false, SetText<&DaemonOptions::keyFile>},
    {"reconnect-max", OptionForm::kValue, false, SetReconnectMax},
    {"allow-setpoint-writes", OptionForm::kSwitch, false,
     SetFlag<&DaemonOptions::allowSetpointWrites>},
    {"sync-clock", OptionForm::kSwitch, false, SetFlag<&DaemonOptions::syncClock>},
    {"share", OptionForm::kValue, false, SetShare},
    {"share-group", OptionForm::kValue, false, SetText<&DaemonOptions::shareGroup>},
    {"share-read-only", OptionForm::kSwitch, false, SetFlag<&DaemonOptions::shareReadOnly>},
};

const OptionRule* FindRule(std::string_view key) {
    for (const OptionRule& rule : kRules) {
        if (rule.key == key) {
            return &rule;
        }
    }
    return nullptr;
}

// The panel and something to do (a log, a broker or a shared line), and the
// shared line's companions only with it.
std::string CheckWhatToDo(const DaemonOptions& options) {
    if (options.demoKind && options.portNumber != 0) {
        return "podaj albo --port, albo --demo";
    }
    if (!options.demoKind && options.portNumber == 0) {
        return "brak portu panelu: podaj --port COMn (albo --demo)";
    }
    if (options.logPath.empty() && !options.broker && options.sharePath.empty()) {
        return "nie ma czego robić: podaj --log PLIK, --mqtt ADRES albo --share GNIAZDO";
    }
    if (options.sharePath.empty() && (!options.shareGroup.empty() || options.shareReadOnly)) {
        return "share-group i share-read-only dotyczą tylko --share GNIAZDO";
    }
    if (!KeepDaysFits(options)) {
        return "keep-days: tylko z --log, którego nazwa zawiera datę (np. %Y-%m-%d)";
    }
    return {};
}

std::string CheckBrokerSecrets(const DaemonOptions& options) {
    const bool tlsFiles =
        !options.caFile.empty() || !options.certFile.empty() || !options.keyFile.empty();
    if (tlsFiles && (!options.broker || !options.broker->tls)) {
        return "ca-file, cert-file i key-file dotyczą tylko adresu mqtts://";
    }
    if (options.certFile.empty() != options.keyFile.empty()) {
        return "cert-file i key-file podaje się razem";
    }
    if (options.broker && options.broker->user.empty() && options.user.empty() &&
        !options.password.empty()) {
        return "hasło bez użytkownika: podaj też --user";
    }
    return {};
}

}  // namespace

OptionForm FormOfOption(std::string_view key, bool fromFile) {
    const OptionRule* rule = FindRule(key);
    if (rule == nullptr || (rule->fileOnly && !fromFile)) {
        return OptionForm::kUnknown;
    }
    return rule->form;
}

std::string ApplyDaemonOption(DaemonOptions& options, std::string_view key,
                              std::string_view value) {
    const OptionRule* rule = FindRule(key);
    if (rule == nullptr) {
        return "nieznana opcja: " + std::string(key);
    }
    std::string error = rule->set(options, value);
    if (!error.empty() && rule->form == OptionForm::kSwitch) {
        return std::string(key) + ": oczekiwano 1 lub 0 (yes/no): " + std::string(value);
    }
    return error;
}

std::string FinishDaemonOptions(DaemonOptions& options) {
    std::string error = CheckWhatToDo(options);
    if (error.empty()) {
        error = CheckBrokerSecrets(options);
    }
    if (error.empty() && options.name.empty()) {
        options.name = options.demoKind ? "demo" : DefaultPanelName(options.portNumber);
    }
    return error;
}

void CopyLogSettings(const DaemonOptions& from, DaemonOptions& to) {
    to.logPath = from.logPath;
    to.keepDays = from.keepDays;
    to.interval = from.interval;
    to.separatorCode = from.separatorCode;
    to.decimalCode = from.decimalCode;
    to.dateCode = from.dateCode;
}

}  // namespace tk358
