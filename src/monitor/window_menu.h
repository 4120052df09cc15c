// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window's menu bar: its items in order, each action carrying its
// command number as data.

#include <array>

#include "panel/panel_menu_state.h"

class QAction;
class QMenuBar;

namespace tk358 {

enum class MenuCommand {
    kClose = 32771,           // "Program" -> "Zamknij"
    kColours = 32772,         // "Widok" -> "Kolory"
    kFonts = 32773,           // "Widok" -> "Czcionki"
    kTopmost = 32785,         // "Widok" -> "Zawsze na wierzchu"
    kShowService = 32784,     // "Widok" -> "Pokaż parametry serwisowe"
    kTrend = 32800,           // "Widok" -> "Wykres"
    kPort = 32775,            // "Ustawienia" -> "Port szeregowy"
    kLogSetup = 32776,        // "Ustawienia" -> "Rejestracja do pliku"
    kPanelInfo = 32781,       // "Panel" -> "Informacje"
    kSetpoint = 32788,        // "Panel" -> "Wartość zadana"
    kRegulation = 32790,      // "Panel" -> "Parametry regulacji"
    kPid = 32792,             // "Panel" -> "Parametry PID"
    kCv = 32798,              // "Panel" -> "Ustawienia CV"
    kClock = 32796,           // "Panel" -> "Ustawienia czasu"
    kSaveParameters = 32801,  // "Panel" -> "Zapisz parametry do pliku..."
    kLoadParameters = 32802,  // "Panel" -> "Wczytaj parametry z pliku..."
    kHelp = 32778,            // "Pomoc" -> "Pomoc"
    kAbout = 32779,           // "Pomoc" -> "O programie"
};

inline constexpr std::array<MenuCommand, 18> kAllMenuCommands = {
    MenuCommand::kClose,
    MenuCommand::kColours,
    MenuCommand::kFonts,
    MenuCommand::kTopmost,
    MenuCommand::kShowService,
    MenuCommand::kTrend,
    MenuCommand::kPort,
    MenuCommand::kLogSetup,
    MenuCommand::kPanelInfo,
    MenuCommand::kSetpoint,
    MenuCommand::kRegulation,
    MenuCommand::kPid,
    MenuCommand::kCv,
    MenuCommand::kClock,
    MenuCommand::kSaveParameters,
    MenuCommand::kLoadParameters,
    MenuCommand::kHelp,
    MenuCommand::kAbout,
};

class WindowMenu {
public:
    // Fills `bar` with "Program", "Widok", "Ustawienia", "Panel" and "Pomoc".
    explicit WindowMenu(QMenuBar* bar);

    QAction* Action(MenuCommand command) const;

    // Enables or greys the panel items that depend on the panel kind.
    void ApplyPanelState(const PanelMenuState& state) const;

private:
    std::array<QAction*, kAllMenuCommands.size()> actions_{};
};

}  // namespace tk358
