// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/health_payload.h"

#include "daemon/json_writer.h"
#include "daemon/state_payload.h"

namespace tk358 {

namespace {

const char* LogName(HealthFacts::Log log) {
    switch (log) {
        case HealthFacts::Log::kOk:
            return "ok";
        case HealthFacts::Log::kFailing:
            return "failing";
        case HealthFacts::Log::kOff:
            break;
    }
    return "off";
}

std::string LocalTime(std::time_t time, std::time_t now) {
    std::tm at{};
    std::tm today{};
    localtime_r(&time, &at);
    localtime_r(&now, &today);
    const bool sameDay = at.tm_year == today.tm_year && at.tm_yday == today.tm_yday;
    char text[32];
    std::strftime(text, sizeof text, sameDay ? "%H:%M:%S" : "%Y-%m-%d %H:%M:%S", &at);
    return text;
}

}  // namespace

bool HealthFacts::SameState(const HealthFacts& other) const {
    return link == other.link && log == other.log && logError == other.logError &&
           (refusals > 0) == (other.refusals > 0) &&
           lastAnswer.has_value() == other.lastAnswer.has_value();
}

std::string BuildHealthPayload(const HealthFacts& facts) {
    JsonWriter w;
    w.BeginObject();
    w.Key("lastAnswer");
    facts.lastAnswer ? w.String(FormatUtcTime(*facts.lastAnswer)) : w.Null();
    w.Key("log").String(LogName(facts.log));
    w.Key("logError").String(facts.log == HealthFacts::Log::kFailing ? facts.logError : "");
    w.Key("refusals").Int(facts.refusals);
    w.Key("uptime").Int(facts.uptimeSeconds);
    w.EndObject();
    return w.Text();
}

std::string BuildServiceStatus(const HealthFacts& facts, std::time_t now) {
    std::string line = "panel: ";
    switch (facts.link) {
        case HealthFacts::Link::kStarting:
            line += "łączenie";
            break;
        case HealthFacts::Link::kAnswering:
            line += "odpowiada";
            break;
        case HealthFacts::Link::kLost:
            line += "brak komunikacji";
            break;
    }
    if (facts.lastAnswer) {
        line += ", ostatnia odpowiedź " + LocalTime(*facts.lastAnswer, now);
    }
    line += "; rejestracja: ";
    switch (facts.log) {
        case HealthFacts::Log::kOff:
            line += "wyłączona";
            break;
        case HealthFacts::Log::kOk:
            line += "zapisywana";
            break;
        case HealthFacts::Log::kFailing:
            line += "błąd zapisu";
            break;
    }
    if (facts.refusals > 0) {
        line += "; odmowy brokera: " + std::to_string(facts.refusals);
    }
    return line;
}

}  // namespace tk358
