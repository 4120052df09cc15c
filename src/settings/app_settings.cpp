// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/app_settings.h"

#include <algorithm>

#include "settings/ini_file.h"
#include "settings/utf8_text.h"

namespace tk358 {
namespace {

constexpr const char* kGeneral = "GENERAL";
constexpr const char* kLog = "LOG";
constexpr const char* kTrend = "TREND";

// Background and text colours of the three displays, as 0x00BBGGRR.
constexpr uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) {
    return red | (green << 8) | (blue << 16);
}
constexpr uint32_t kBackgrounds[3] = {Rgb(255, 231, 206), Rgb(255, 255, 204), Rgb(255, 255, 184)};
constexpr uint32_t kTexts[3] = {Rgb(66, 21, 0), Rgb(0, 64, 0), Rgb(0, 64, 0)};

void LoadDisplay(const IniFile& ini, const char* section, const DisplaySettings& def,
                 DisplaySettings& d) {
    d.background = ini.GetUnsigned(section, "BACKGROUND_INPUT", def.background);
    d.text = ini.GetUnsigned(section, "TEXT_INPUT", def.text);
    d.fontHeight = ini.GetInt(section, "FONT_HEIGHT_INPUT", def.fontHeight);
    d.faceName =
        CutUtf8(ini.GetString(section, "FONT_NAME_INPUT", def.faceName), kFaceNameMaxBytes);
    d.italic = static_cast<uint8_t>(ini.GetInt(section, "FONT_ITALIC_INPUT", def.italic));
    d.fontWeight = ini.GetInt(section, "FONT_WEIGHT_INPUT", def.fontWeight);
    d.log = ini.GetInt(section, "LOG", def.log ? 1 : 0) != 0;
}

void SaveDisplay(IniFile& ini, const char* section, const DisplaySettings& d) {
    ini.SetUnsigned(section, "BACKGROUND_INPUT", d.background);
    ini.SetUnsigned(section, "TEXT_INPUT", d.text);
    ini.SetInt(section, "FONT_HEIGHT_INPUT", d.fontHeight);
    ini.SetString(section, "FONT_NAME_INPUT", d.faceName);
    ini.SetInt(section, "FONT_ITALIC_INPUT", d.italic);
    ini.SetInt(section, "FONT_WEIGHT_INPUT", d.fontWeight);
    ini.SetInt(section, "LOG", d.log ? 1 : 0);
}

bool ReadFlag(const IniFile& ini, const char* section, const char* key, bool def) {
    return ini.GetInt(section, key, def ? 1 : 0) != 0;
}

// Moves [low, high] back by the amount `high` lies past `limit`, when that is
// more than 10; computed wide so extreme stored values cannot overflow.
void PullBack(int32_t& low, int32_t& high, int limit) {
    const int64_t excess = int64_t{high} - limit;
    if (excess > 10) {
        high = limit;
        low = static_cast<int32_t>(std::max<int64_t>(int64_t{low} - excess, INT32_MIN));
    }
}

// The trend window's keys come after every other key, so the file keeps the
// order it had before they existed.
void LoadTrend(const IniFile& ini, const TrendSettings& def, TrendSettings& t) {
    t.open = ReadFlag(ini, kTrend, "TREND_OPEN", def.open);
    t.span = ini.GetInt(kTrend, "TREND_SPAN", def.span);
    t.window.left = ini.GetInt(kTrend, "TREND_LEFT", def.window.left);
    t.window.top = ini.GetInt(kTrend, "TREND_TOP", def.window.top);
    t.window.right = ini.GetInt(kTrend, "TREND_RIGHT", def.window.right);
    t.window.bottom = ini.GetInt(kTrend, "TREND_BOTTOM", def.window.bottom);
}

void SaveTrend(IniFile& ini, const TrendSettings& t, int screenWidth, int screenHeight) {
    const WindowRect w = AdjustWindowRect(t.window, screenWidth, screenHeight);
    ini.SetInt(kTrend, "TREND_OPEN", t.open ? 1 : 0);
    ini.SetInt(kTrend, "TREND_SPAN", t.span);
    ini.SetInt(kTrend, "TREND_LEFT", w.left);
    ini.SetInt(kTrend, "TREND_TOP", w.top);
    ini.SetInt(kTrend, "TREND_RIGHT", w.right);
    ini.SetInt(kTrend, "TREND_BOTTOM", w.bottom);
}

}  // namespace

AppSettings AppSettings::FileDefaults() {
    AppSettings s;
    for (int i = 0; i < 3; ++i) {
        s.displays[i].background = kBackgrounds[i];
        s.displays[i].text = kTexts[i];
    }
    return s;
}

