// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's whole view of the connected panel. The session owns the
// serial port and a poll thread that (re)establishes contact: whenever nothing
// good has been heard for longer than the silence limit, or the last start
// sequence failed, it identifies the panel, reads its information and its whole
// parameter set and switches its monitoring mode on. Between start sequences
// the panel sends its status lines unrequested; the port's reader thread hands
// every byte to the session, which cuts lines and decodes them into records.
//
// Getters copy one record and never wait for the line; a status-line reading
// that is not current comes out not valid (fresh_readings.h). Write operations
// block for their exchanges and are called from worker threads only.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>

#include "link/awaited_answer.h"
#include "link/frame.h"
#include "link/line_cutter.h"
#include "link/panel_connection.h"
#include "link/panel_line.h"
#include "link/panel_records.h"
#include "link/pending_reads.h"
#include "link/session_timing.h"

namespace tk358 {

namespace test {
struct PanelSessionProbe;
}

// Sees every whole line the panel sends, on the port's reader thread with no
// lock of the session held but its own; it must not call back into the session. `relayAnswer` marks
// the answer to the relayed request on the line (PanelSession::RelayRequest).
class PanelLineObserver {
public:
    virtual void OnPanelLine(std::string_view line, bool relayAnswer) = 0;

protected:
    ~PanelLineObserver() = default;
};

class PanelSession : public PanelConnection, public ByteReceiver {
public:
    explicit PanelSession(SessionTiming timing = {});
    ~PanelSession() override;
    PanelSession(const PanelSession&) = delete;
    PanelSession& operator=(const PanelSession&) = delete;

    // Opens COM `comPortNumber` at 9600 baud 8N1, starts its reader and the poll
    // thread. False when the port cannot be opened (see LastOpenError) or the
    // thread cannot be started. An open session is closed first. Every
    // opening starts a fresh contact: records, parameter cache, read-back
    // queue and link status of the line before are dropped, and the start
    // sequence runs on the new line even when it already carries status lines.
    bool Open(int comPortNumber) override;
    // Stops the poll thread, switches the monitoring mode off when the panel
    // was identified and closes the port. Records, parameter cache and link
    // status stay as they were. Safe on a closed session.
    void Close() override;
    // errno of the last port open that failed, 0 after one that succeeded.
    int LastOpenError() const override { return lastOpenError_; }
    // When the panel side last showed it is alive: the poll thread went round
    // its loop or an exchange began an attempt (steady clock). Lets a watchdog
    // tell a hung session from a busy one; an attempt lasts at most answerWait.
    std::chrono::steady_clock::time_point LastActivity() const;

    void OnByteReceived(char byte) override;

    int GetLinkStatus() const override { return linkStatus_; }
    int GetIdentity(PanelIdentity& out) const override { return Copy(out); }
    int GetTemperature(TemperatureReading& out) const override { return Copy(out); }
    int GetSetpointReading(SetpointReading& out) const override { return Copy(out); }
    int GetRegulatorState(RegulatorState& out) const override { return Copy(out); }
    int GetValveState(ValveState& out) const override { return Copy(out); }
    int GetDrainValveState(DrainValveState& out) const override { return Copy(out); }
    int GetVentilationState(VentilationState& out) const override { return Copy(out); }
    int GetActiveZone(ActiveZone& out) const override { return Copy(out); }
    int GetRelayState(RelayState& out) const override { return Copy(out); }
    int GetPanelClock(PanelClock& out) const override { return Copy(out); }
    int GetPanelInfo(PanelInfo& out) const override { return Copy(out); }
    int GetParameters(ParameterSet& out) const override { return Copy(out); }
    RecordsVersion Version() const override { return records_.Version(); }
    bool SetRecordsListener(RecordsListener* listener) override {
        records_.SetListener(listener);
        return true;
    }

    int WriteSetpoint(int value, int index) override;
    int WriteSetpointTime(int value, int index) override;
    int WritePidParameters(int kp, int ti, int td, int ta, int zone) override;
    int WriteRegulationParameters(int openTime, int closeTime, int deadTime, int minStandstill,
                                  int minOnTime, int deadBand, int reverse) override;
    int WriteDrainValveParameters(int drainTime, int closeDelay, int deviation) override;
    int WriteVentilationParameters(int t1, int t2, int h1, int h2, int airing, int fans,
                                   int airingTime, int airingPeriod, int airingThreshold) override;
    int WriteThresholdParameters(int t1, int t2, int h1, int h2, int channels) override;
    int WriteThresholdTimeParameters(int t1, int t2, int h1, int h2, int t1Night, int t2Night,
                                     int h1Night, int h2Night, int dayHour, int dayMinute,
                                     int nightHour, int nightMinute, int channels) override;
    int WriteCvSettings(double cv, int cvLock) override;
    int SetPanelClock(const SystemTime& t) override;

