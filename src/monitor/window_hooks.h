#pragma once

// The dialogs and the measurement log as the main window reaches them. Each
// slot is filled where its dialog or flow is built (src/app wires them at
// start); an empty slot makes its command do nothing. Every dialog runs
// modally on the window's thread while the window's timers keep running.

#include <functional>
#include <optional>

#include "link/panel_access.h"
#include "monitor/panel_command_rules.h"
#include "monitor/status_text.h"

class QWidget;

namespace tk358 {

struct WindowHooks {
    // "Ustawienia" -> "Port szeregowy": the port list preset to `current`
    // (0: none). The chosen port number, or nothing when cancelled. The window
    // then opens the port and repeats the choice when that fails.
    std::function<std::optional<int>(QWidget* parent, int current)> choosePort;

    // "Panel" -> "Informacje", with the panel information just read and the
    // identity.
    std::function<void(QWidget* parent, const PanelInfo& info, const PanelIdentity& identity)>
        panelInfo;
    // "Panel" -> "Wartość zadana".
    std::function<void(QWidget* parent, PanelAccess& panel, SetpointDialog dialog)> setpoint;
    // "Panel" -> "Parametry regulacji", when not refused.
    std::function<void(QWidget* parent, PanelAccess& panel, RegulationChoice choice)> regulation;
    // "Panel" -> "Parametry PID" on the dual-zone controller: the zone (0 or 1),
    // or nothing when cancelled.
    std::function<std::optional<int>(QWidget* parent)> chooseZone;
    // "Panel" -> "Parametry PID" for `zone` (0 on single-zone panels).
    std::function<void(QWidget* parent, PanelAccess& panel, int zone)> pid;
    // "Panel" -> "Ustawienia CV".
    std::function<void(QWidget* parent, PanelAccess& panel)> cv;
    // "Panel" -> "Ustawienia czasu".
    std::function<void(QWidget* parent, PanelAccess& panel)> clock;
    // "Pomoc" -> "Pomoc" and "O programie".
    std::function<void(QWidget* parent)> help;
    std::function<void(QWidget* parent)> about;

    // The measurement log. `logStart` runs once, six seconds after start (it
    // opens the configured file); `logSetup` is "Ustawienia" -> "Rejestracja do
    // pliku"; `loggingState` tells the status line whether lines are being
    // written and how often.
    std::function<void(QWidget* parent)> logStart;
    std::function<void(QWidget* parent)> logSetup;
    std::function<LoggingState()> loggingState;
};

}  // namespace tk358
