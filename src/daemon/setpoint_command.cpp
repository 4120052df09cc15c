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
    if (command != "setpoint" && command != "setpoint2") {
        d.reason = "nieznane polecenie";
        return d;
    }
    if (retained) {
        d.reason = "zachowane (retained) polecenie nie jest wykonywane";
        return d;
    }
    d.kind = CommandDecision::Kind::kRefuse;
    d.request.index = command == "setpoint2" ? 1 : 0;
    if (!writesAllowed) {
        d.reason = "Zapis do panelu jest wyłączony (uruchom tk358d z --allow-setpoint-writes)";
        return d;
    }
    // The set-point dialogs' own bounds and refusals.
    const FieldRule& rule = d.request.index == 0 ? rules::kSetpoint : rules::kZone2Setpoint;
    const std::optional<int> value = ParseSetpointPayload(payload);
    if (!value || !rule.Admits(*value)) {
        d.reason = rule.message;
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
    if (!PanelMenuFor(identity.deviceType, false).setpoint) {
        return "Ten panel nie ma wartości zadanej do ustawienia";
    }
    if (request.index == 1 && identity.deviceType != kDualZoneController) {
        return "Ten panel ma jedną wartość zadaną (setpoint2 ma tylko TK-358D)";
    }
    return {};
}

std::string WriteSetpointRequest(const SetpointRequest& request, PanelAccess& panel) {
    if (std::string reason = CheckPanelFor(request, panel); !reason.empty()) {
        return reason;
    }
    if (panel.WriteSetpoint(request.hundredths, request.index) != kStatusOk) {
        return request.index == 0 ? "Nie można ustawić wartości zadanej"
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
