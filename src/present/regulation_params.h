// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The control parameters of each panel kind as the "Parametry regulacji"
// dialogs show and write them: which cached codes they come from, when they
// may be shown at all, and the write operation with its argument order.
// Values are integers in the panel's units (tenths, minutes, flags), read
// from the cache the way the parameter table gives for each code.

#include <optional>

#include "link/panel_access.h"

namespace tk358 {

// Temperature controller (kind 0) and dual-zone controller (kind 3).
struct ValveParameters {
    int kind = kTemperatureController;
    int openTime = 0;       // tenths of a second
    int closeTime = 0;      // tenths of a second
    int deadTime = 0;       // tenths of a second
    int minStandstill = 0;  // tenths of a second, before a change of direction
    int minOnTime = 0;      // tenths of a second
    int deadBand = 0;       // tenths of a percent
    int reverse = 0;        // 0 normal, 1 reverse; written on kind 3 only
};

// Drain-valve controller (kind 1).
struct DrainValveParameters {
    int drainTime = 0;   // tenths of a second
    int closeDelay = 0;  // tenths of a second
    int deviation = 0;   // tenths of °C
};

// Ventilation controller (kind 2).
struct VentilationParameters {
    int t1 = 0;  // tenths of °C
    int t2 = 0;
    int h1 = 0;
    int h2 = 0;
    int airing = 0;           // airing function, 0 or 1
    int fans = 0;             // bit 0 fan 1, bit 1 fan 2
    int airingTime = 0;       // minutes
    int airingPeriod = 0;     // minutes
    int airingThreshold = 0;  // tenths of °C
};

// One set of the threshold regulator (kind 4); T2 and H2 belong to channel 2.
struct ThresholdSet {
    int t1 = 0;  // tenths of °C
    int t2 = 0;
    int h1 = 0;
    int h2 = 0;
};

// Threshold regulator without zones.
struct ThresholdParameters {
    ThresholdSet set;
    int channels = 1;  // 1 or 2
};

// Threshold regulator with day and night zones. Starts are whole hours and
// minutes; the write turns them into 10-minute steps.
struct ThresholdTimeParameters {
    ThresholdSet day;
    ThresholdSet night;
    int dayHour = 0;
    int dayMinute = 0;
    int nightHour = 0;
    int nightMinute = 0;
    int channels = 1;
};

// The values the dialog shows, or nothing when the opening condition fails:
// every getter answers, the panel is identified and of the dialog's kind, the
// regulator state is valid (valve and drain-valve dialogs) and the parameter
// set of that kind has been read completely.
std::optional<ValveParameters> ReadValveParameters(const PanelAccess& session);
std::optional<DrainValveParameters> ReadDrainValveParameters(const PanelAccess& session);
std::optional<VentilationParameters> ReadVentilationParameters(const PanelAccess& session);
std::optional<ThresholdParameters> ReadThresholdParameters(const PanelAccess& session);
std::optional<ThresholdTimeParameters> ReadThresholdTimeParameters(const PanelAccess& session);

// The one write operation of each dialog; kStatusOk or kStatusFailed.
int WriteParameters(PanelAccess& session, const ValveParameters& v);
int WriteParameters(PanelAccess& session, const DrainValveParameters& v);
int WriteParameters(PanelAccess& session, const VentilationParameters& v);
int WriteParameters(PanelAccess& session, const ThresholdParameters& v);
int WriteParameters(PanelAccess& session, const ThresholdTimeParameters& v);

// Fan check boxes from the mask and back (bit 0 fan 1, bit 1 fan 2).
bool FanOn(int mask, int fan);
int FanMask(bool fan1, bool fan2);

}  // namespace tk358
