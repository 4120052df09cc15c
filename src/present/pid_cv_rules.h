// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Rules of the "Parametry PID" and "Ustawienia CV" dialogs that need no
// widget; their fields' bounds and messages are in regulation_fields.h.

#include "link/parameter_set.h"
#include "link/records.h"

namespace tk358 {

// The PID values can be shown and written: the panel is a temperature or a
// dual-zone controller and the parameters of its own kind have been read
// completely (a completion left from another kind would show values never
// read from this panel).
bool PidReadable(int deviceType, const ParameterSet& parameters);

// CV and its lock exist on an identified temperature or dual-zone controller
// whose regulator state has been received.
bool CvReadable(const PanelIdentity& identity, const RegulatorState& regulator);

}  // namespace tk358