AppSettings AppSettings::BuiltIn() {
    AppSettings s = FileDefaults();
    s.window = WindowRect{100, 100, 700, 500};
    s.log.interval = 1;
    for (DisplaySettings& d : s.displays) {
        d.fontHeight = 25;
    }
    return s;
}

bool LoadAppSettings(const IniFile& ini, AppSettings& settings) {
    if (!ini.IsOpen()) {
        return false;
    }
    const AppSettings def = AppSettings::FileDefaults();
    for (int i = 0; i < 3; ++i) {
        LoadDisplay(ini, kDisplaySections[i], def.displays[i], settings.displays[i]);
    }
    settings.portNr = ini.GetInt(kGeneral, "PORT_NR", def.portNr);
    settings.window.top = ini.GetInt(kGeneral, "WINDOW_TOP", def.window.top);
    settings.window.bottom = ini.GetInt(kGeneral, "WINDOW_BOTTOM", def.window.bottom);
    settings.window.left = ini.GetInt(kGeneral, "WINDOW_LEFT", def.window.left);
    settings.window.right = ini.GetInt(kGeneral, "WINDOW_RIGHT", def.window.right);
    LogSettings& log = settings.log;
    log.fileName = ini.GetString(kLog, "FILE_NAME", def.log.fileName);
    log.fileLog = ReadFlag(ini, kLog, "FILE_LOG", def.log.fileLog);
    log.sepFormat = ini.GetInt(kLog, "FILE_SEP_FORMAT", def.log.sepFormat);
    log.decSeparator = ini.GetInt(kLog, "FILE_DEC_SEPARATOR", def.log.decSeparator);
    log.dateFormat = ini.GetInt(kLog, "LOG_DATE_FORMAT", def.log.dateFormat);
    log.interval = ini.GetInt(kLog, "FILE_INTERVAL", def.log.interval);
    settings.topmost = ReadFlag(ini, kGeneral, "TOPMOST", def.topmost);
    settings.showService = ReadFlag(ini, kGeneral, "SHOW_SERVICE", def.showService);
    log.checkComment = ReadFlag(ini, kLog, "FILE_CHECK_COMMENT", def.log.checkComment);
    LoadTrend(ini, def.trend, settings.trend);
    return true;
}

void SaveAppSettings(IniFile& ini, const AppSettings& settings, int screenWidth, int screenHeight) {
    for (int i = 0; i < 3; ++i) {
        SaveDisplay(ini, kDisplaySections[i], settings.displays[i]);
    }
    const WindowRect w = AdjustWindowRect(settings.window, screenWidth, screenHeight);
    ini.SetInt(kGeneral, "PORT_NR", settings.portNr);
    ini.SetInt(kGeneral, "WINDOW_TOP", w.top);
    ini.SetInt(kGeneral, "WINDOW_BOTTOM", w.bottom);
    ini.SetInt(kGeneral, "WINDOW_LEFT", w.left);
    ini.SetInt(kGeneral, "WINDOW_RIGHT", w.right);
    const LogSettings& log = settings.log;
    ini.SetString(kLog, "FILE_NAME", log.fileName);
    ini.SetInt(kLog, "FILE_LOG", log.fileLog ? 1 : 0);
    ini.SetInt(kLog, "FILE_SEP_FORMAT", log.sepFormat);
    ini.SetInt(kLog, "FILE_DEC_SEPARATOR", log.decSeparator);
    // Opt-in and set by hand: written only once chosen, so a file keeps its
    // usual keys.
    if (log.dateFormat != 0) {
        ini.SetInt(kLog, "LOG_DATE_FORMAT", log.dateFormat);
    }
    ini.SetInt(kLog, "FILE_INTERVAL", log.interval);
    ini.SetInt(kGeneral, "TOPMOST", settings.topmost ? 1 : 0);
    ini.SetInt(kGeneral, "SHOW_SERVICE", settings.showService ? 1 : 0);
    ini.SetInt(kLog, "FILE_CHECK_COMMENT", log.checkComment ? 1 : 0);
    SaveTrend(ini, settings.trend, screenWidth, screenHeight);
}

WindowRect AdjustWindowRect(WindowRect rect, int screenWidth, int screenHeight) {
    PullBack(rect.left, rect.right, screenWidth);
    PullBack(rect.top, rect.bottom, screenHeight);
    if (rect.top < -10) {
        rect.top = 0;
    }
    if (rect.left < -10) {
        rect.left = 0;
    }
    return rect;
}

int32_t EffectiveLogInterval(int32_t storedInterval) {
    return std::clamp<int32_t>(storedInterval, 1, 86399);
}

}  // namespace tk358
