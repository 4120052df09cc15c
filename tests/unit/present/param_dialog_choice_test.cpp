// SPDX-License-Identifier: GPL-3.0-or-later
// Which "Parametry regulacji" dialog opens for the attached panel.

#include "present/param_dialog_choice.h"

#include <gtest/gtest.h>

#include <ostream>

namespace tk358 {
namespace {

struct ChoiceCase {
    const char* name;
    uint8_t identified;
    uint8_t deviceType;
    int32_t firmware;
    uint8_t clockValid;
    uint8_t clockEnabled;
    ParamDialog dialog;
    bool channelChoice;
};

void PrintTo(const ChoiceCase& c, std::ostream* os) {
    *os << c.name;
}

class ParamDialogChoiceTest : public testing::TestWithParam<ChoiceCase> {};

TEST_P(ParamDialogChoiceTest, PicksTheDialogOfThePanelKind) {
    const ChoiceCase& c = GetParam();
    PanelIdentity identity;
    identity.identified = c.identified;
    identity.deviceType = c.deviceType;
    identity.firmwareVersion = c.firmware;
    PanelClock clock;
    clock.valid = c.clockValid;
    clock.clockEnabled = c.clockEnabled;

    const ParamDialogChoice choice = ChooseParamDialog(identity, clock);
    EXPECT_EQ(choice.dialog, c.dialog);
    if (c.dialog == ParamDialog::ParamC) {
        EXPECT_EQ(choice.channelChoice, c.channelChoice);
    }
}

using D = ParamDialog;
INSTANTIATE_TEST_SUITE_P(
    Kinds, ParamDialogChoiceTest,
    testing::Values(ChoiceCase{"NotIdentified", 0, 0, 105, 1, 1, D::None, true},
                    ChoiceCase{"NotIdentifiedThreshold", 0, 4, 105, 1, 0, D::None, true},
                    // The clock matters only to the threshold regulator.
                    ChoiceCase{"Temperature", 1, 0, 105, 0, 0, D::Param, true},
                    ChoiceCase{"DrainValve", 1, 1, 105, 0, 0, D::ParamZ, true},
                    ChoiceCase{"Ventilation", 1, 2, 105, 0, 0, D::ParamA, true},
                    ChoiceCase{"DualZone", 1, 3, 105, 0, 1, D::Param, true},
                    ChoiceCase{"ThresholdClockNotRead", 1, 4, 105, 0, 1, D::None, true},
                    ChoiceCase{"ThresholdClockEnabled", 1, 4, 105, 1, 1, D::ParamCTime, true},
                    ChoiceCase{"ThresholdClockDisabled", 1, 4, 101, 1, 0, D::ParamC, true},
                    ChoiceCase{"ThresholdOldFirmware", 1, 4, 100, 1, 0, D::ParamC, false},
                    ChoiceCase{"Unknown", 1, 5, 105, 1, 1, D::None, true},
                    ChoiceCase{"BeyondKnownKinds", 1, 200, 105, 1, 1, D::None, true}),
    [](const testing::TestParamInfo<ChoiceCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace tk358
