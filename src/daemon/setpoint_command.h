// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The command topics: what a message on <base>/set/<command> asks for, and
// the result message published on <base>/result/<command>. Writing stays off
// unless tk358d was started with --allow-setpoint-writes; a set point is
// checked against the set-point dialog's bounds before anything reaches the
// panel.

#include <optional>
#include <string>
#include <string_view>

#include "link/panel_access.h"

namespace tk358 {

// The commands, named as the state message names the values they write:
// "setpoint" (the panels whose set-point dialog has one set point),
// "zone1Setpoint" and "zone2Setpoint" (the dual-zone controller).
struct SetpointRequest {
    std::string command;
    std::string text;  // the payload as received
    int index = 0;     // of the session's write: 1 for zone 2, else 0
    int hundredths = 0;
};

struct CommandDecision {
    enum class Kind {
        kIgnore,  // not a command: logged, no result
        kRefuse,  // refused: the result says why
        kWrite,   // to be written
    };
    Kind kind = Kind::kIgnore;
    std::string reason;  // for kIgnore and kRefuse (Polish)
    SetpointRequest request;
};

// `command` is the topic below <base>/set/. A retained command is never
// carried out: it would be carried out again after every reconnection.
CommandDecision DecideCommand(std::string_view command, std::string_view payload, bool retained,
                              bool writesAllowed);

// A set point in °C as text ("21.5", "-3", "21,5", blanks around), in
// hundredths truncated toward zero as the set-point dialog reads it; nothing
// when the text is not one number.
std::optional<int> ParseSetpointPayload(std::string_view payload);

// Whether the panel can take the request now: the link is up and the
// window's set-point dialog writes that value for the panel's kind. Empty
// when it can, else the reason.
std::string CheckPanelFor(const SetpointRequest& request, const PanelAccess& panel);

// Writes the request through the session's write operation (blocking) and
// tells the result; empty when written.
std::string WriteSetpointRequest(const SetpointRequest& request, PanelAccess& panel);

// {"request":"21.5","ok":true,"setpoint":21.5} or
// {"request":"abc","ok":false,"error":"..."}.
std::string BuildResultPayload(const SetpointRequest& request, const std::string& error);

}  // namespace tk358
