// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the window and the dialogs may do with the panel: copy a record and
// call a write operation. `PanelSession` implements it; tests use fakes.
//
// Every getter copies one record under the session's data lock and returns the
// link status (kStatusOk while the panel answers, kStatusFailed otherwise). A
// status-line reading that is not current (fresh_readings.h) comes with
// `valid` cleared, so no caller passes an old value off as a new one.
// Every write operation blocks for its serial exchanges, so it is called only
// from worker threads, never from the GUI thread; it returns kStatusOk or
// kStatusFailed (refused, or not answered: some values may already be written).

#include <cstdint>

#include "link/fresh_readings.h"
#include "link/parameter_set.h"
#include "link/records.h"

namespace tk358 {

// How far the records have come. `changes` grows with every status line,
// answer and change of the link state; `freshUntil` is the moment the first
// reading now current stops being so. A reader that copied everything at one
// version gets the same again while the count stands and `freshUntil` has
// not passed, so it need not copy.
struct RecordsVersion {
    uint64_t changes = 0;
    MonotonicTime freshUntil = MonotonicTime::min();
};

// Told of every change the count records, on the link's own threads, with a
// lock of the link held but never its data lock: it only hands the news on
// (arms a timer, posts an event) and never calls back into the link.
class RecordsListener {
public:
    virtual void RecordsChanged() = 0;

protected:
    ~RecordsListener() = default;
};

class PanelAccess {
public:
    virtual ~PanelAccess() = default;

    virtual int GetLinkStatus() const = 0;
    virtual int GetIdentity(PanelIdentity& out) const = 0;
    virtual int GetTemperature(TemperatureReading& out) const = 0;
    virtual int GetSetpointReading(SetpointReading& out) const = 0;
    virtual int GetRegulatorState(RegulatorState& out) const = 0;
    virtual int GetValveState(ValveState& out) const = 0;
    virtual int GetDrainValveState(DrainValveState& out) const = 0;
    virtual int GetVentilationState(VentilationState& out) const = 0;
    virtual int GetActiveZone(ActiveZone& out) const = 0;
    virtual int GetRelayState(RelayState& out) const = 0;
    virtual int GetPanelClock(PanelClock& out) const = 0;
    virtual int GetPanelInfo(PanelInfo& out) const = 0;
    virtual int GetParameters(ParameterSet& out) const = 0;
    // Taken before the records it stands for. Without one of its own a link
    // reports everything stale at once, so its readers copy on every look.
    virtual RecordsVersion Version() const { return {}; }
    // Replaces the listener (null: none); once this returns the previous one
    // is no longer called. False when the link tells nobody, so that its
    // readers keep looking on their own.
    virtual bool SetRecordsListener(RecordsListener* /*listener*/) { return false; }

    // Reads one parameter from the panel into the cache (a backup reads its
    // set afresh this way). Blocks like a write operation.
    virtual int ReadParameter(int code) = 0;

    virtual int WriteSetpoint(int value, int index) = 0;
    virtual int WriteSetpointTime(int value, int index) = 0;
    virtual int WritePidParameters(int kp, int ti, int td, int ta, int zone) = 0;
    virtual int WriteRegulationParameters(int openTime, int closeTime, int deadTime,
                                          int minStandstill, int minOnTime, int deadBand,
                                          int reverse) = 0;
    virtual int WriteDrainValveParameters(int drainTime, int closeDelay, int deviation) = 0;
    virtual int WriteVentilationParameters(int t1, int t2, int h1, int h2, int airing, int fans,
                                           int airingTime, int airingPeriod,
                                           int airingThreshold) = 0;
    virtual int WriteThresholdParameters(int t1, int t2, int h1, int h2, int channels) = 0;
    virtual int WriteThresholdTimeParameters(int t1, int t2, int h1, int h2, int t1Night,
                                             int t2Night, int h1Night, int h2Night, int dayHour,
                                             int dayMinute, int nightHour, int nightMinute,
                                             int channels) = 0;
    virtual int WriteCvSettings(double cv, int cvLock) = 0;
    virtual int SetPanelClock(const SystemTime& t) = 0;

protected:
    PanelAccess() = default;
    PanelAccess(const PanelAccess&) = default;
    PanelAccess& operator=(const PanelAccess&) = default;
};

}  // namespace tk358
