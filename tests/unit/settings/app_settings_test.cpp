// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/app_settings.h"

#include <gtest/gtest.h>

#include "settings/ini_file.h"
#include "support/temp_dir.h"

namespace tk358 {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const char kFreshFile[] =
    "[INPUT_TEMP]\r\n"
    "BACKGROUND_INPUT=13559807\r\n"
    "TEXT_INPUT=5442\r\n"
    "FONT_HEIGHT_INPUT=-64\r\n"
    "FONT_NAME_INPUT=Arial\r\n"
    "FONT_ITALIC_INPUT=0\r\n"
    "FONT_WEIGHT_INPUT=0\r\n"
    "LOG=1\r\n"
    "[INPUT_SP]\r\n"
    "BACKGROUND_INPUT=13434879\r\n"
    "TEXT_INPUT=16384\r\n"
    "FONT_HEIGHT_INPUT=-64\r\n"
    "FONT_NAME_INPUT=Arial\r\n"
    "FONT_ITALIC_INPUT=0\r\n"
    "FONT_WEIGHT_INPUT=0\r\n"
    "LOG=1\r\n"
    "[INPUT_SP2]\r\n"
    "BACKGROUND_INPUT=12124159\r\n"
    "TEXT_INPUT=16384\r\n"
    "FONT_HEIGHT_INPUT=-64\r\n"
    "FONT_NAME_INPUT=Arial\r\n"
    "FONT_ITALIC_INPUT=0\r\n"
    "FONT_WEIGHT_INPUT=0\r\n"
    "LOG=1\r\n"
    "[GENERAL]\r\n"
    "PORT_NR=0\r\n"
    "WINDOW_TOP=50\r\n"
    "WINDOW_BOTTOM=550\r\n"
    "WINDOW_LEFT=10\r\n"
    "WINDOW_RIGHT=790\r\n"
    "TOPMOST=0\r\n"
    "SHOW_SERVICE=0\r\n"
    "[LOG]\r\n"
    "FILE_NAME=\r\n"
    "FILE_LOG=0\r\n"
    "FILE_SEP_FORMAT=0\r\n"
    "FILE_DEC_SEPARATOR=0\r\n"
    "FILE_INTERVAL=60\r\n"
    "FILE_CHECK_COMMENT=0\r\n"
    "[TREND]\r\n"
    "TREND_OPEN=0\r\n"
    "TREND_SPAN=1800\r\n"
    "TREND_LEFT=120\r\n"
    "TREND_TOP=120\r\n"
    "TREND_RIGHT=920\r\n"
    "TREND_BOTTOM=620\r\n";

// Start and end of the program: open with write-back, create and ignore case,
// load, save, close.
AppSettings LoadAndSave(const std::string& path, int width = 1920, int height = 1080) {
    IniFile ini;
    AppSettings s = AppSettings::BuiltIn();
    ini.Open(path, true, true, true, false);
    LoadAppSettings(ini, s);
    SaveAppSettings(ini, s, width, height);
    return s;
}

TEST(AppSettingsTest, MissingFileBecomesCompleteWithTableDefaults) {
    TempDir dir;
    const AppSettings s = LoadAndSave(dir.File("tk358.ini"));
    EXPECT_EQ(s, AppSettings::FileDefaults());
    EXPECT_EQ(s.window, (WindowRect{10, 50, 790, 550}));
    EXPECT_EQ(ReadFile(dir.File("tk358.ini")), kFreshFile);
}

TEST(AppSettingsTest, UnopenedStoreKeepsBuiltInValuesAndWritesNothing) {
    TempDir dir;
    IniFile ini;
    ASSERT_FALSE(ini.Open(dir.File("no/such/tk358.ini"), true, true, true, false));
    AppSettings s = AppSettings::BuiltIn();
    EXPECT_FALSE(LoadAppSettings(ini, s));
    EXPECT_EQ(s, AppSettings::BuiltIn());
    EXPECT_EQ(s.window, (WindowRect{100, 100, 700, 500}));
    EXPECT_EQ(s.log.interval, 1);
    EXPECT_EQ(s.displays[kSetpointDisplay].fontHeight, 25);
    SaveAppSettings(ini, s, 1280, 1024);
    ini.Close();
    EXPECT_FALSE(std::filesystem::exists(dir.File("no")));
}

TEST(AppSettingsTest, ReadsEachDisplayFromItsOwnSection) {
    TempDir dir;
    WriteFile(dir.File("tk358.ini"),
              "[input_sp2]\n"
              "font_height_input=-40 ; smaller\n"
              "FONT_NAME_INPUT=DejaVu Sans Mono Bold Oblique Condensed Ąż\n"
              "FONT_ITALIC_INPUT=257\n"
              "[general]\n"
              "TOPMOST=2\n"
              "WINDOW_LEFT=abc\n"
              "[LOG]\n"
              "FILE_INTERVAL=0\n"
              "FILE_NAME=/var/log/tk358 pomiary.csv\n");
    const AppSettings s = LoadAndSave(dir.File("tk358.ini"));
    const AppSettings def = AppSettings::FileDefaults();
    EXPECT_EQ(s.displays[kTemperatureDisplay], def.displays[kTemperatureDisplay]);
    EXPECT_EQ(s.displays[kSetpointDisplay], def.displays[kSetpointDisplay]);
    const DisplaySettings& sp2 = s.displays[kSetpoint2Display];
    EXPECT_EQ(sp2.fontHeight, -40);
    EXPECT_EQ(sp2.faceName, "DejaVu Sans Mono Bold Oblique C");  // 31 bytes
    EXPECT_EQ(sp2.italic, 1);                                    // one byte: 257 wraps
    EXPECT_TRUE(s.topmost);
    EXPECT_EQ(s.window.left, 0);
    EXPECT_EQ(s.log.interval, 0);  // kept as stored, limited only when used
    EXPECT_EQ(EffectiveLogInterval(s.log.interval), 1);
    EXPECT_EQ(s.log.fileName, "/var/log/tk358 pomiary.csv");

    IniFile ini;
    ASSERT_TRUE(ini.Open(dir.File("tk358.ini"), false, false, true, false));
    EXPECT_EQ(ini.GetString("INPUT_SP2", "FONT_HEIGHT_INPUT", ""), "-40");
    EXPECT_EQ(ini.GetString("LOG", "FILE_INTERVAL", ""), "0");
    std::vector<std::string> names;
    ini.GetSectionNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"", "input_sp2", "general", "LOG", "INPUT_TEMP",
                                               "INPUT_SP", "TREND"}));
}

