// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/process_model.h"

#include <algorithm>
#include <cmath>

#include "sim/panel_calendar.h"
#include "sim/sim_config.h"

namespace tk358::sim {

namespace {

// Starting temperature and valve position of each kind, so the displays show
// something moving from the first second.
constexpr double kStartTemperature[kKindCount] = {40.0, 38.0, 26.0, 19.5, 19.0};
constexpr double kStartValve[kKindCount] = {30.0, 0.0, 0.0, 45.0, 0.0};

// True when `step` (10-minute steps since midnight) lies in [from, to), the
// window running over midnight when `to` is before `from`.
bool InWindow(int step, int from, int to) {
    if (from == to) {
        return true;
    }
    if (from < to) {
        return step >= from && step < to;
    }
    return step >= from || step < to;
}

double Tenths(const ParameterStore& p, int code) {
    return static_cast<double>(p.Get(code)) / 10.0;
}

// Moves `value` toward `target` with time constant `tau`.
double Approach(double value, double target, double dt, double tau) {
    return value + (target - value) * std::min(1.0, dt / tau);
}

}  // namespace

ProcessModel::ProcessModel(int kind) : kind_(std::clamp(kind, 0, kKindCount - 1)) {
    values_.temperature = kStartTemperature[kind_];
    values_.valve.position = kStartValve[kind_];
    values_.regulator.processValue = values_.temperature;
    values_.regulator.controlValue = values_.valve.position;
    values_.regulator.iTerm = values_.valve.position;
    lastPv_ = values_.temperature;
}

void ProcessModel::SetControlValue(double cv) {
    values_.regulator.controlValue = std::clamp(cv, -100.0, 100.0);
    values_.regulator.iTerm = std::clamp(cv, 0.0, 100.0);
}

void ProcessModel::SetTemperature(double celsius) {
    values_.temperature = celsius;
}

void ProcessModel::Step(double seconds, const ProcessInputs& in) {
    if (in.parameters == nullptr) {
        return;
    }
    UpdateZone(in);
    if (seconds <= 0.0) {
        return;
    }
    const ParameterStore& p = *in.parameters;
    switch (kind_) {
        case kKindTemperature:
        case kKindDualZone:
            StepRegulator(seconds, in);
            StepValve(seconds, p);
            break;
        case kKindDrainValve:
            StepDrain(seconds, p);
            StepRegulator(seconds, in);
            break;
        case kKindVentilation:
            StepVentilation(seconds, p);
            break;
        default:
            StepRelays(p);
            break;
    }
    StepTemperature(seconds);
}

void ProcessModel::UpdateZone(const ProcessInputs& in) {
    const ParameterStore& p = *in.parameters;
    const int step = static_cast<int>(SecondOfDay(in.clockSeconds) / 600);
    if (kind_ == kKindDualZone) {
        values_.zone =
            InWindow(step, static_cast<int>(p.Get(138)), static_cast<int>(p.Get(139))) ? 0 : 1;
        values_.setpoint = static_cast<int32_t>(p.Get(values_.zone == 0 ? 132 : 137));
    } else if (kind_ == kKindThreshold) {
        const bool day = !in.zonesByClock ||
                         InWindow(step, static_cast<int>(p.Get(95)), static_cast<int>(p.Get(164)));
        values_.zone = day ? 0 : 1;
    } else if (kind_ == kKindTemperature || kind_ == kKindDrainValve) {
        values_.setpoint = static_cast<int32_t>(p.Get(0));
    }
}

void ProcessModel::StepRegulator(double dt, const ProcessInputs& in) {
    RegulatorValues& r = values_.regulator;
    const double period = r.loopPeriod / 10.0;
    loopClock_ += dt;
    if (loopClock_ + 1e-9 < period) {
        return;
    }
    loopClock_ = 0.0;
    const ParameterStore& p = *in.parameters;
    const double pv = values_.temperature;
    const double sp = values_.setpoint / 100.0;
    const bool reverse = kind_ == kKindDualZone && p.Get(146) != 0;
    r.processValue = pv;
    r.error = reverse ? pv - sp : sp - pv;
    const double d1 = (pv - lastPv_) / period;
    r.pvDerivative2 = (d1 - lastDerivative_) / period;
    r.pvDerivative1 = d1;
    lastPv_ = pv;
    lastDerivative_ = d1;
    if (kind_ == kKindDrainValve) {
        r.controlValue = values_.drain.valveOpen ? 100.0 : 0.0;
        return;
    }
    const bool zone2 = kind_ == kKindDualZone && values_.zone != 0;
    const int base = kind_ == kKindDualZone ? (zone2 ? 133 : 128) : 0;
    const double kp = Tenths(p, kind_ == kKindDualZone ? base : 1);
    const double ti = static_cast<double>(p.Get(kind_ == kKindDualZone ? base + 1 : 6));
    const double td = static_cast<double>(p.Get(kind_ == kKindDualZone ? base + 2 : 7));
    r.pTerm = kp * r.error;
    if (ti > 0.0 && !in.cvLock) {
        r.iTerm = std::clamp(r.iTerm + kp * r.error * period / ti, 0.0, 100.0);
    }
    r.dTerm = (reverse ? 1.0 : -1.0) * kp * td * d1;
    if (!in.cvLock) {
        r.controlValue = std::clamp(r.pTerm + r.iTerm + r.dTerm, 0.0, 100.0);
    }
}

void ProcessModel::StepValve(double dt, const ParameterStore& p) {
    ValveValues& v = values_.valve;
    const int base = kind_ == kKindDualZone ? 140 : 32;
    const double openTime = std::max(1.0, Tenths(p, base));
    const double closeTime = std::max(1.0, Tenths(p, base + 1));
    const double minStandstill = Tenths(p, base + 3);
    const double band = std::max(0.5, Tenths(p, kind_ == kKindDualZone ? 144 : 36));
    const double target = std::clamp(values_.regulator.controlValue, 0.0, 100.0);
    const double diff = target - v.position;
    if (v.motorRunning) {
        commandTime_ += dt;
        const double speed = 100.0 / (v.opening ? openTime : closeTime);
        v.position = std::clamp(v.position + (v.opening ? speed : -speed) * dt, 0.0, 100.0);
        const bool reached = v.opening ? v.position >= target : v.position <= target;
        if (reached || std::fabs(target - v.position) < band / 2) {
            v.motorRunning = false;
            v.command = 4;
            standstill_ = 0.0;
        }
    } else {
        standstill_ += dt;
        if (v.command == 4 && standstill_ >= minStandstill) {
            v.command = 3;
        }
        if (std::fabs(diff) > band && standstill_ >= minStandstill) {
            v.motorRunning = true;
            v.opening = diff > 0;
            v.command = v.opening ? 1 : 2;
            commandTime_ = 0.0;
            const double time = v.opening ? openTime : closeTime;
            v.commandValue = static_cast<int32_t>(std::fabs(diff) / 100.0 * time * 10.0);
        }
    }
    v.timer1 = v.motorRunning ? 0 : static_cast<int32_t>(std::min(standstill_, 1e6) * 10.0);
    v.timer2 = static_cast<int32_t>(commandTime_ * 10.0);
}

void ProcessModel::StepDrain(double dt, const ParameterStore& p) {
    DrainValues& d = values_.drain;
    const double sp = values_.setpoint / 100.0;
    const double deviation = Tenths(p, 66);
    const double t = values_.temperature;
    stateTime_ += dt;
    auto enter = [&](int state) {
        d.state = state;
        stateTime_ = 0.0;
    };
    switch (d.state) {
        case kDrainInit:
            if (stateTime_ >= 2.0) {
                enter(kDrainOk);
            }
            break;
        case kDrainOk:
            if (t < sp - deviation) {
                enter(kDrainTempUnder);
            }
            break;
        case kDrainTempUnder:
            if (stateTime_ >= 1.0) {
                enter(kDrainRequest);
            }
            break;
        case kDrainRequest:
            d.valveOpen = true;
            d.timer1 = static_cast<int32_t>(p.Get(64));
            enter(kDrainInDrop);
            break;
        case kDrainInDrop:
            d.timer1 = std::max<int32_t>(0, d.timer1 - static_cast<int32_t>(std::lround(dt * 10)));
            if (t >= sp) {
                d.timer2 = static_cast<int32_t>(p.Get(65));
                enter(kDrainWait);
            } else if (d.timer1 == 0) {
                d.valveOpen = false;
                enter(kDrainNoControl);
            }
            break;
        case kDrainWait:
            d.timer2 = std::max<int32_t>(0, d.timer2 - static_cast<int32_t>(std::lround(dt * 10)));
            if (d.timer2 == 0) {
                d.valveOpen = false;
                enter(kDrainOk);
            }
            break;
        default:  // no control after a drain that did not bring the temperature
            if (stateTime_ >= 30.0) {
                enter(kDrainOk);
            }
            break;
    }
}

void ProcessModel::StepVentilation(double dt, const ParameterStore& p) {
    VentilationValues& v = values_.ventilation;
    secondsCounter_ += dt;
    v.timeCounter = static_cast<int32_t>(secondsCounter_ + 1e-6);
    const double t = values_.temperature;
    const auto thermostat = [t](bool on, double threshold, double hysteresis) {
        if (t >= threshold) {
            return true;
        }
        return on && t > threshold - hysteresis;
    };
    const bool fan1 = thermostat((v.virtualFans & 1) != 0, Tenths(p, 72), Tenths(p, 74));
    const bool fan2 = thermostat((v.virtualFans & 2) != 0, Tenths(p, 73), Tenths(p, 75));
    v.virtualFans = static_cast<uint8_t>((fan1 ? 1 : 0) | (fan2 ? 2 : 0));
    const int32_t period = static_cast<int32_t>(p.Get(79)) * 60;
    if (period > 0 && v.timeCounter - v.periodStart >= period) {
        v.periodStart = v.timeCounter - (v.timeCounter - v.periodStart) % period;
    }
    const bool airing =
        p.Get(76) != 0 && v.timeCounter - v.periodStart < p.Get(78) * 60 && t >= Tenths(p, 80);
    v.fans = static_cast<uint8_t>((v.virtualFans | (airing ? 3 : 0)) & (p.Get(77) & 3));
}

void ProcessModel::StepRelays(const ParameterStore& p) {
    RelayValues& r = values_.relays;
    const bool night = values_.zone != 0;
    const double t = values_.temperature;
    const auto thermostat = [t](bool on, double threshold, double hysteresis) {
        if (t <= threshold - hysteresis) {
            return true;
        }
        return on && t < threshold;
    };
    r.relay1 = thermostat(r.relay1, Tenths(p, night ? 160 : 90), Tenths(p, night ? 162 : 92));
    const bool twoChannels = !p.Has(165) || p.Get(165) == 2;
    r.relay2 = twoChannels &&
               thermostat(r.relay2, Tenths(p, night ? 161 : 91), Tenths(p, night ? 163 : 93));
}

void ProcessModel::StepTemperature(double dt) {
    double& t = values_.temperature;
    switch (kind_) {
        case kKindTemperature:
            t = Approach(t, 15.0 + values_.valve.position / 100.0 * 65.0, dt, 120.0);
            break;
        case kKindDualZone:
            t = Approach(t, 8.0 + values_.valve.position / 100.0 * 27.0, dt, 180.0);
            break;
        case kKindDrainValve:
            t = values_.drain.valveOpen ? Approach(t, values_.setpoint / 100.0 + 12.0, dt, 40.0)
                                        : Approach(t, 12.0, dt, 400.0);
            break;
        case kKindVentilation: {
            const int fans = (values_.ventilation.fans & 1) + ((values_.ventilation.fans >> 1) & 1);
            t += ((31.0 - t) / 300.0 + fans * (16.0 - t) / 400.0) * dt;
            break;
        }
        default: {
            const RelayValues& r = values_.relays;
            t += ((8.0 - t) / 600.0 + (r.relay1 ? (40.0 - t) / 300.0 : 0.0) +
                  (r.relay2 ? (40.0 - t) / 600.0 : 0.0)) *
                 dt;
            break;
        }
    }
}

}  // namespace tk358::sim
