#pragma once

// The dialogs and the measurement log as the main window reaches them. Each
// slot is filled where its dialog or flow is built (src/app wires them at
// start); an empty slot makes its command do nothing. Every dialog runs
// modally on the window's thread while the window's timers keep running.

#include <functional>
#include <optional>

#include "dialogs/message_box.h"
#include "dialogs/param_dialog_choice.h"
#include "link/panel_access.h"
#include "monitor/status_text.h"

class QWidget;

namespace tk358 {

struct WindowHooks {
    // "Ustawienia" -> "Port szeregowy": the port list preset to `current`
    // (0: none). The chosen port number, or nothing when cancelled. The window
    // then opens the port and repeats the choice when that fails.
    std::function<std::optional<int>(QWidget* parent, int current)> choosePort;

    // The commands of the "Panel" menu. Each decides what the attached panel
    // allows, shows its refusal through `messages` or runs its dialog.
    using PanelCommand =
        std::function<void(QWidget* parent, PanelAccess& panel, MessageSink& messages)>;
    PanelCommand panelInfo;  // "Informacje"
    PanelCommand setpoint;   // "Wartość zadana"
    PanelCommand pid;        // "Parametry PID"
    PanelCommand cv;         // "Ustawienia CV"
    PanelCommand clock;      // "Ustawienia czasu"
    // "Parametry regulacji": the window has refused already when the panel
    // allows no dialog; `choice` says which one to run.
    std::function<void(QWidget* parent, PanelAccess& panel, MessageSink& messages,
                       const ParamDialogChoice& choice)>
        regulation;
    // "Pomoc" -> "Pomoc" and "O programie".
    std::function<void(QWidget* parent)> help;
    std::function<void(QWidget* parent)> about;
    // "Widok" -> "Wykres": opens the trend window, or raises it when open.
    std::function<void(QWidget* parent)> trend;

    // The measurement log. `logStart` runs once, six seconds after start (it
    // opens the configured file); `logSetup` is "Ustawienia" -> "Rejestracja do
    // pliku"; `loggingState` tells the status line whether lines are being
    // written and how often.
    std::function<void(QWidget* parent)> logStart;
    std::function<void(QWidget* parent)> logSetup;
    std::function<LoggingState()> loggingState;
};

}  // namespace tk358
