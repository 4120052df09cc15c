// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's --backup, --compare and --restore against simulated
// panels: what they print, their exit codes, and that a refused file or an
// unconfirmed restore puts no write on the line.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

#include "backup/backup_cli.h"
#include "backup/backup_file.h"
#include "link/parameter_codes.h"
#include "session_fixture.h"
#include "support/temp_dir.h"

namespace tk358::test {
namespace {

using namespace param;

// A second panel beside the fixture's COM207.
constexpr int kSecondPort = 208;

std::unique_ptr<sim::PtySimulator> StartPanel(int kind, int port) {
    sim::PtySimulatorOptions options;
    options.panel = sim::DefaultConfig(kind);
    options.panel.statusPeriod = 100ms;
    options.portNumber = port;
    options.portDirectory = TestPortDirectory();
    auto panel = std::make_unique<sim::PtySimulator>(options);
    std::string error;
    EXPECT_TRUE(panel->Start(&error)) << error;
    return panel;
}

std::string Contents(std::FILE* file) {
    std::rewind(file);
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        text.append(buffer, n);
    }
    return text;
}

bool WritesOnTheLine(const sim::PtySimulator& panel) {
    for (const sim::RecordedFrame& frame : panel.Frames()) {
        for (const char* write : {"028700", "028100", "028400", "028500"}) {
            if (frame.line.rfind(write, 0) == 0) {
                return true;
            }
        }
    }
    return false;
}

// One run of a command with its output captured and `input` on its stdin.
struct CommandRun {
    int status = -1;
    std::string out;
    std::string err;
};

CommandRun RunCommand(BackupAction action, int port, const std::string& file, bool yes = false,
                      const char* input = nullptr) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    std::string text = input != nullptr ? input : "";
    // An empty file gives the end of input at once.
    std::FILE* in = text.empty() ? std::tmpfile() : fmemopen(text.data(), text.size(), "r");
    BackupConsole console{out, err, in, input != nullptr, "test", 5000ms, {}};
    PanelSession session(QuickTiming());
    CommandRun run;
    run.status = RunBackupCommand({action, port, file, yes}, session, console);
    run.out = Contents(out);
    run.err = Contents(err);
    for (std::FILE* f : {out, err, in}) {
        std::fclose(f);
    }
    return run;
}

class BackupCliTest : public ::testing::Test {
protected:
    TempDir dir_{"tk358-backup-cli"};
    std::string File(const char* name) const { return (dir_.Path() / name).string(); }
};

