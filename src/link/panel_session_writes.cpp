// SPDX-License-Identifier: GPL-3.0-or-later
// Parameter access and the write operations of the panel session.

#include <span>
#include <string>
#include <vector>

#include "link/kind_codes.h"
#include "link/panel_clock.h"
#include "link/panel_session.h"
#include "link/parameter_codes.h"

namespace tk358 {

namespace {

bool HasThresholdExtras(const PanelIdentity& id) {
    return id.identified != 0 && id.firmwareVersion > kThresholdExtrasFirmware;
}

using WriteOne = int (PanelSession::*)(int code, int value);

// Writes the group's codes, each with the value at its place in `values`, in
// the group's order, then reads back what was written; the first failure ends
// the series. Values past the group's end belong to another kind's group.
int WriteThenReadBack(PanelSession& session, WriteOne writeOne, WriteGroup group,
                      std::initializer_list<int> values, const WriteContext& context = {}) {
    if (values.size() < group.size()) {
        return kStatusFailed;
    }
    const int* value = values.begin();
    for (const GroupCode& entry : group) {
        const int v = *value++;
        if (!Sent(entry, context)) {
            continue;
        }
        if (const int status = (session.*writeOne)(entry.code, v); status != kStatusOk) {
            return status;
        }
    }
    return session.ReadParameters(false);
}

}  // namespace

// ---- Building blocks ----

int PanelSession::ReadParameter(int code) {
    const RequestFrame frame = BuildRequest("028600", HexText(static_cast<uint32_t>(code), 4));
    std::lock_guard<std::mutex> lock(requestLock_);
    return ExchangeLocked(frame, true, code);
}

int PanelSession::WriteParameter(int code, int value) {
    const std::vector<std::string> bytes = ParameterByteTexts(code, value);
    if (bytes.empty()) {
        return kStatusFailed;
    }
    const std::string codeText = HexText(static_cast<uint32_t>(code), 4);
    std::vector<RequestFrame> frames;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        frames.push_back(
            BuildRequest("028700", codeText + HexText(static_cast<uint32_t>(i), 2) + bytes[i]));
    }
    for (int pass = 0; pass <= timing_.valueRestarts; ++pass) {
        bool complete = true;
        for (const RequestFrame& frame : frames) {
            if (SendAndWait(frame, false) != kStatusOk) {
                complete = false;
                break;
            }
        }
        if (complete) {
            return kStatusOk;
        }
    }
    return kStatusFailed;
}

int PanelSession::ReadParameters(bool full) {
    return full ? ReadFullSet() : ReadBack();
}

int PanelSession::ReadCodes(std::span<const int> codes) {
    for (const int code : codes) {
        if (const int status = ReadParameter(code); status != kStatusOk) {
            return status;
        }
    }
    return kStatusOk;
}

// The first failure ends the read and keeps the written codes for later.
int PanelSession::ReadFullSet() {
    const PanelIdentity id = records_.Identity();
    const uint64_t pendingEnd = pendingReads_.Take().end;
    int status = ReadCodes(FullReadCodes(id.deviceType));
    if (status == kStatusOk && id.deviceType == kThresholdRegulator) {
        if (HasThresholdExtras(id)) {
            status = ReadCodes(ThresholdExtraCodes());
        } else {
            // Older firmware has one channel set and no night zone.
            for (const int code : ThresholdExtraCodes()) {
                records_.StoreParameter(code, code == param::kChannels ? 2 : 0);
            }
        }
    }
    if (status != kStatusOk) {
        return status;
    }
    records_.SetReadComplete(id.deviceType);
    pendingReads_.DropThrough(pendingEnd);
    return kStatusOk;
}

int PanelSession::ReadBack() {
    const PendingReads::Snapshot pending = pendingReads_.Take();
    const int status = ReadCodes(pending.codes);
    if (status == kStatusOk) {
        pendingReads_.DropThrough(pending.end);
    }
    return status;
}

int PanelSession::WriteIfChanged(int code, int value) {
    if (records_.ParameterMatches(code, value)) {
        return kStatusOk;
    }
    const int status = WriteParameter(code, value);
    if (status == kStatusOk) {
        pendingReads_.Append(code);
    }
    return status;
}

// Writes the wanted entries that differ from the cache, in order; the first
// failure ends the series.
int PanelSession::WriteChanged(std::initializer_list<CodeValue> entries) {
    for (const CodeValue& entry : entries) {
        if (!entry.wanted) {
            continue;
        }
        if (const int status = WriteIfChanged(entry.code, entry.value); status != kStatusOk) {
            return status;
        }
    }
    return kStatusOk;
}

// ---- Write operations ----

