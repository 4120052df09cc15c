#include "monitor/panel_menu_commands.h"

#include <QString>

namespace tk358 {

namespace {

void Tell(const PanelCommandContext& c, const char* text) {
    c.messages.Show(c.parent, MessageIcon::Warning, QString::fromUtf8(text));
}

}  // namespace

void RunPanelInformation(const PanelCommandContext& c) {
    PanelInfo info;
    if (c.panel.GetPanelInfo(info) != kStatusOk) {
        Tell(c, kCannotReadPanelInfoMessage);
        return;
    }
    PanelIdentity identity;
    c.panel.GetIdentity(identity);
    if (c.hooks.panelInfo) {
        c.hooks.panelInfo(c.parent, info, identity);
    }
}

void RunSetpointCommand(const PanelCommandContext& c) {
    if (c.hooks.setpoint) {
        c.hooks.setpoint(c.parent, c.panel, ChooseSetpointDialog(c.readings.identity.deviceType));
    }
}

void RunRegulationCommand(const PanelCommandContext& c) {
    const RegulationChoice choice = ChooseRegulationDialog(c.readings.identity, c.readings.clock);
    if (choice.dialog == RegulationDialog::kRefused) {
        Tell(c, kCannotReadRegulationMessage);
        return;
    }
    if (c.hooks.regulation) {
        c.hooks.regulation(c.parent, c.panel, choice);
    }
}

void RunPidCommand(const PanelCommandContext& c) {
    int zone = 0;
    switch (ChoosePidStart(c.readings.identity)) {
        case PidStart::kNothing:
            return;
        case PidStart::kChooseZone: {
            const std::optional<int> chosen =
                c.hooks.chooseZone ? c.hooks.chooseZone(c.parent) : std::nullopt;
            if (!chosen) {
                return;
            }
            zone = *chosen;
            break;
        }
        case PidStart::kDirect:
            break;
    }
    if (c.hooks.pid) {
        c.hooks.pid(c.parent, c.panel, zone);
    }
}

void RunCvCommand(const PanelCommandContext& c) {
    if (c.hooks.cv) {
        c.hooks.cv(c.parent, c.panel);
    }
}

void RunClockCommand(const PanelCommandContext& c) {
    if (c.hooks.clock) {
        c.hooks.clock(c.parent, c.panel);
    }
}

}  // namespace tk358
