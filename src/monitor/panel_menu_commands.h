#pragma once

// The commands of the "Panel" menu: each checks what the attached panel
// allows, shows the refusal message or opens its dialog through the hooks.

#include "dialogs/message_box.h"
#include "link/panel_access.h"
#include "monitor/readings_snapshot.h"
#include "monitor/window_hooks.h"

class QWidget;

namespace tk358 {

struct PanelCommandContext {
    QWidget* parent = nullptr;
    PanelAccess& panel;
    const WindowHooks& hooks;
    MessageSink& messages;
    const ReadingsSnapshot& readings;  // the window's copy of the last tick
};

void RunPanelInformation(const PanelCommandContext& c);
void RunSetpointCommand(const PanelCommandContext& c);
void RunRegulationCommand(const PanelCommandContext& c);
void RunPidCommand(const PanelCommandContext& c);
void RunCvCommand(const PanelCommandContext& c);
void RunClockCommand(const PanelCommandContext& c);

}  // namespace tk358
