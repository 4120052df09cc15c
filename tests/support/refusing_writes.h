#pragma once

// A test panel's write operations that all report failure; a fake derives
// from RefusingWrites<PanelAccess or PanelConnection> and overrides the
// writes it plays.

#include "link/panel_access.h"

namespace tk358::test {

template <typename Base>
class RefusingWrites : public Base {
public:
    int WriteSetpoint(int, int) override { return kStatusFailed; }
    int WriteSetpointTime(int, int) override { return kStatusFailed; }
    int WritePidParameters(int, int, int, int, int) override { return kStatusFailed; }
    int WriteRegulationParameters(int, int, int, int, int, int, int) override {
        return kStatusFailed;
    }
    int WriteDrainValveParameters(int, int, int) override { return kStatusFailed; }
    int WriteVentilationParameters(int, int, int, int, int, int, int, int, int) override {
        return kStatusFailed;
    }
    int WriteThresholdParameters(int, int, int, int, int) override { return kStatusFailed; }
    int WriteThresholdTimeParameters(int, int, int, int, int, int, int, int, int, int, int, int,
                                     int) override {
        return kStatusFailed;
    }
    int WriteCvSettings(double, int) override { return kStatusFailed; }
    int SetPanelClock(const SystemTime&) override { return kStatusFailed; }
};

}  // namespace tk358::test
