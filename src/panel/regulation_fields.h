// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The typed fields of the panel dialogs ("Parametry regulacji", "Parametry
// PID", "Ustawienia CV", "Wartość zadana"): how the text becomes the value
// sent to the panel, its inclusive bounds and the message that refuses it.
// A field that edits a parameter takes its entry and bounds from the
// parameter table; only the message is the field's own.

#include <optional>
#include <string>
#include <string_view>

#include "link/parameter_codes.h"
#include "link/parameter_set.h"

namespace tk358 {

struct FieldRule {
    enum class Entry {
        Whole,       // a whole number
        Tenths,      // a real number, "," or ".", times 10 truncated toward zero
        Hundredths,  // the same times 100
        Real,        // a real number kept as typed
        TimeOfDay,   // "H:MM" as 10-minute steps: hours x 6 + minutes / 10
    };
    Entry entry;
    int min;
    int max;
    const char* message;        // UTF-8
    bool emptyRefused = false;  // an empty field is refused, not taken as 0

    constexpr bool Admits(double value) const { return value >= min && value <= max; }
};

// The rule of a field that edits parameter `code`: its entry follows the
// code's scale and its bounds are the code's.
constexpr FieldRule CodeRule(int code, const char* message, bool emptyRefused = false) {
    using E = FieldRule::Entry;
    const ParameterInfo& info = Parameter(code);
    E entry = E::Whole;
    if (info.format.shown == ShownAs::kTimeOfDay) {
        entry = E::TimeOfDay;
    } else if (info.format.shown == ShownAs::kReal) {
        entry = E::Real;
    } else if (info.format.scale == 10) {
        entry = E::Tenths;
    } else if (info.format.scale == 100) {
        entry = E::Hundredths;
    }
    return {entry, info.bounds.min, info.bounds.max, message, emptyRefused};
}

// The value typed, or nothing when it lies outside the rule's bounds (or the
// field is empty and the rule refuses that). A real number is truncated
// toward zero here; CheckReal keeps it whole.
std::optional<int> CheckField(const FieldRule& rule, std::string_view text);
std::optional<double> CheckReal(const FieldRule& rule, std::string_view text);

// A time of day typed into an hour and a minute field, by a TimeOfDay rule.
std::optional<int> CheckTimeOfDay(const FieldRule& rule, std::string_view hours,
                                  std::string_view minutes);

// What a field of the rule shows for `value`: "%d", "%.01f" of value / 10,
// "%.02f" of value / 100, "%d:%02d" of a time of day, "%.01f" of a real.
std::string FieldText(const FieldRule& rule, double value);

// The cached value of `code` as the dialogs and the service view show it.
std::string ParameterText(const ParameterSet& parameters, int code);

namespace rules {

using E = FieldRule::Entry;

// Valve of the temperature controller; the dual-zone controller's codes have
// the same bounds.
inline constexpr FieldRule kValveOpenTime = CodeRule(
    param::kValveOpenTime, "Czas otwierania zaworu powinien zawierać się w przedziale <0, 999.9>");
inline constexpr FieldRule kValveCloseTime = CodeRule(
    param::kValveCloseTime, "Czas zamykania zaworu powinien zawierać się w przedziale <0, 999.9>");
inline constexpr FieldRule kDeadTime = CodeRule(
    param::kDeadTime, "Czas nieczułości sterowania powinien zawierać się w przedziale <0, 999.9>");
inline constexpr FieldRule kMinStandstill =
    CodeRule(param::kMinStandstill,
             "Minimalny czas postoju przed zmianą kierunku\npowinien zawierać się w przedziale "
             "<0, 999.9>");
inline constexpr FieldRule kMinOnTime =
    CodeRule(param::kMinOnTime,
             "Minimalny czas włączenia zaworu powinien zawierać się w przedziale <0.1, 999.9>");
inline constexpr FieldRule kDeadBand =
    CodeRule(param::kDeadBand, "Nieczułość sterowania powinna zawierać się w przedziale <0, 25.5>");
inline constexpr const char* kNoDirection = "Należy wybrać kierunek regulacji";

// Drain-valve controller.
inline constexpr FieldRule kDrainTime =
    CodeRule(param::kDrainTime, "Czas zrzutu powinien zawierać się w przedziale <0, 999.9> sekund");
inline constexpr FieldRule kCloseDelay =
    CodeRule(param::kCloseDelay,
             "Opóźnienie zamknięcia zaworu po osiągnięciu temperatury\npowinno zawierać się w "
             "przedziale <0, 999.9> sekund");
inline constexpr FieldRule kDeviation =
    CodeRule(param::kDeviation,
             "Odchyłka poprawności temperatury powinna zawierać się w przedziale <0, 99.9> °C");

// Ventilation controller.
inline constexpr FieldRule kVentThreshold =
    CodeRule(param::kVentT1, "Próg temperatury powinien zawierać się w przedziale <-200, 550> °C");
inline constexpr FieldRule kHysteresis =
    CodeRule(param::kVentH1, "Próg histerezy powinien zawierać się w przedziale <0.0, 25.5> °C");
inline constexpr FieldRule kAiringTime = CodeRule(
    param::kAiringTime, "Czas wietrzenia powinien zawierać się w przedziale <0, 100> minut");
inline constexpr FieldRule kAiringPeriod = CodeRule(
    param::kAiringPeriod, "Okres wietrzenia powinien zawierać się w przedziale <0, 100> minut");
inline constexpr FieldRule kAiringThreshold =
    CodeRule(param::kAiringThreshold,
             "Próg wietrzenia ZP powinien zawierać się w przedziale <-200, 550> °C");

// Threshold regulator (hystereses as kHysteresis). The zone starts are typed
// as an hour and a minute, each checked on its own.
inline constexpr FieldRule kThreshold1 =
    CodeRule(param::kDayT1, "Próg 1 temperatury powinien zawierać się w przedziale <-200, 550> °C");
inline constexpr FieldRule kThreshold2 =
    CodeRule(param::kDayT2, "Próg 2 temperatury powinien zawierać się w przedziale <-200, 550> °C");
inline constexpr FieldRule kStartHour{E::Whole, 0, 23,
                                      "Godzina powinna zawierać się w przedziale <0, 23>"};
inline constexpr FieldRule kStartMinute{E::Whole, 0, 59,
                                        "Minuty powinny zawierać się w przedziale <0, 59>"};

// PID parameters; the dual-zone controller's codes have the same bounds.
inline constexpr FieldRule kKp =
    CodeRule(param::kKp, "Wartość Kp powinna zawierać się w przedziale <0, 999.9>");
inline constexpr FieldRule kTi =
    CodeRule(param::kTi, "Wartość Ti powinna zawierać się w przedziale <0, 9999>");
inline constexpr FieldRule kTd =
    CodeRule(param::kTd, "Wartość Td powinna zawierać się w przedziale <0, 9999>");
inline constexpr FieldRule kTa =
    CodeRule(param::kTa, "Wartość Ta powinna zawierać się w przedziale <0, 9999>");

// Control value, percent, kept as typed.
inline constexpr FieldRule kCv =
    CodeRule(param::kCv, "Wypełnienie sterowania powinno zawierać się w przedziale <-100, 100>");

// Set points. An emptied single set point or set point 1 is refused rather
// than taken as 0 °C; set point 2 may be left empty.
inline constexpr FieldRule kSetpoint =
    CodeRule(param::kSetpoint, "Wartość zadana poza dopuszczalnym zakresem", true);
inline constexpr FieldRule kZone1Setpoint =
    CodeRule(param::kZone1Setpoint, "Wartość zadana 1 poza dopuszczalnym zakresem", true);
inline constexpr FieldRule kZone2Setpoint =
    CodeRule(param::kZone2Setpoint, "Wartość zadana 2 poza dopuszczalnym zakresem");
inline constexpr FieldRule kZone1SwitchOn =
    CodeRule(param::kZone1SwitchOn, "Błąd w ustawieniu czasu dla wartości zadanej 1");
inline constexpr FieldRule kZone2SwitchOn =
    CodeRule(param::kZone2SwitchOn, "Błąd w ustawieniu czasu dla wartości zadanej 2");

}  // namespace rules
}  // namespace tk358
