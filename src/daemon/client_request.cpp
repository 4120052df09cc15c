// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/client_request.h"

#include <array>
#include <cstdint>
#include <cstdio>

#include "link/frame.h"
#include "link/shared_line_socket.h"

namespace tk358 {

namespace {

using Describe = std::string (*)(std::string_view data);

struct RequestRule {
    std::string_view code;
    std::size_t dataDigits;
    Describe describeWrite;  // null: not a write
};

uint32_t Hex(std::string_view digits) {
    uint32_t value = 0;
    for (const char c : digits) {
        value = value * 16 + static_cast<uint32_t>(HexDigitValue(c));
    }
    return value;
}

std::string ParameterByte(std::string_view data) {
    return "parametr " + std::to_string(Hex(data.substr(0, 4))) + ", bajt " +
           std::to_string(Hex(data.substr(4, 2))) + " = " + std::string(data.substr(6, 2)) + " (" +
           std::to_string(Hex(data.substr(6, 2))) + ")";
}

std::string Setpoint(std::string_view data) {
    return "wartość zadana = " + std::to_string(static_cast<int32_t>(Hex(data))) + " (0,01 °C)";
}

std::string ControlValue(std::string_view data) {
    char text[48];
    std::snprintf(text, sizeof text, "CV = %.2f %%", DecodeFloat(Hex(data)));
    return text;
}

std::string CvLock(std::string_view data) {
    return "blokada CV = " + std::to_string(Hex(data));
}

std::string Clock(std::string_view data) {
    return "zegar panelu = " + std::to_string(Hex(data)) + " s od 2000-01-01 00:00:00";
}

constexpr std::array<RequestRule, 9> kRequests = {{
    {"020A00", 0, nullptr},
    {"050100", 0, nullptr},
    {"028600", 4, nullptr},
    {"023000", 4, nullptr},
    {"028700", 8, ParameterByte},
    {"028100", 8, Setpoint},
    {"028400", 8, ControlValue},
    {"028500", 2, CvLock},
    {"031000", 8, Clock},
}};

constexpr std::string_view kMonitoringCode = "023000";
constexpr std::string_view kMonitoringOn = "0051";

bool IsUpperHex(std::string_view text) {
    return text.find_first_not_of("0123456789ABCDEF") == std::string_view::npos;
}

// The digit pairs of code, data and checksum add up to 0 modulo 256.
bool ChecksumFits(std::string_view text) {
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        sum += Hex(text.substr(i, 2));
    }
    return sum % 256 == 0;
}

// The rule of a well-formed request line's text (without CR LF); null otherwise.
const RequestRule* RuleOf(std::string_view text) {
    if (text.size() < 8 || text.size() % 2 != 0 || !IsUpperHex(text) || !ChecksumFits(text)) {
        return nullptr;
    }
    for (const RequestRule& rule : kRequests) {
        if (text.substr(0, 6) == rule.code && text.size() == 8 + rule.dataDigits) {
            return &rule;
        }
    }
    return nullptr;
}

// The panel answers a monitoring request with its code, ":", the word and a checksum.
std::string MonitoringAnswer(std::string_view word) {
    std::string answer(BuildRequest(kMonitoringCode, word).Text());
    answer.insert(kMonitoringCode.size(), ":");
    return answer;
}

}  // namespace

ClientRequestVerdict JudgeClientRequest(std::string_view line, bool readOnly) {
    ClientRequestVerdict verdict;
    const std::string_view text =
        line.ends_with("\r\n") ? line.substr(0, line.size() - 2) : std::string_view{};
    const RequestRule* rule = RuleOf(text);
    if (rule == nullptr) {
        verdict.logText = "pominięto linię klienta, która nie jest żądaniem panelu: " +
                          std::string(text.empty() ? line.substr(0, 40) : text.substr(0, 40));
        verdict.warning = true;
        return verdict;
    }
    const std::string_view data = text.substr(6, rule->dataDigits);
    if (rule->code == kMonitoringCode && data != kMonitoringOn) {
        verdict.action = ClientRequestAction::kAnswerHere;
        verdict.answer = MonitoringAnswer(data);
        verdict.logText =
            "klient wyłącza tryb monitorowania: odpowiada tk358d, panel pracuje dalej";
        return verdict;
    }
    if (rule->describeWrite != nullptr) {
        const std::string what = rule->describeWrite(data);
        verdict.logText =
            (readOnly ? "zapis klienta odrzucony (linia tylko do odczytu): " : "zapis klienta: ") +
            std::string(rule->code) + " " + what;
        verdict.warning = readOnly;
        if (readOnly) {
            verdict.action = ClientRequestAction::kRefuse;
            verdict.answer = SharedLineRefusal(rule->code, kRefusedWrite);
            return verdict;
        }
    }
    verdict.action = ClientRequestAction::kForward;
    verdict.answerPrefix = std::string(rule->code) + ":";
    return verdict;
}

bool IsAnswerLine(std::string_view line) {
    if (line.size() < 7 || line[6] != ':') {
        return false;
    }
    for (const RequestRule& rule : kRequests) {
        if (line.substr(0, 6) == rule.code) {
            return true;
        }
    }
    return false;
}

}  // namespace tk358
