// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/setpoint_command.h"

#include "daemon/json_writer.h"
#include "panel/number_entry.h"
#include "panel/panel_menu_state.h"
#include "panel/regulation_fields.h"

namespace tk358 {

namespace {

constexpr std::string_view kBlanks = " \t\r\n";
constexpr std::size_t kMaxEchoed = 64;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// One decimal number: sign, digits, optionally '.' or ',' and digits.
bool IsPlainNumber(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        ++i;
    }
    const std::size_t intStart = i;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
    }
    if (i == intStart) {
        return false;
    }
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
        ++i;
        const std::size_t fracStart = i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
        }
        if (i == fracStart) {
            return false;
        }
    }
    return i == text.size();
}

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The set-point dialog's rule of the value a command writes.
const FieldRule* RuleOf(std::string_view command) {
    if (command == "setpoint") {
        return &rules::kSetpoint;
    }
    if (command == "zone1Setpoint") {
        return &rules::kZone1Setpoint;
    }
    if (command == "zone2Setpoint") {
        return &rules::kZone2Setpoint;
    }
    return nullptr;
}

}  // namespace

std::optional<int> ParseSetpointPayload(std::string_view payload) {
    const std::string_view text = TrimBlanks(payload);
    if (!IsPlainNumber(text)) {
        return std::nullopt;
    }
    return ParseScaled(text, 100);
}

CommandDecision DecideCommand(std::string_view command, std::string_view payload, bool retained,
                              bool writesAllowed) {
    CommandDecision d;
    d.request.command = std::string(command);
    // Echoed in the result: a huge payload is not sent back whole.
    d.request.text = std::string(payload.substr(0, kMaxEchoed));
    const FieldRule* rule = RuleOf(command);
    if (rule == nullptr) {
        d.reason = "nieznane polecenie";
        return d;
    }
    if (retained) {
        d.reason = "zachowane (retained) polecenie nie jest wykonywane";
        return d;
    }
    d.kind = CommandDecision::Kind::kRefuse;
    d.request.index = rule == &rules::kZone2Setpoint ? 1 : 0;
    if (!writesAllowed) {
        d.reason = "Zapis do panelu jest wyłączony (uruchom tk358d z --allow-setpoint-writes)";
        return d;
    }
    // The set-point dialogs' own bounds and refusals.
    const std::optional<int> value = ParseSetpointPayload(payload);
    if (!value) {
        d.reason = "\"" + d.request.text + "\" nie jest liczbą";
        return d;
    }
    if (!rule->Admits(*value)) {
        d.reason = rule->message;
        return d;
    }
    d.kind = CommandDecision::Kind::kWrite;
    d.request.hundredths = *value;
    return d;
}

std::string CheckPanelFor(const SetpointRequest& request, const PanelAccess& panel) {
    PanelIdentity identity;
    if (panel.GetIdentity(identity) != kStatusOk || identity.identified == 0) {
        return "Brak komunikacji z urządzeniem.";
    }
    const bool dualZone = identity.deviceType == kDualZoneController;
    if (!PanelMenuFor(identity.deviceType, false).setpoint) {
        return "Ten panel nie ma wartości zadanej do ustawienia";
    }
    if (request.command == "setpoint" && dualZone) {
        return "TK-358D ma dwie wartości zadane: polecenia zone1Setpoint i zone2Setpoint";
    }
    if (request.command != "setpoint" && !dualZone) {
        return "Ten panel ma jedną wartość zadaną: polecenie setpoint";
    }
    return {};
}

std::string WriteSetpointRequest(const SetpointRequest& request, PanelAccess& panel) {
    if (std::string reason = CheckPanelFor(request, panel); !reason.empty()) {
        return reason;
    }
    if (panel.WriteSetpoint(request.hundredths, request.index) != kStatusOk) {
        return request.command == "setpoint"        ? "Nie można ustawić wartości zadanej"
               : request.command == "zone1Setpoint" ? "Nie można ustawić wartości zadanej 1"
                                                    : "Nie można ustawić wartości zadanej 2";
    }
    return {};
}

std::string BuildResultPayload(const SetpointRequest& request, const std::string& error) {
    JsonWriter w;
    w.BeginObject();
    w.Key("request").String(request.text);
    w.Key("ok").Bool(error.empty());
    if (error.empty()) {
        w.Key("setpoint").Number(request.hundredths / 100.0);
    } else {
        w.Key("error").String(error);
    }
    w.EndObject();
    return w.Text();
}

}  // namespace tk358
