// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter file: what is written, and every fault the loader must catch
// before anything may reach a panel.

#include <gtest/gtest.h>

#include <string>

#include "backup/backup_file.h"
#include "link/parameter_codes.h"
#include "support/temp_dir.h"

namespace tk358 {
namespace {

// A set of `kind` with a distinct value inside the bounds for every setting.
ParameterBackup SampleSet(int kind, int firmware) {
    ParameterBackup set;
    set.panel = {kind, "TK-358X", 5, firmware, 3105, "2026-12-08T10:15:00+01:00", "1.0.0"};
    for (const int code : PanelSetCodes(kind, firmware)) {
        const ParameterBounds b = Parameter(code).bounds;
        const double value = code == param::kCv ? -33.3 : b.min + (b.max - b.min) / 3;
        set.values.push_back({code, value});
    }
    return set;
}

TEST(BackupFileTest, EveryKindReadsBackAsWritten) {
    const struct {
        int kind;
        int firmware;
        std::size_t count;
    } cases[] = {{0, 105, 13}, {1, 105, 4}, {2, 105, 9}, {3, 107, 21}, {4, 107, 11}, {4, 100, 4}};
    for (const auto& c : cases) {
        const ParameterBackup set = SampleSet(c.kind, c.firmware);
        EXPECT_EQ(set.values.size(), c.count) << c.kind;
        const std::string text = FormatBackupFile(set);
        const BackupFileCheck check = ParseBackupFile(text, c.kind);
        ASSERT_TRUE(check.backup) << c.kind << ": " << check.error;
        EXPECT_EQ(*check.backup, set) << c.kind;
        // Every line ends with CR LF; no bare LF.
        std::size_t lf = 0;
        while ((lf = text.find('\n', lf + 1)) != std::string::npos) {
            ASSERT_EQ(text[lf - 1], '\r') << c.kind;
        }
    }
}

TEST(BackupFileTest, TextAsAPersonReadsIt) {
    ParameterBackup set;
    set.panel = {1, "TK-358", 0, 105, 12, "2026-12-08T10:15:00+01:00", "1.0.0"};
    set.values = {{param::kSetpoint, -2345},
                  {param::kDrainTime, 125},
                  {param::kCloseDelay, 0},
                  {param::kDeviation, 999}};
    EXPECT_EQ(FormatBackupFile(set),
              "[PANEL]\r\nKIND=1\r\nMODEL=TK-358\r\nVARIANT=0\r\nFIRMWARE=1.05\r\nSERIAL=12\r\n"
              "DATE=2026-12-08T10:15:00+01:00\r\nVERSION=1.0.0\r\n\r\n[PARAMETERS]\r\n"
              "; Wartość zadana\r\nSETPOINT=-23.45\r\n; Czas zrzutu\r\nDRAIN_TIME=12.5\r\n"
              "; Opóźnienie zamk. zaw.\r\nCLOSE_DELAY=0.0\r\n; Odchyłka popr. temp.\r\n"
              "DEVIATION=99.9\r\n");
}

// One line of a sound TK-358C file replaced, and what the loader says.
TEST(BackupFileTest, FirstFaultIsNamedAndNothingIsReturned) {
    const std::string sound = FormatBackupFile(SampleSet(4, 107));
    const struct {
        std::string from;
        std::string to;
        int panelKind;
        std::string message;
        bool otherKind = false;
    } cases[] = {
        {"KIND=4", "KIND=3", 4, "innego rodzaju (TK-358D), a podłączony jest TK-358C", true},
        {"KIND=4", "KIND=7", 4, "Nieznany rodzaj panelu KIND=7"},
        {"FIRMWARE=1.07", "FIRMWARE=1.7", 4, "FIRMWARE=1.7"},
        {"[PANEL]", "[PANELS]", 4, "nie zawiera sekcji [PANEL]"},
        {"DAY_T1=", "DAY_TI=", 4, "Nieznany parametr DAY_TI"},
        {"NIGHT_H2=", "DAY_H2=", 4, "DAY_H2 występuje w pliku więcej niż raz"},
        {"CHANNELS=1", "", 4, "Brak parametru CHANNELS (Liczba aktywnych kanałów regulacji)"},
        {"DAY_T1=50.0", "DAY_T1=12.5x", 4, "DAY_T1 (Próg T1 (strefa dzienna)) nie jest poprawną"},
        {"DAY_T1=50.0", "DAY_T1=", 4, "nie jest poprawną liczbą"},
        {"DAY_T1=50.0", "DAY_T1=1e3", 4, "nie jest poprawną liczbą"},
        {"CHANNELS=1", "CHANNELS=1.0", 4, "CHANNELS (Liczba aktywnych kanałów regulacji) nie jest"},
        {"DAY_T1=50.0", "DAY_T1=550.1", 4, "jest poza dopuszczalnym zakresem <-200.0, 550.0>"},
        {"CHANNELS=1", "CHANNELS=3", 4, "poza dopuszczalnym zakresem <1, 2>"},
        {"DAY_START=7:50", "DAY_START=7:75", 4, "DAY_START (Początek (strefa dzienna))"},
        {"DAY_START=7:50", "DAY_START=24:00", 4, "poza dopuszczalnym zakresem <0:00, 23:50>"},
    };
    for (const auto& c : cases) {
        std::string text = sound;
        const std::size_t at = text.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.from;
        text.replace(at, c.from.size(), c.to);
        const BackupFileCheck check = ParseBackupFile(text, c.panelKind);
        EXPECT_FALSE(check.backup) << c.to;
        EXPECT_NE(check.error.find(c.message), std::string::npos) << c.to << ": " << check.error;
        EXPECT_EQ(check.otherKind, c.otherKind) << c.to;
    }
}

// What a person may do to a file by hand and still have it load.
TEST(BackupFileTest, HandEditsThatStillLoad) {
    const std::string sound = FormatBackupFile(SampleSet(4, 107));
    const struct {
        std::string from;
        std::string to;
        int code;
        double value;
    } cases[] = {
        {"DAY_T1=50.0", "DAY_T1 = 12,5 ; po naprawie", param::kDayT1, 125},
        {"DAY_T1=50.0", "DAY_T1=-0.09", param::kDayT1, 0},  // truncated like a typed value
        {"DAY_START=7:50", "DAY_START=7:35", param::kDayStart, 45},
        {"\r\n", "\n", param::kDayT1, 500},  // LF line ends
    };
    for (const auto& c : cases) {
        std::string text = sound;
        text.replace(text.find(c.from), c.from.size(), c.to);
        const BackupFileCheck check = ParseBackupFile("\xEF\xBB\xBF" + text, 4);
        ASSERT_TRUE(check.backup) << c.to << ": " << check.error;
        EXPECT_EQ(check.backup->Find(c.code)->value, c.value) << c.to;
    }
}

TEST(BackupFileTest, SaveReplacesWholeAndLoadReadsItBack) {
    const test::TempDir dir("tk358-backup-file");
    const std::string path = (dir.Path() / "panel.tk358par").string();
    const ParameterBackup set = SampleSet(3, 107);
    std::string error;
    ASSERT_TRUE(SaveBackupFile(path, set, &error)) << error;
    const BackupFileCheck check = LoadBackupFile(path, 3);
    ASSERT_TRUE(check.backup) << check.error;
    EXPECT_EQ(*check.backup, set);
    EXPECT_FALSE(SaveBackupFile((dir.Path() / "no" / "such.tk358par").string(), set, &error));
    EXPECT_NE(error.find("Nie można zapisać pliku"), std::string::npos) << error;
    EXPECT_NE(LoadBackupFile(path + ".missing", 3).error.find("Nie można odczytać pliku"),
              std::string::npos);
}

}  // namespace
}  // namespace tk358
