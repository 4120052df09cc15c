#pragma once

// Which dialog "Panel" -> "Parametry regulacji" opens for the attached panel,
// and when it refuses with a message instead.

#include "link/records.h"

namespace tk358 {

inline constexpr char kCannotReadRegulationMessage[] = "Nie można odczytać parametrów regulacji";

// "Parametry regulacji", by the panel kind.
enum class RegulationDialog {
    kRefused,         // the message kCannotReadRegulationMessage, no dialog
    kValve,           // temperature and dual-zone controllers (CParamDlg)
    kDrainValve,      // CParamZDlg
    kVentilation,     // CParamADlg
    kThresholdClock,  // threshold regulator with its clock on (CParamCTimeDlg)
    kThresholdPlain,  // threshold regulator with its clock off (CParamCDlg)
};

struct RegulationChoice {
    RegulationDialog dialog = RegulationDialog::kRefused;
    // kThresholdPlain: whether the number of active channels may be chosen
    // (not on firmware 1.00 and earlier).
    bool channelChoice = true;

    friend bool operator==(const RegulationChoice&, const RegulationChoice&) = default;
};

// Refused when the panel is not identified, for a threshold regulator whose
// clock reading is not valid, and for kinds above the threshold regulator.
RegulationChoice ChooseRegulationDialog(const PanelIdentity& identity, const PanelClock& clock);

}  // namespace tk358
