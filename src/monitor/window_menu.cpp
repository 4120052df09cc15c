#include "monitor/window_menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <initializer_list>

namespace tk358 {

namespace {

struct Item {
    MenuCommand command;
    const char* text;
    bool checkable = false;
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
    const std::initializer_list<Menu> menus = {
        {"Program", {{MenuCommand::kClose, "Zamknij"}}},
        {"Widok",
         {{MenuCommand::kColours, "Kolory"},
          {MenuCommand::kFonts, "Czcionki"},
          {MenuCommand::kTopmost, "Zawsze na wierzchu", true},
          {MenuCommand::kShowService, "Pokaż parametry serwisowe", true},
          {MenuCommand::kTrend, "Wykres"}}},
        {"Ustawienia",
         {{MenuCommand::kPort, "Port szeregowy"},
          {MenuCommand::kLogSetup, "Rejestracja do pliku"}}},
        {"Panel",
         {{MenuCommand::kPanelInfo, "Informacje"},
          {MenuCommand::kSetpoint, "Wartość zadana"},
          {MenuCommand::kRegulation, "Parametry regulacji"},
          {MenuCommand::kPid, "Parametry PID"},
          {MenuCommand::kCv, "Ustawienia CV"},
          {MenuCommand::kClock, "Ustawienia czasu"},
          {MenuCommand::kSaveParameters, "Zapisz parametry do pliku..."},
          {MenuCommand::kLoadParameters, "Wczytaj parametry z pliku..."}}},
        {"Pomoc", {{MenuCommand::kHelp, "Pomoc"}, {MenuCommand::kAbout, "O programie"}}},
    };
    for (const Menu& menu : menus) {
        QMenu* m = bar->addMenu(QString::fromUtf8(menu.title));
        for (const Item& item : menu.items) {
            QAction* action = m->addAction(QString::fromUtf8(item.text));
            action->setData(static_cast<int>(item.command));
            action->setCheckable(item.checkable);
            actions_[IndexOf(item.command)] = action;
        }
    }
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
