// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The records decoded from the panel's lines, the parameter cache, and the
// decoders that fill them. Every record is stored and copied under one data
// lock, so a getter always sees a record whole.
//
// The status-line records are handed out as they stand now: a copy whose
// reading is not current (fresh_readings.h) has `valid` cleared. Identity,
// panel information and parameters are not status lines and are copied as
// stored.
//
// A decoder returns kStatusOk when the line was decoded or deliberately
// ignored, kStatusBusy for a busy panel-information answer, and kStatusFailed
// when the line is too short for its layout or carries an error bit; then it
// stores nothing (the set-point lines store their fault bits first).

#include <chrono>
#include <cstdint>
#include <mutex>

#include "link/frame.h"
#include "link/fresh_readings.h"
#include "link/panel_access.h"
#include "link/parameter_set.h"
#include "link/records.h"
#include "link/session_timing.h"

namespace tk358 {

class PanelRecords {
public:
    // A reading not refreshed for `freshFor` is no longer current.
    explicit PanelRecords(std::chrono::seconds freshFor = SessionTiming{}.silence)
        : freshFor_(freshFor) {}

    int DecodeIdentification(const AnswerLine& line);  // "020A00:"
    int DecodeTemperature(const AnswerLine& line);     // "020200:"
    int DecodeSetpoint(const AnswerLine& line);        // "028000:"
    int DecodeDualSetpoint(const AnswerLine& line);    // "028B00:"
    int DecodeRegulator(const AnswerLine& line);       // "028800:"
    int DecodeValve(const AnswerLine& line);           // "028900:"
    int DecodeDrainValve(const AnswerLine& line);      // "028A00:"
    int DecodeVentilation(const AnswerLine& line);     // "029300:"
    int DecodeActiveZone(const AnswerLine& line);      // "029800:"
    int DecodeRelay(const AnswerLine& line);           // "029500:"
    int DecodeClock(const AnswerLine& line);           // "030000:"
    int DecodePanelInfo(const AnswerLine& line);       // "050100:"
    // "028600:": stores the value in the cache and sets `code` to the code read.
    int DecodeParameterRead(const AnswerLine& line, int& code);
    // "028700:": whether the panel took the byte; stores nothing.
    static int DecodeParameterWrite(const AnswerLine& line);

    void CopyTo(PanelIdentity& out) const { Copy(identity_, out); }
    void CopyTo(TemperatureReading& out) const { CopyCurrent(temperature_, out); }
    void CopyTo(SetpointReading& out) const { CopyCurrent(setpoint_, out); }
    void CopyTo(RegulatorState& out) const { CopyCurrent(regulator_, out); }
    void CopyTo(ValveState& out) const { CopyCurrent(valve_, out); }
    void CopyTo(DrainValveState& out) const { CopyCurrent(drainValve_, out); }
    void CopyTo(VentilationState& out) const { CopyCurrent(ventilation_, out); }
    void CopyTo(ActiveZone& out) const { CopyCurrent(activeZone_, out); }
    void CopyTo(RelayState& out) const { CopyCurrent(relay_, out); }
    void CopyTo(PanelClock& out) const { CopyCurrent(clock_, out); }
    void CopyTo(PanelInfo& out) const { Copy(panelInfo_, out); }
    void CopyTo(ParameterSet& out) const { Copy(parameters_, out); }

    PanelIdentity Identity() const { return Copied(identity_); }
    bool ParameterMatches(int code, int64_t value) const;
    void StoreParameter(int code, int64_t value);
    void SetReadComplete(int deviceType);
    // The link was closed: the panel counts as not identified, and no reading
    // taken so far is current any more.
    void EndContact();
    // A line is opened that may lead to another panel: every record and the
    // parameter cache go back to empty. The change count goes on.
    void StartContact();
    // Something the records do not hold changed (the link state): readers
    // look again.
    void NoteChange();
    // The change count (every store counts) and when the earliest current
    // reading stops being current.
    RecordsVersion Version() const;
    // Called after every store, once the data lock is released.
    void SetListener(RecordsListener* listener);

private:
    // Holds the data lock for one store and tells the listener when it ends.
    class StoreLock {
    public:
        explicit StoreLock(PanelRecords& records) : records_(records), lock_(records.dataLock_) {
            ++records.changes_;
        }
        ~StoreLock() {
            lock_.unlock();
            records_.TellListener();
        }
        StoreLock(const StoreLock&) = delete;
        StoreLock& operator=(const StoreLock&) = delete;

    private:
        PanelRecords& records_;
        std::unique_lock<std::mutex> lock_;
    };

    template <class Record>
    void Copy(const Record& from, Record& to) const {
        std::lock_guard<std::mutex> lock(dataLock_);
        to = from;
    }
    template <class Record>
    void CopyCurrent(const Record& from, Record& to) const {
        std::lock_guard<std::mutex> lock(dataLock_);
        to = from;
        if (!ReadingIsCurrent(from.filledAt, contactSince_, MonotonicClock::now(), freshFor_)) {
            to.valid = 0;
        }
    }
    // Every store goes through it, so no change escapes the count.
    StoreLock LockForStore() { return StoreLock(*this); }
    void TellListener();
    template <class Record>
    Record Copied(const Record& from) const {
        std::lock_guard<std::mutex> lock(dataLock_);
        return from;
    }

    // dataLock: every record below is stored and copied under it. Taken by the
    // decoders (on the session's reader thread, no other lock held) and by
    // the getters; no other lock is ever taken while it is held.
    mutable std::mutex dataLock_;
    // listenerLock: held while the listener is called or replaced, never
    // together with the data lock.
    std::mutex listenerLock_;
    RecordsListener* listener_ = nullptr;
    const std::chrono::seconds freshFor_;
    MonotonicTime contactSince_{};  // last identification, or the closing of the link
    uint64_t changes_ = 0;
    PanelIdentity identity_;
    TemperatureReading temperature_;
    SetpointReading setpoint_;
    RegulatorState regulator_;
    ValveState valve_;
    DrainValveState drainValve_;
    VentilationState ventilation_;
    ActiveZone activeZone_;
    RelayState relay_;
    PanelClock clock_;
    PanelInfo panelInfo_;
    ParameterSet parameters_;
};

}  // namespace tk358