TEST(AppSettingsTest, ChangedValuesSurviveSaveAndLoad) {
    TempDir dir;
    AppSettings s = AppSettings::FileDefaults();
    s.displays[kSetpointDisplay] = {0x00FF8040, 0x00010203, 48, "Liberation Sans", 1, 700, false};
    s.portNr = 33;
    s.window = {-5, 20, 600, 400};
    s.topmost = true;
    s.showService = true;
    s.log = {"/home/u/pomiary;2.csv", true, 3, 1, 86399, true};
    {
        IniFile ini;
        ASSERT_TRUE(ini.Open(dir.File("tk358.ini"), true, true, true, false));
        SaveAppSettings(ini, s, 1280, 1024);
    }
    IniFile ini;
    ASSERT_TRUE(ini.Open(dir.File("tk358.ini"), true, true, true, false));
    AppSettings back = AppSettings::BuiltIn();
    ASSERT_TRUE(LoadAppSettings(ini, back));
    s.log.fileName = "/home/u/pomiary";  // the file format cannot carry a ';'
    EXPECT_EQ(back, s);
}

// The log's date format is set by hand in the file: read as written, kept
// by a save, and never added to a file that does not choose it.
TEST(AppSettingsTest, LogDateFormatIsReadAndKeptButNeverAdded) {
    const struct {
        const char* line;  // in [LOG]; empty: no key
        int32_t loaded;
        const char* saved;  // the key's line after a save; empty: none
    } cases[] = {
        {"", 0, ""},
        {"LOG_DATE_FORMAT=1\r\n", 1, "LOG_DATE_FORMAT=1\r\n"},
        {"log_date_format=1\r\n", 1, "log_date_format=1\r\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string path = dir.File("tk358.ini");
        WriteFile(path, std::string("[LOG]\r\nFILE_NAME=a.csv\r\n") + c.line);
        EXPECT_EQ(LoadAndSave(path).log.dateFormat, c.loaded) << c.line;
        const std::string text = ReadFile(path);
        if (*c.saved != '\0') {
            EXPECT_NE(text.find(c.saved), std::string::npos) << c.line << text;
        } else {
            EXPECT_EQ(text.find("DATE_FORMAT"), std::string::npos) << text;
        }
    }
}

TEST(AppSettingsTest, WindowIsBroughtBackOntoTheScreen) {
    struct Case {
        const char* name;
        WindowRect in;
        WindowRect out;
    };
    const Case cases[] = {
        {"on screen", {10, 50, 790, 550}, {10, 50, 790, 550}},
        {"right far out", {300, 50, 1500, 550}, {80, 50, 1280, 550}},
        {"right within 10", {300, 50, 1285, 550}, {300, 50, 1285, 550}},
        {"right exactly 10 out", {300, 50, 1290, 550}, {300, 50, 1290, 550}},
        {"right 11 out", {300, 50, 1291, 550}, {289, 50, 1280, 550}},
        {"bottom far out", {10, 500, 790, 1100}, {10, 424, 790, 1024}},
        {"bottom within 10", {10, 500, 790, 1034}, {10, 500, 790, 1034}},
        {"top above", {10, -30, 790, 550}, {10, 0, 790, 550}},
        {"top within 10", {10, -10, 790, 550}, {10, -10, 790, 550}},
        {"left beyond", {-30, 50, 790, 550}, {0, 50, 790, 550}},
        {"left within 10", {-10, 50, 790, 550}, {-10, 50, 790, 550}},
        {"wider than the screen", {10, 50, 1500, 550}, {0, 50, 1280, 550}},
        {"extreme values", {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {0, 0, 1280, 1024}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AdjustWindowRect(c.in, 1280, 1024), c.out) << c.name;
    }
}

TEST(AppSettingsTest, SavedWindowIsTheAdjustedOne) {
    TempDir dir;
    WriteFile(dir.File("tk358.ini"),
              "[GENERAL]\nWINDOW_LEFT=300\nWINDOW_RIGHT=1500\nWINDOW_TOP=-30\n");
    LoadAndSave(dir.File("tk358.ini"), 1280, 1024);
    IniFile ini;
    ASSERT_TRUE(ini.Open(dir.File("tk358.ini"), false, false, true, false));
    EXPECT_EQ(ini.GetInt("GENERAL", "WINDOW_LEFT", 0), 80);
    EXPECT_EQ(ini.GetInt("GENERAL", "WINDOW_RIGHT", 0), 1280);
    EXPECT_EQ(ini.GetInt("GENERAL", "WINDOW_TOP", 1), 0);
    EXPECT_EQ(ini.GetInt("GENERAL", "WINDOW_BOTTOM", 0), 550);
}

TEST(AppSettingsTest, TrendKeysFollowEveryOtherKeyAndLeaveThemAsTheyWere) {
    TempDir dir;
    // A file written before the trend window existed.
    const std::string fresh = kFreshFile;
    const std::string before = fresh.substr(0, fresh.find("[TREND]"));
    WriteFile(dir.File("tk358.ini"), before);
    IniFile ini;
    ASSERT_TRUE(ini.Open(dir.File("tk358.ini"), true, true, true, false));
    AppSettings s = AppSettings::BuiltIn();
    ASSERT_TRUE(LoadAppSettings(ini, s));
    EXPECT_EQ(s.trend, TrendSettings{});
    s.trend = {true, 7200, {-30, 40, 1500, 700}};
    SaveAppSettings(ini, s, 1280, 1024);
    ini.Close();
    EXPECT_EQ(ReadFile(dir.File("tk358.ini")), before +
                                                   "[TREND]\r\n"
                                                   "TREND_OPEN=1\r\n"
                                                   "TREND_SPAN=7200\r\n"
                                                   "TREND_LEFT=0\r\n"
                                                   "TREND_TOP=40\r\n"
                                                   "TREND_RIGHT=1280\r\n"
                                                   "TREND_BOTTOM=700\r\n");
}

TEST(AppSettingsTest, TrendKeysRoundTrip) {
    struct Case {
        const char* what;
        std::string file;
        TrendSettings loaded;
    };
    const Case cases[] = {
        {"missing: defaults", "[GENERAL]\nPORT_NR=3\n", TrendSettings{}},
        {"all set, names in any case",
         "[trend]\ntrend_open=1\nTREND_SPAN=300 ; 5 min\nTREND_LEFT=5\nTREND_TOP=6\n"
         "TREND_RIGHT=705\nTREND_BOTTOM=406\n",
         TrendSettings{true, 300, {5, 6, 705, 406}}},
        {"span kept as stored, limited only by the chart", "[TREND]\nTREND_SPAN=-7\n",
         TrendSettings{false, -7, TrendSettings{}.window}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        WriteFile(dir.File("tk358.ini"), c.file);
        const AppSettings first = LoadAndSave(dir.File("tk358.ini"));
        EXPECT_EQ(first.trend, c.loaded) << c.what;
        const AppSettings second = LoadAndSave(dir.File("tk358.ini"));
        EXPECT_EQ(second, first) << c.what;
    }
}

TEST(AppSettingsTest, EffectiveLogInterval) {
    const std::pair<int32_t, int32_t> cases[] = {
        {INT32_MIN, 1}, {-5, 1},        {0, 1},         {1, 1},
        {60, 60},       {86399, 86399}, {86400, 86399}, {INT32_MAX, 86399},
    };
    for (const auto& [stored, used] : cases) {
        EXPECT_EQ(EffectiveLogInterval(stored), used) << stored;
    }
}

}  // namespace
}  // namespace tk358