    // Building blocks of the write operations, one exchange or a series each.
    int ReadParameter(int code) override;
    // Writes one byte per frame, one try each; the whole value is started over
    // at most valueRestarts times. Refuses codes without a write format.
    int WriteParameter(int code, int value);
    // Full: the parameter set of the identified kind. Otherwise: reads back
    // every written code not yet read back, in order.
    int ReadParameters(bool full);

    // Every line received from now on goes to `observer` as well; null: none.
    // Once this returns, a previous observer is no longer called.
    void SetLineObserver(PanelLineObserver* observer);
    // One exchange for a request line made elsewhere (tk358d relays its shared
    // line's client): `line` goes out as it is, one try, and the exchange ends
    // with the first line that starts with `answerPrefix` or after the answer
    // wait. It holds the request lock like every exchange, so no other request
    // and no purge comes between. kStatusOk when answered.
    int RelayRequest(std::string_view line, std::string_view answerPrefix);

    // Whole seconds on the monotonic clock the silence is measured with.
    static int64_t NowSeconds();

private:
    // The tests and the benchmarks look at the read-back queue, the last
    // answer's time and the start sequences through it.
    friend struct test::PanelSessionProbe;

    // Whole seconds on the monotonic clock when the last good line arrived;
    // none since the session was opened.
    std::optional<int64_t> LastAnswerSeconds() const;

    struct CodeValue {
        int code;
        int value;
        bool wanted = true;
    };

    // The status is taken first: a link that came back is reported only with
    // a record copied after the new identification, never with an old one.
    template <class Record>
    int Copy(Record& out) const {
        const int status = linkStatus_;
        records_.CopyTo(out);
        return status;
    }

    void AttachDecoders();
    void ObserveLine(std::string_view line);
    // `parameterCode`: the code a parameter read's answer must name; -1 any.
    int SendAndWait(const RequestFrame& frame, bool retry);
    int ExchangeLocked(const RequestFrame& frame, bool retry, int parameterCode = -1);

    int Identify();
    int ReadPanelInfo();
    int SetMonitoringMode(bool on, bool retry = true);
    int ReadCodes(std::span<const int> codes);
    int ReadFullSet();
    int ReadBack();

    void PollLoop();
    bool SleepCycle();
    void MarkActivity();
    bool EnsurePort();
    bool ContactLost() const;
    // Stores the status; a change counts as a change of the records.
    void SetLinkStatus(int status);
    void StartContact();
    void RunStartSequence();
    bool StepSucceeded(int status);
    void StopPollThread();
    std::unique_ptr<PanelLine> OpenPort(int comPortNumber);
    void DropPort();

    int WriteIfChanged(int code, int value);
    int WriteChanged(std::initializer_list<CodeValue> entries);
    int SendCommand(const char* code, const std::string& data);
    uint8_t DeviceType() const { return records_.Identity().deviceType; }

    const SessionTiming timing_;

    // Locks, taken in this order and never the other way round:
    //   requestLock_ > awaited_'s lock
    //   observerLock_ > the observer's own locks > records_'s data lock
    //   records_'s listener lock > the listener's own locks > records_'s data lock
    //   records_'s data lock, pendingReads_'s lock, awaited_'s lock: innermost
    //   pollLock_: alone
    // The reader thread decodes, tells the records' listener and calls the
    // observer with no lock of the session held. Only requestLock_ stays held
    // while an exchange waits for the line: it is the exchange's turn, and
    // nothing but the next exchange and the closing waits for it.

    // requestLock: one exchange on the line at a time, whichever thread asks;
    // held for each whole exchange. Also guards `port_` (created, replaced and
    // destroyed under it, used by exchanges under it).
    std::mutex requestLock_;
    std::unique_ptr<PanelLine> port_;
    int comPort_ = 0;  // written by Open before the poll thread starts

    // The answer the exchange under way waits for; armed under requestLock,
    // offered the lines by the reader thread.
    AwaitedAnswer awaited_;

    // Only the port's reader thread uses the cutter while a port is open;
    // it is cleared only when no port (and so no reader) is there.
    LineCutter cutter_;
    std::atomic<int64_t> lastAnswer_;  // written by the reader thread, read lock-free

    // observerLock: held while the line observer is called or replaced.
    std::mutex observerLock_;
    PanelLineObserver* lineObserver_ = nullptr;  // under observerLock

    PanelRecords records_;       // holds the data lock
    PendingReads pendingReads_;  // has its own small lock

    // Written by the poll thread, and by Open before it starts that thread
    // (Close leaves them alone); read lock-free.
    std::atomic<int> linkStatus_{kStatusFailed};
    std::atomic<int> startSequences_{0};
    std::atomic<int> lastOpenError_{0};
    std::atomic<std::int64_t> lastActivity_{0};  // steady clock, nanoseconds

    // pollLock: the poll thread's stop request, so a stop wakes its sleep at once.
    std::mutex pollLock_;
    std::condition_variable pollWake_;
    std::atomic<bool> stopRequested_{false};
    std::thread pollThread_;
};

}  // namespace tk358
