#include "monitor/panel_command_rules.h"

#include <gtest/gtest.h>

namespace tk358 {
namespace {

TEST(PanelCommandRulesTest, RegulationDialogByPanel) {
    using D = RegulationDialog;
    struct Case {
        bool identified;
        uint8_t type;
        int firmware;
        uint8_t clockValid;
        uint8_t clockEnabled;
        RegulationChoice expected;
    };
    const Case cases[] = {
        {false, kTemperatureController, 105, 1, 1, {D::kRefused, true}},
        {true, kTemperatureController, 105, 0, 0, {D::kValve, true}},
        {true, kDualZoneController, 105, 0, 0, {D::kValve, true}},
        {true, kDrainValveController, 105, 0, 0, {D::kDrainValve, true}},
        {true, kVentilationController, 105, 0, 0, {D::kVentilation, true}},
        {true, kThresholdRegulator, 105, 0, 1, {D::kRefused, true}},
        {true, kThresholdRegulator, 105, 1, 1, {D::kThresholdClock, true}},
        {true, kThresholdRegulator, 101, 1, 0, {D::kThresholdPlain, true}},
        {true, kThresholdRegulator, 100, 1, 0, {D::kThresholdPlain, false}},
        {true, kUnknownDevice, 105, 1, 1, {D::kRefused, true}},
    };
    for (const Case& c : cases) {
        PanelIdentity id;
        id.identified = c.identified ? 1 : 0;
        id.deviceType = c.type;
        id.firmwareVersion = c.firmware;
        PanelClock clock;
        clock.valid = c.clockValid;
        clock.clockEnabled = c.clockEnabled;
        EXPECT_EQ(ChooseRegulationDialog(id, clock), c.expected)
            << "type " << int(c.type) << " firmware " << c.firmware;
    }
}

}  // namespace
}  // namespace tk358