int PanelSession::WriteSetpoint(int value, int index) {
    if (DeviceType() == kDualZoneController) {
        const int status = WriteChanged({{param::kZone1Setpoint, value, index == 0},
                                         {param::kZone2Setpoint, value, index == 1}});
        return status != kStatusOk ? status : ReadParameters(false);
    }
    // The single set point travels by a command of its own.
    if (!records_.ParameterMatches(param::kSetpoint, value)) {
        const int status = SendCommand("028100", HexText(static_cast<uint32_t>(value), 8));
        if (status != kStatusOk) {
            return status;
        }
        pendingReads_.Append(param::kSetpoint);
    }
    return ReadParameters(false);
}

int PanelSession::WriteSetpointTime(int value, int index) {
    if (DeviceType() != kDualZoneController) {
        return kStatusFailed;
    }
    const int lowByte = value & 0xFF;
    const int status = WriteChanged({{param::kZone1SwitchOn, lowByte, index == 0},
                                     {param::kZone2SwitchOn, lowByte, index == 1}});
    return status != kStatusOk ? status : ReadParameters(false);
}

int PanelSession::WritePidParameters(int kp, int ti, int td, int ta, int zone) {
    return WriteThenReadBack(*this, &PanelSession::WriteIfChanged,
                             PidWriteGroup(DeviceType(), zone), {ti, td, ta, kp});
}

int PanelSession::WriteRegulationParameters(int openTime, int closeTime, int deadTime,
                                            int minStandstill, int minOnTime, int deadBand,
                                            int reverse) {
    // The reverse-acting setting is in the dual-zone controller's group only.
    return WriteThenReadBack(
        *this, &PanelSession::WriteIfChanged, ValveWriteGroup(DeviceType()),
        {openTime, closeTime, deadTime, minStandstill, deadBand, minOnTime, reverse & 0xFF});
}

int PanelSession::WriteDrainValveParameters(int drainTime, int closeDelay, int deviation) {
    return WriteThenReadBack(*this, &PanelSession::WriteIfChanged, DrainValveWriteGroup(),
                             {drainTime, closeDelay, deviation});
}

int PanelSession::WriteVentilationParameters(int t1, int t2, int h1, int h2, int airing, int fans,
                                             int airingTime, int airingPeriod,
                                             int airingThreshold) {
    return WriteThenReadBack(
        *this, &PanelSession::WriteIfChanged, VentilationWriteGroup(),
        {t1, t2, h1, h2, airing, fans, airingTime, airingPeriod, airingThreshold});
}

int PanelSession::WriteThresholdParameters(int t1, int t2, int h1, int h2, int channels) {
    const WriteContext context{channels == 2, HasThresholdExtras(records_.Identity())};
    return WriteThenReadBack(*this, &PanelSession::WriteIfChanged, ThresholdWriteGroup(),
                             {t1, t2, h1, h2, channels}, context);
}

int PanelSession::WriteThresholdTimeParameters(int t1, int t2, int h1, int h2, int t1Night,
                                               int t2Night, int h1Night, int h2Night, int dayHour,
                                               int dayMinute, int nightHour, int nightMinute,
                                               int channels) {
    const WriteContext context{channels == 2, false};
    return WriteThenReadBack(*this, &PanelSession::WriteIfChanged, ThresholdTimeWriteGroup(),
                             {(dayHour * 60 + dayMinute) / 10, (nightHour * 60 + nightMinute) / 10,
                              t1, t2, h1, h2, t1Night, t2Night, h1Night, h2Night, channels},
                             context);
}

int PanelSession::WriteCvSettings(double cv, int cvLock) {
    RegulatorState regulator;
    records_.CopyTo(regulator);
    if (cv != regulator.controlValue) {
        const int status = SendCommand("028400", HexText(EncodeFloat(cv), 8));
        if (status != kStatusOk) {
            return status;
        }
    }
    if (DeviceType() == kDualZoneController) {
        const int status = SendCommand("028500", HexText(static_cast<uint32_t>(cvLock), 2));
        if (status != kStatusOk) {
            return status;
        }
    } else {
        const int status = WriteParameter(param::kCvLock, cvLock);
        if (status != kStatusOk) {
            return status;
        }
        pendingReads_.Append(param::kCvLock);
    }
    return ReadParameters(false);
}

int PanelSession::SetPanelClock(const SystemTime& t) {
    PanelClock clock;
    records_.CopyTo(clock);
    if (t == clock.time) {
        return kStatusOk;
    }
    const std::optional<uint32_t> seconds = EncodePanelSeconds(t);
    if (!seconds) {
        return kStatusFailed;
    }
    return SendCommand("031000", HexText(*seconds, 8));
}

}  // namespace tk358
