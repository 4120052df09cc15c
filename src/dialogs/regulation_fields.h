#pragma once

// The typed fields of the "Parametry regulacji" dialogs: how the text becomes
// the value sent to the panel, its inclusive bounds and the message that
// refuses it.

#include <optional>
#include <string_view>

namespace tk358 {

struct FieldRule {
    enum class Entry {
        Tenths,  // a real number, "," or ".", times 10 truncated toward zero
        Whole,   // a whole number
    };
    Entry entry;
    int min;
    int max;
    const char* message;  // UTF-8
};

// The value typed, or nothing when it lies outside the rule's bounds.
std::optional<int> CheckField(const FieldRule& rule, std::string_view text);

namespace rules {

using E = FieldRule::Entry;

// Valve of the temperature and dual-zone controllers.
inline constexpr FieldRule kOpenTime{
    E::Tenths, 0, 9999, "Czas otwierania zaworu powinien zawierać się w przedziale <0, 999.9>"};
inline constexpr FieldRule kCloseTime{
    E::Tenths, 0, 9999, "Czas zamykania zaworu powinien zawierać się w przedziale <0, 999.9>"};
inline constexpr FieldRule kDeadTime{
    E::Tenths, 0, 9999,
    "Czas nieczułości sterowania powinien zawierać się w przedziale <0, 999.9>"};
inline constexpr FieldRule kMinStandstill{
    E::Tenths, 0, 9999,
    "Minimalny czas postoju przed zmianą kierunku\npowinien zawierać się w przedziale <0, "
    "999.9>"};
inline constexpr FieldRule kMinOnTime{
    E::Tenths, 1, 9999,
    "Minimalny czas włączenia zaworu powinien zawierać się w przedziale <0.1, 999.9>"};
inline constexpr FieldRule kDeadBand{
    E::Tenths, 0, 255, "Nieczułość sterowania powinna zawierać się w przedziale <0, 25.5>"};
inline constexpr const char* kNoDirection = "Należy wybrać kierunek regulacji";

// Drain-valve controller.
inline constexpr FieldRule kDrainTime{
    E::Tenths, 0, 9999, "Czas zrzutu powinien zawierać się w przedziale <0, 999.9> sekund"};
inline constexpr FieldRule kCloseDelay{
    E::Tenths, 0, 9999,
    "Opóźnienie zamknięcia zaworu po osiągnięciu temperatury\npowinno zawierać się w "
    "przedziale <0, 999.9> sekund"};
inline constexpr FieldRule kDeviation{
    E::Tenths, 0, 999,
    "Odchyłka poprawności temperatury powinna zawierać się w przedziale <0, 99.9> °C"};

// Ventilation controller.
inline constexpr FieldRule kVentThreshold{
    E::Tenths, -2000, 5500, "Próg temperatury powinien zawierać się w przedziale <-200, 550> °C"};
inline constexpr FieldRule kHysteresis{
    E::Tenths, 0, 255, "Próg histerezy powinien zawierać się w przedziale <0.0, 25.5> °C"};
inline constexpr FieldRule kAiringTime{
    E::Whole, 0, 100, "Czas wietrzenia powinien zawierać się w przedziale <0, 100> minut"};
inline constexpr FieldRule kAiringPeriod{
    E::Whole, 0, 100, "Okres wietrzenia powinien zawierać się w przedziale <0, 100> minut"};
inline constexpr FieldRule kAiringThreshold{
    E::Tenths, -2000, 5500, "Próg wietrzenia ZP powinien zawierać się w przedziale <-200, 550> °C"};

// Threshold regulator (hystereses as kHysteresis).
inline constexpr FieldRule kThreshold1{
    E::Tenths, -2000, 5500, "Próg 1 temperatury powinien zawierać się w przedziale <-200, 550> °C"};
inline constexpr FieldRule kThreshold2{
    E::Tenths, -2000, 5500, "Próg 2 temperatury powinien zawierać się w przedziale <-200, 550> °C"};
inline constexpr FieldRule kStartHour{E::Whole, 0, 23,
                                      "Godzina powinna zawierać się w przedziale <0, 23>"};
inline constexpr FieldRule kStartMinute{E::Whole, 0, 59,
                                        "Minuty powinny zawierać się w przedziale <0, 59>"};

}  // namespace rules
}  // namespace tk358
