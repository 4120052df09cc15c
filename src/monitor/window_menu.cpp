// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/window_menu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <algorithm>
#include <initializer_list>

namespace tk358 {

namespace {

struct Item {
    MenuCommand command;
    const char* text;  // with its mnemonic
    bool checkable = false;
    QKeySequence shortcut = {};
};

struct Menu {
    const char* title;
    std::initializer_list<Item> items;
};

std::size_t IndexOf(MenuCommand command) {
    const auto* it = std::find(kAllMenuCommands.begin(), kAllMenuCommands.end(), command);
    return static_cast<std::size_t>(it - kAllMenuCommands.begin());
}

}  // namespace

WindowMenu::WindowMenu(QMenuBar* bar) {
    // Every menu and item has a mnemonic of its own within its menu. "Panel"
    // leaves Z and W free for the saving and loading of parameter files.
    const std::initializer_list<Menu> menus = {
        {"&Program",
         {{MenuCommand::kClose, "&Zamknij", false, QKeySequence(Qt::CTRL | Qt::Key_Q)}}},
        {"&Widok",
         {{MenuCommand::kColours, "&Kolory"},
          {MenuCommand::kFonts, "&Czcionki"},
          {MenuCommand::kTopmost, "&Zawsze na wierzchu", true},
          {MenuCommand::kShowService, "&Pokaż parametry serwisowe", true},
          {MenuCommand::kTrend, "&Wykres"}}},
        {"&Ustawienia",
         {{MenuCommand::kPort, "&Port szeregowy"},
          {MenuCommand::kLogSetup, "&Rejestracja do pliku"}}},
        {"P&anel",
         {{MenuCommand::kPanelInfo, "&Informacje"},
          {MenuCommand::kSetpoint, "W&artość zadana"},
          {MenuCommand::kRegulation, "Parametry &regulacji"},
          {MenuCommand::kPid, "Parametry &PID"},
          {MenuCommand::kCv, "Ustawienia &CV"},
          {MenuCommand::kClock, "&Ustawienia czasu"},
          {MenuCommand::kSaveParameters, "&Zapisz parametry do pliku..."},
          {MenuCommand::kLoadParameters, "&Wczytaj parametry z pliku..."}}},
        {"Pomo&c",
         {{MenuCommand::kHelp, "&Pomoc", false, QKeySequence(Qt::Key_F1)},
          {MenuCommand::kAbout, "&O programie"}}},
    };
    for (const Menu& menu : menus) {
        QMenu* m = bar->addMenu(QString::fromUtf8(menu.title));
        for (const Item& item : menu.items) {
            QAction* action = m->addAction(QString::fromUtf8(item.text));
            action->setData(static_cast<int>(item.command));
            action->setCheckable(item.checkable);
            action->setShortcut(item.shortcut);
            actions_[IndexOf(item.command)] = action;
        }
    }
    // F10 opens the first menu, as on the other desktops' programs; Qt's menu
    // bar knows the Alt keys but not this one.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), bar);
    QObject::connect(f10, &QShortcut::activated, bar, [bar] {
        if (!bar->actions().isEmpty()) {
            bar->setActiveAction(bar->actions().constFirst());
        }
    });
}

QAction* WindowMenu::Action(MenuCommand command) const {
    return actions_[IndexOf(command)];
}

void WindowMenu::ApplyPanelState(const PanelMenuState& state) const {
    Action(MenuCommand::kPid)->setEnabled(state.pid);
    Action(MenuCommand::kCv)->setEnabled(state.cv);
    Action(MenuCommand::kSetpoint)->setEnabled(state.setpoint);
    Action(MenuCommand::kClock)->setEnabled(state.clock);
    Action(MenuCommand::kSaveParameters)->setEnabled(state.parameterFile);
    Action(MenuCommand::kLoadParameters)->setEnabled(state.parameterFile);
}

}  // namespace tk358
