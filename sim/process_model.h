// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The live process behind a simulated panel: a temperature that heats and
// cools, the regulator of kinds 0, 1 and 3, the valve actuator, the drain
// valve, the fans of the ventilation controller, the relays of the threshold
// regulator and the zone that follows the panel clock. Deterministic: it moves
// only when stepped.

#include <cstdint>

#include "sim/parameter_table.h"

namespace tk358::sim {

struct RegulatorValues {
    double error = 0.0;         // E = SP - PV, °C
    double processValue = 0.0;  // PV, °C
    double controlValue = 0.0;  // CV, %
    double pTerm = 0.0;
    double iTerm = 0.0;
    double dTerm = 0.0;
    double pvDerivative1 = 0.0;  // °C/s
    double pvDerivative2 = 0.0;  // °C/s²
    int loopPeriod = 10;         // in 100 ms units
};

struct ValveValues {
    double position = 0.0;  // %
    int32_t timer1 = 0;     // tenths of a second since the motor last stopped
    int32_t timer2 = 0;     // tenths of a second the current command runs
    int command = 3;        // 1 open, 2 close, 3 correct, 4 break
    bool motorRunning = false;
    bool opening = false;
    int32_t commandValue = 0;  // planned movement, tenths of a second
};

// Drain-valve states as the program names them.
enum DrainState : int {
    kDrainInit = 0,
    kDrainNoControl = 1,
    kDrainRequest = 2,
    kDrainInDrop = 3,
    kDrainTempUnder = 4,
    kDrainWait = 5,
    kDrainOk = 6,
};

struct DrainValues {
    int32_t timer1 = 0;  // tenths of a second left of the drain
    int32_t timer2 = 0;  // tenths of a second left of the closing delay
    int state = kDrainInit;
    bool valveOpen = false;
};

struct VentilationValues {
    uint8_t virtualFans = 0;  // what the thresholds ask for, bit 0 fan 1, bit 1 fan 2
    uint8_t fans = 0;         // outputs: thresholds or airing, limited to the fitted fans
    int32_t timeCounter = 0;  // seconds since power-on
    int32_t periodStart = 0;  // time counter at the start of the current airing period
};

struct RelayValues {
    bool relay1 = false;
    bool relay2 = false;
    uint32_t loopPeriod = 10;  // tenths of a second
};

// Everything the status lines report.
struct ProcessValues {
    double temperature = 20.0;  // °C
    int32_t setpoint = 0;       // active set point, 0.01 °C
    uint8_t zone = 0;           // 0 first zone or day set, 1 second or night
    RegulatorValues regulator;
    ValveValues valve;
    DrainValues drain;
    VentilationValues ventilation;
    RelayValues relays;
};

// Inputs the engine owns and the process reads on each step.
struct ProcessInputs {
    const ParameterStore* parameters = nullptr;
    uint32_t clockSeconds = 0;  // panel clock
    bool zonesByClock = true;   // threshold regulator with day and night sets
    bool cvLock = false;        // CV held at the value last written
};

class ProcessModel {
public:
    explicit ProcessModel(int kind);

    // Advances by `seconds` (the engine steps in 100 ms slices). A step of 0
    // only brings the zone and the active set point up to date.
    void Step(double seconds, const ProcessInputs& in);

    // A "028400" write: the regulator output, held while the CV lock is on.
    void SetControlValue(double cv);
    // For tests and the operator: put the temperature somewhere.
    void SetTemperature(double celsius);

    const ProcessValues& Values() const { return values_; }

private:
    void UpdateZone(const ProcessInputs& in);
    void StepRegulator(double dt, const ProcessInputs& in);
    void StepValve(double dt, const ParameterStore& p);
    void StepDrain(double dt, const ParameterStore& p);
    void StepVentilation(double dt, const ParameterStore& p);
    void StepRelays(const ParameterStore& p);
    void StepTemperature(double dt);

    int kind_;
    ProcessValues values_;
    double loopClock_ = 0.0;  // seconds since the last regulator pass
    double lastPv_ = 0.0;
    double lastDerivative_ = 0.0;
    double standstill_ = 1e9;   // seconds since the valve motor stopped
    double commandTime_ = 0.0;  // seconds the current valve command runs
    double stateTime_ = 0.0;    // seconds in the current drain state
    double secondsCounter_ = 0.0;
};

}  // namespace tk358::sim