// A TK-358D saved, a second TK-358D with other values: compare lists them,
// restore writes them, and the second panel then compares equal.
TEST_F(BackupCliTest, BackupRestoredOntoAnotherPanel) {
    auto first = StartPanel(kDualZoneController, kComPort);
    auto second = StartPanel(kDualZoneController, kSecondPort);
    second->SetParameter(kZone1Kp, 77);
    second->SetParameter(kDualMinOnTime, 15);
    const std::string file = File("tk358d.tk358par");

    CommandRun run = RunCommand(BackupAction::kBackup, kComPort, file);
    ASSERT_EQ(run.status, backup_exit::kOk) << run.err;
    EXPECT_NE(run.out.find("Zapisano 21 parametrów"), std::string::npos) << run.out;

    run = RunCommand(BackupAction::kCompare, kSecondPort, file);
    EXPECT_EQ(run.status, backup_exit::kDifferent) << run.err;
    EXPECT_NE(run.out.find("ZONE1_KP"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("DUAL_MIN_ON_TIME"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Różnice: 2"), std::string::npos) << run.out;
    EXPECT_FALSE(WritesOnTheLine(*second));

    run = RunCommand(BackupAction::kRestore, kSecondPort, file, true);
    EXPECT_EQ(run.status, backup_exit::kOk) << run.out << run.err;
    EXPECT_EQ(second->Parameter(kZone1Kp), first->Parameter(kZone1Kp));
    EXPECT_EQ(second->Parameter(kDualMinOnTime), first->Parameter(kDualMinOnTime));

    run = RunCommand(BackupAction::kCompare, kSecondPort, file);
    EXPECT_EQ(run.status, backup_exit::kOk) << run.out;
}

// On a terminal only "y" writes; "n", anything else and the end of input do
// not, and without a terminal --yes is needed.
TEST_F(BackupCliTest, RestoreAsksFirst) {
    auto panel = StartPanel(kDrainValveController, kComPort);
    const std::string file = File("drain.tk358par");
    ASSERT_EQ(RunCommand(BackupAction::kBackup, kComPort, file).status, backup_exit::kOk);
    panel->SetParameter(kDeviation, 55);
    const struct {
        const char* input;  // null: not a terminal
        int status;
    } cases[] = {{"n\n", backup_exit::kDeclined},
                 {"tak\n", backup_exit::kDeclined},
                 {"", backup_exit::kDeclined},
                 {nullptr, backup_exit::kDeclined},
                 {"y\n", backup_exit::kOk}};
    for (const auto& c : cases) {
        panel->ClearFrames();
        const CommandRun run = RunCommand(BackupAction::kRestore, kComPort, file, false, c.input);
        EXPECT_EQ(run.status, c.status) << (c.input ? c.input : "(no terminal)") << run.err;
        EXPECT_EQ(WritesOnTheLine(*panel), c.status == backup_exit::kOk);
    }
    EXPECT_NE(panel->Parameter(kDeviation), 55);
}

// The panel falls silent after the first write frame: --restore lists what
// was written and what was not, and ends with the no-answer code.
TEST_F(BackupCliTest, RestoreReportsWhatWasWrittenWhenThePanelStops) {
    auto panel = StartPanel(kDrainValveController, kComPort);
    const std::string file = File("drain.tk358par");
    ASSERT_EQ(RunCommand(BackupAction::kBackup, kComPort, file).status, backup_exit::kOk);
    panel->SetParameter(kDrainTime, 11);
    panel->SetParameter(kDeviation, 22);
    std::thread silencer([&panel] {
        const bool wrote = panel->WaitUntil(
            [](const sim::SimPanel& p) {
                for (const sim::RecordedFrame& frame : p.Frames()) {
                    if (frame.line.rfind("028700", 0) == 0) {
                        return true;
                    }
                }
                return false;
            },
            20s);
        if (wrote) {
            panel->SilenceUntilResumed();
        }
    });
    const CommandRun run = RunCommand(BackupAction::kRestore, kComPort, file, true);
    silencer.join();
    EXPECT_EQ(run.status, backup_exit::kNoAnswer) << run.out << run.err;
    // The outcome table's line of each row, after the table of differences.
    const std::size_t table = run.out.find("Zapis:");
    ASSERT_NE(table, std::string::npos) << run.out << run.err;
    const std::string outcome = run.out.substr(table);
    const auto line = [&outcome](const std::string& key) {
        const std::size_t at = outcome.find(key);
        return at == std::string::npos ? std::string()
                                       : outcome.substr(at, outcome.find('\n', at) - at);
    };
    EXPECT_NE(line("DRAIN_TIME").find("niepewny"), std::string::npos) << run.out;
    EXPECT_NE(line("DEVIATION").find("niezapisany"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("Panel przestał odpowiadać"), std::string::npos) << run.err;
}

// A file that cannot be used is refused with its fault and no write; a port
// that does not open and a silent panel have their own exit codes.
TEST_F(BackupCliTest, FaultsAndTheirExitCodes) {
    auto panel = StartPanel(kThresholdRegulator, kComPort);
    const std::string sound = File("c.tk358par");
    ASSERT_EQ(RunCommand(BackupAction::kBackup, kComPort, sound).status, backup_exit::kOk);
    const std::string ventilation = File("w.tk358par");
    {
        auto other = StartPanel(kVentilationController, kSecondPort);
        ASSERT_EQ(RunCommand(BackupAction::kBackup, kSecondPort, ventilation).status,
                  backup_exit::kOk);
    }
    const std::string text = ReadFile(sound);
    const auto variant = [&](const std::string& name, const std::string& from,
                             const std::string& to) {
        std::string changed = text;
        changed.replace(changed.find(from), from.size(), to);
        WriteFile(File(name.c_str()), changed);
        return File(name.c_str());
    };
    const struct {
        std::string file;
        int port;
        int status;
        const char* message;
    } cases[] = {
        {ventilation, kComPort, backup_exit::kOtherKind, "innego rodzaju (TK-358W)"},
        {variant("bounds.tk358par", "DAY_H1=", "DAY_H1=25.6;"), kComPort, backup_exit::kBadFile,
         "DAY_H1"},
        {variant("damaged.tk358par", "[PARAMETERS]", "[PARAM"), kComPort, backup_exit::kBadFile,
         "Brak parametru DAY_T1"},
        {File("missing.tk358par"), kComPort, backup_exit::kBadFile, "Nie można odczytać pliku"},
        {sound, 299, backup_exit::kPortNotOpen, "Nie można otworzyć portu COM299"},
    };
    for (const auto& c : cases) {
        panel->ClearFrames();
        const CommandRun run = RunCommand(BackupAction::kRestore, c.port, c.file, true);
        EXPECT_EQ(run.status, c.status) << c.file << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(WritesOnTheLine(*panel)) << c.file;
    }
    panel->SilenceUntilResumed();
    const CommandRun silent = RunCommand(BackupAction::kCompare, kComPort, sound);
    EXPECT_EQ(silent.status, backup_exit::kNoAnswer);
    EXPECT_NE(silent.err.find("nie odpowiada"), std::string::npos) << silent.err;
}

}  // namespace
}  // namespace tk358::test
