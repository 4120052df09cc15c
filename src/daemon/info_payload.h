// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The retained info message: which panel is on the line, as the panel
// information dialog tells it, plus the port and the program's version.
//
//   {"name":"com3","port":"COM3","program":"tk358d 1.0.0","identified":true,
//    "kind":3,"model":"TK-358D","serial":3105,"firmware":"1.07",
//    "hardwareVariant":5,"probe":{"serial":6699,"calibration":"2011-03",
//    "calibrationError":false}}

#include <string>

#include "link/records.h"

namespace tk358 {

struct InfoSource {
    std::string name;  // the panel's name in the topics
    std::string port;  // "COM3", or "demo"
    PanelIdentity identity;
    PanelInfo info;  // the probe part is null until it is valid
};

std::string BuildInfoPayload(const InfoSource& source);

}  // namespace tk358
