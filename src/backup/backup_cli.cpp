// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/backup_cli.h"

#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <thread>
#include <vector>

#include "backup/backup_compare.h"
#include "backup/backup_file.h"
#include "link/parameter_codes.h"
#include "panel/port_open_message.h"

namespace tk358 {

namespace {

using namespace std::chrono_literals;

// Columns are counted in characters, not bytes: the labels are Polish.
std::size_t Width(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string Padded(const std::string& text, std::size_t width) {
    return text + std::string(width > Width(text) ? width - Width(text) : 0, ' ');
}

void PrintTable(std::FILE* out, const std::vector<std::vector<std::string>>& lines) {
    std::vector<std::size_t> widths;
    for (const auto& line : lines) {
        widths.resize(std::max(widths.size(), line.size()));
        for (std::size_t i = 0; i < line.size(); ++i) {
            widths[i] = std::max(widths[i], Width(line[i]));
        }
    }
    for (const auto& line : lines) {
        std::string text;
        for (std::size_t i = 0; i < line.size(); ++i) {
            text += i + 1 < line.size() ? Padded(line[i], widths[i] + 2) : line[i];
        }
        std::fprintf(out, "%s\n", text.c_str());
    }
}

// The differing rows and the rows only one side has, as a table.
void PrintDifferences(std::FILE* out, const std::vector<CompareRow>& rows) {
    std::vector<std::vector<std::string>> lines{{"Parametr", "Opis", "Panel", "Plik"}};
    for (const CompareRow& row : rows) {
        if (row.state == RowState::kDifferent || row.state == RowState::kAbsentOnPanel) {
            lines.push_back({row.key, row.label, row.panel ? row.panelText : "(brak)",
                             row.file ? row.fileText : "(brak)"});
        }
    }
    if (lines.size() > 1) {
        PrintTable(out, lines);
    }
}

class Connection {
public:
    Connection(PanelConnection& session, const BackupConsole& console)
        : session_(session), console_(console) {}
    ~Connection() { session_.Close(); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens the port and waits for the start sequence; an exit code on failure.
    int Open(int port) {
        if (!session_.Open(port)) {
            std::fprintf(console_.err, "tk358: %s\n",
                         PortOpenFailureText(port, session_.LastOpenError()).c_str());
            return backup_exit::kPortNotOpen;
        }
        const auto deadline = std::chrono::steady_clock::now() + console_.connectWait;
        while (std::chrono::steady_clock::now() < deadline) {
            PanelIdentity id;
            ParameterSet parameters;
            if (session_.GetIdentity(id) == kStatusOk && id.identified != 0 &&
                id.deviceType < kUnknownDevice && session_.GetParameters(parameters) == kStatusOk &&
                parameters.ReadComplete(id.deviceType)) {
                return backup_exit::kOk;
            }
            std::this_thread::sleep_for(50ms);
        }
        std::fprintf(console_.err, "tk358: Panel na porcie COM%d nie odpowiada\n", port);
        return backup_exit::kNoAnswer;
    }

    std::optional<ParameterBackup> ReadSet() {
        SetReadOptions options = console_.read;
        const bool showProgress = isatty(fileno(console_.err)) != 0;
        if (showProgress) {
            options.progress = [this](int done, int total) {
                std::fprintf(console_.err, "\rOdczyt parametrów: %d/%d", done, total);
                std::fflush(console_.err);
            };
        }
        SetReadResult result = ReadPanelSet(session_, options);
        if (showProgress) {
            std::fprintf(console_.err, "\n");
        }
        if (result.status != ReadStatus::kOk) {
            std::fprintf(console_.err, "tk358: %s\n", ReadFailureText(result).c_str());
            return std::nullopt;
        }
        result.set.panel.date = IsoLocalTimeNow();
        result.set.panel.version = console_.version;
        return std::move(result.set);
    }

    PanelConnection& Session() { return session_; }

private:
    PanelConnection& session_;
    const BackupConsole& console_;
};

int FileFault(const BackupConsole& console, const BackupFileCheck& check) {
    std::fprintf(console.err, "tk358: %s\n", check.error.c_str());
    return check.otherKind ? backup_exit::kOtherKind : backup_exit::kBadFile;
}

void PrintPanel(std::FILE* out, const PanelStamp& p) {
    std::fprintf(out, "Panel %s nr %d, oprogramowanie %s\n", p.model.c_str(), p.serial,
                 FirmwareText(p.firmware).c_str());
}

int Backup(Connection& link, const BackupCommand& command, const BackupConsole& console) {
    const std::optional<ParameterBackup> set = link.ReadSet();
    if (!set) {
        return backup_exit::kNoAnswer;
    }
    std::string error;
    if (!SaveBackupFile(command.file, *set, &error)) {
        std::fprintf(console.err, "tk358: %s\n", error.c_str());
        return backup_exit::kNotSaved;
    }
    PrintPanel(console.out, set->panel);
    std::fprintf(console.out, "Zapisano %zu parametrów do pliku %s\n", set->values.size(),
                 command.file.c_str());
    return backup_exit::kOk;
}

bool Confirmed(const BackupConsole& console, std::size_t count) {
    std::fprintf(console.out, "Zapisać w panelu %zu wartości z pliku? [y/N] ", count);
    std::fflush(console.out);
    char answer[64] = {};
    if (std::fgets(answer, sizeof answer, console.in) == nullptr) {
        std::fprintf(console.out, "\n");
        return false;
    }
    std::string text = answer;
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.pop_back();
    }
    return text == "y" || text == "Y";
}

void PrintOutcome(std::FILE* out, const RestoreOutcome& outcome) {
    std::vector<std::vector<std::string>> lines;
    for (const auto& [code, result] : outcome.rows) {
        lines.push_back({Parameter(code).key, SettingLabel(code), RowOutcomeText(result)});
    }
    PrintTable(out, lines);
}

int Restore(Connection& link, const ParameterBackup& file, std::vector<CompareRow> rows,
            const BackupConsole& console) {
    const std::vector<int> codes = DifferingCodes(rows);
    const RestoreOutcome outcome = RestoreRows(link.Session(), file, codes);
    std::fprintf(console.out, "Zapis:\n");
    PrintOutcome(console.out, outcome);
    if (!outcome.complete) {
        std::fprintf(console.err,
                     "tk358: Panel przestał odpowiadać; nie wszystkie wartości "
                     "zostały zapisane\n");
        return backup_exit::kNoAnswer;
    }
    const std::optional<ParameterBackup> after = link.ReadSet();
    if (!after) {
        return backup_exit::kNoAnswer;
    }
    rows = CompareSets(*after, file);
    if (!AllEqual(rows)) {
        std::fprintf(console.out, "Po zapisie panel nadal ma inne wartości:\n");
        PrintDifferences(console.out, rows);
        return backup_exit::kDifferent;
    }
    std::fprintf(console.out, "Odczyt kontrolny: panel ma wszystkie wartości z pliku.\n");
    return backup_exit::kOk;
}

int CompareOrRestore(Connection& link, const BackupCommand& command, const BackupConsole& console) {
    PanelIdentity id;
    link.Session().GetIdentity(id);
    const BackupFileCheck check = LoadBackupFile(command.file, id.deviceType);
    if (!check.backup) {
        return FileFault(console, check);
    }
    const std::optional<ParameterBackup> panel = link.ReadSet();
    if (!panel) {
        return backup_exit::kNoAnswer;
    }
    PrintPanel(console.out, panel->panel);
    const std::vector<CompareRow> rows = CompareSets(*panel, *check.backup);
    PrintDifferences(console.out, rows);
    const std::size_t count = DifferingCodes(rows).size();
    if (count == 0) {
        std::fprintf(console.out, "Panel ma wszystkie wartości z pliku.\n");
        return backup_exit::kOk;
    }
    std::fprintf(console.out, "Różnice: %zu\n", count);
    if (command.action == BackupAction::kCompare) {
        return backup_exit::kDifferent;
    }
    if (!command.yes) {
        if (!console.terminal) {
            std::fprintf(console.err,
                         "tk358: Bez terminala zapis wymaga opcji --yes; nic nie "
                         "zapisano\n");
            return backup_exit::kDeclined;
        }
        if (!Confirmed(console, count)) {
            std::fprintf(console.out, "Nic nie zapisano.\n");
            return backup_exit::kDeclined;
        }
    }
    return Restore(link, *check.backup, rows, console);
}

}  // namespace

int ParsePortName(const std::string& text) {
    std::string digits = text;
    if (digits.size() > 3 && (digits.rfind("COM", 0) == 0 || digits.rfind("com", 0) == 0)) {
        digits.erase(0, 3);
    }
    if (digits.empty() || digits.size() > 6 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    return std::stoi(digits);
}

int RunBackupCommand(const BackupCommand& command, PanelConnection& session,
                     const BackupConsole& console) {
    if (command.action != BackupAction::kBackup) {
        // A damaged file is told before any traffic on the line; a sound one
        // for another kind of panel once the panel is known.
        const BackupFileCheck check = LoadBackupFile(command.file, std::nullopt);
        if (!check.backup) {
            return FileFault(console, check);
        }
    }
    Connection link(session, console);
    if (const int status = link.Open(command.port); status != backup_exit::kOk) {
        return status;
    }
    return command.action == BackupAction::kBackup ? Backup(link, command, console)
                                                   : CompareOrRestore(link, command, console);
}

}  // namespace tk358
