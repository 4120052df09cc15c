// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The application's persistent settings: one plain struct, read from the
// settings file once at start and written back once at exit.

#include <array>
#include <cstdint>
#include <string>

namespace tk358 {

class IniFile;

// One large value display: colours as 0x00BBGGRR, and its font.
struct DisplaySettings {
    uint32_t background = 0;
    uint32_t text = 0;
    int32_t fontHeight = -64;  // logical units; negative: character height
    std::string faceName = "Arial";
    uint8_t italic = 0;
    int32_t fontWeight = 0;  // 0: the font's default weight
    bool log = true;         // this quantity is a column of the measurement log

    bool operator==(const DisplaySettings&) const = default;
};

enum DisplayIndex { kTemperatureDisplay = 0, kSetpointDisplay = 1, kSetpoint2Display = 2 };

struct WindowRect {
    int32_t left = 10;
    int32_t top = 50;
    int32_t right = 790;
    int32_t bottom = 550;

    bool operator==(const WindowRect&) const = default;
};

struct LogSettings {
    std::string fileName;
    bool fileLog = false;
    int32_t sepFormat = 0;     // 0 locale, 1 tab, 2 comma, 3 semicolon
    int32_t decSeparator = 0;  // 0 locale, 1 comma, 2 point
    int32_t interval = 60;     // seconds, as stored; see EffectiveLogInterval
    bool checkComment = false;
    int32_t dateFormat = 0;  // LOG_DATE_FORMAT: 0 the locale's "%c", 1 ISO 8601 with the UTC offset

    bool operator==(const LogSettings&) const = default;
};

// The trend view's window (section TREND).
struct TrendSettings {
    bool open = false;    // open at the end of the last run: reopened at start
    int32_t span = 1800;  // seconds shown, as stored; the chart limits it
    WindowRect window{120, 120, 920, 620};

    bool operator==(const TrendSettings&) const = default;
};

struct AppSettings {
    std::array<DisplaySettings, 3> displays;  // indexed by DisplayIndex
    int32_t portNr = 0;                       // 0: no port chosen
    WindowRect window;
    bool topmost = false;
    bool showService = false;
    LogSettings log;
    TrendSettings trend;

    // The values a key takes when it is missing from the file.
    static AppSettings FileDefaults();
    // The values of a fresh window, used when the settings file cannot be opened.
    static AppSettings BuiltIn();

    bool operator==(const AppSettings&) const = default;
};

inline constexpr const char* kDisplaySections[3] = {"INPUT_TEMP", "INPUT_SP", "INPUT_SP2"};
inline constexpr std::size_t kFaceNameMaxBytes = 31;

// Reads every key into `settings`, missing ones taking FileDefaults(). Nothing
// is limited to a range, except that a face name is cut to kFaceNameMaxBytes
// on a UTF-8 character boundary. Returns false and leaves `settings` as it is
// when `ini` has no open file.
bool LoadAppSettings(const IniFile& ini, AppSettings& settings);

// Writes every key, in the order they are read, after AdjustWindowRect (of
// both windows); a fresh file thus gets INPUT_TEMP, INPUT_SP, INPUT_SP2,
// GENERAL, LOG and TREND.
void SaveAppSettings(IniFile& ini, const AppSettings& settings, int screenWidth, int screenHeight);

// Brings a window that ended more than 10 pixels past the right or bottom edge
// of the screen back so that it ends at that edge, and a top or left edge more
// than 10 pixels off the screen to 0 (the opposite edge stays).
WindowRect AdjustWindowRect(WindowRect rect, int screenWidth, int screenHeight);

// The logging interval in seconds that is used: the stored value brought into
// 1..86399 (one second to just under a day).
int32_t EffectiveLogInterval(int32_t storedInterval);

}  // namespace tk358
