// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/regulation_fields.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "panel/number_entry.h"
#include "text/text_format.h"

namespace tk358 {

namespace {

// A rule named after one code serves the codes of the same meaning on other
// panel kinds and in other sets; their bounds must agree.
constexpr bool SameBounds(const FieldRule& rule, std::initializer_list<int> codes) {
    for (const int code : codes) {
        const ParameterBounds b = Parameter(code).bounds;
        if (b.min != rule.min || b.max != rule.max) {
            return false;
        }
    }
    return true;
}
static_assert(SameBounds(rules::kValveOpenTime, {param::kDualValveOpenTime}));
static_assert(SameBounds(rules::kValveCloseTime, {param::kDualValveCloseTime}));
static_assert(SameBounds(rules::kDeadTime, {param::kDualDeadTime}));
static_assert(SameBounds(rules::kMinStandstill, {param::kDualMinStandstill}));
static_assert(SameBounds(rules::kMinOnTime, {param::kDualMinOnTime}));
static_assert(SameBounds(rules::kDeadBand, {param::kDualDeadBand}));
static_assert(SameBounds(rules::kVentThreshold, {param::kVentT2}));
static_assert(SameBounds(rules::kHysteresis, {param::kVentH2, param::kDayH1, param::kDayH2,
                                              param::kNightH1, param::kNightH2}));
static_assert(SameBounds(rules::kThreshold1, {param::kNightT1}));
static_assert(SameBounds(rules::kThreshold2, {param::kNightT2}));
static_assert(SameBounds(rules::kKp, {param::kZone1Kp, param::kZone2Kp}));
static_assert(SameBounds(rules::kTi, {param::kZone1Ti, param::kZone2Ti}));
static_assert(SameBounds(rules::kTd, {param::kZone1Td, param::kZone2Td}));
static_assert(SameBounds(rules::kTa, {param::kZone1Ta, param::kZone2Ta}));

}  // namespace

std::optional<int> CheckField(const FieldRule& rule, std::string_view text) {
    using E = FieldRule::Entry;
    if (rule.emptyRefused && text.empty()) {
        return std::nullopt;
    }
    int value = 0;
    switch (rule.entry) {
        case E::Whole:
            value = ParseInteger(text);
            break;
        case E::Tenths:
            value = ParseScaled(text, 10);
            break;
        case E::Hundredths:
            value = ParseScaled(text, 100);
            break;
        case E::Real:
            value = ParseScaled(text, 1);
            break;
        case E::TimeOfDay: {
            const std::size_t colon = text.find(':');
            return CheckTimeOfDay(
                rule, text.substr(0, colon),
                colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1));
        }
    }
    if (!rule.Admits(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> CheckReal(const FieldRule& rule, std::string_view text) {
    if (rule.emptyRefused && text.empty()) {
        return std::nullopt;
    }
    const double value = ParseReal(text);
    if (!rule.Admits(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> CheckTimeOfDay(const FieldRule& rule, std::string_view hours,
                                  std::string_view minutes) {
    // In full integer width: hours x 6 must not wrap around.
    const int64_t steps = int64_t{ParseInteger(hours)} * 6 + ParseInteger(minutes) / 10;
    if (!rule.Admits(static_cast<double>(steps))) {
        return std::nullopt;
    }
    return static_cast<int>(steps);
}

std::string FieldText(const FieldRule& rule, double value) {
    using E = FieldRule::Entry;
    switch (rule.entry) {
        case E::Tenths:
            return FormatFixed(value / 10.0, 1);
        case E::Hundredths:
            return FormatFixed(value / 100.0, 2);
        case E::Real:
            return FormatFixed(value, 1);
        case E::TimeOfDay: {
            const int steps = static_cast<int>(value);
            return FormatHoursMinutes(TimeOfDayHours(steps), TimeOfDayMinutes(steps));
        }
        case E::Whole:
            break;
    }
    return FormatInt(static_cast<int64_t>(value));
}

std::string ParameterText(const ParameterSet& parameters, int code) {
    return FieldText(CodeRule(code, ""), parameters.Shown(code));
}

}  // namespace tk358
