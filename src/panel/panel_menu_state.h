// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which items of the "Panel" menu are enabled for the attached panel.
// "Informacje" and "Parametry regulacji" are always enabled.

namespace tk358 {

struct PanelMenuState {
    bool pid = true;       // "Parametry PID"
    bool cv = true;        // "Ustawienia CV"
    bool setpoint = true;  // "Wartość zadana"
    bool clock = true;     // "Ustawienia czasu"
    // "Zapisz parametry do pliku...", "Wczytaj parametry z pliku...": a panel of a known kind.
    bool parameterFile = true;

    friend bool operator==(const PanelMenuState&, const PanelMenuState&) = default;
};

// `clockUsable`: the panel clock reading is valid and the clock is enabled.
PanelMenuState PanelMenuFor(int deviceType, bool clockUsable);

// Remembers what the menu state was last applied for, so that it is set
// again only when the device type or the clock's usability changes. Until the
// first change the menu stays as built (all enabled).
class PanelMenuTracker {
public:
    // True (and remembers the pair) when it differs from the last one.
    bool Update(int deviceType, bool clockUsable);

private:
    int lastDeviceType_ = 5;
    bool lastClockUsable_ = false;
};

}  // namespace tk358
