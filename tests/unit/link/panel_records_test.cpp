// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/panel_records.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tk358 {
namespace {

// Lines are written with spaces between their fields for reading; the panel
// sends none.
std::string Compact(std::string text) {
    std::erase(text, ' ');
    return text;
}

// A received line: `text` (checksum digits included) followed by CR LF.
AnswerLine Line(const std::string& text) {
    return AnswerLine::From(Compact(text) + "\r\n");
}

// `head` padded with zero digits to `length` characters before CR LF.
std::string Padded(const std::string& head, std::size_t length) {
    std::string text = Compact(head);
    text.resize(length, '0');
    return text;
}

TEST(PanelRecordsTest, IdentificationByLengthAndVariant) {
    struct Case {
        const char* name;
        std::string text;
        int deviceType;
        int serial;
        int firmware;
    };
    // Head, variant, firmware, 18-24, then digits 25, 26, 27-30 serial, 31, 32, 33, 34, 35.
    const std::string full0 = "020A00:0358:00 0105 0000000 1 0 1234 0 8 1 1 F";
    const Case cases[] = {
        {"exactly 25 characters", "020A00:0358: 05 0105 00000", 5, 0, 105},
        {"variant 0, digit 33 bit 0 set", full0, 1, 0x1234, 105},
        {"variant 0, digit 33 bit 0 clear", "020A00:0358:000203 0000000 0 0 00FF 0 0 E 0 0", 0,
         0xFF, 203},
        {"variant 1", Padded("020A00:0358:01 0100", 36), 2, 0, 100},
        {"variant 3", Padded("020A00:0358:03 0105", 36), 4, 0, 105},
        {"variant 5", Padded("020A00:0358:05 0105", 36), 3, 0, 105},
        {"variant 5 but shorter than 35", Padded("020A00:0358:05 0105", 32), 5, 0, 105},
        {"variant 2 on a fresh session", Padded("020A00:0358:02 0105", 36), 5, 0, 105},
        {"variant 4", Padded("020A00:0358:04 0105", 36), 5, 0, 105},
        {"variant 6", Padded("020A00:0358:06 0105", 36), 5, 0, 105},
    };
    for (const Case& c : cases) {
        PanelRecords records;
        EXPECT_EQ(records.DecodeIdentification(Line(c.text)), kStatusOk) << c.name;
        const PanelIdentity id = records.Identity();
        EXPECT_EQ(id.deviceType, c.deviceType) << c.name;
        EXPECT_EQ(id.serialNumber, c.serial) << c.name;
        EXPECT_EQ(id.firmwareVersion, c.firmware) << c.name;
        EXPECT_EQ(id.identified, 1) << c.name;
    }
}

TEST(PanelRecordsTest, IdentificationFlagsAndKeptType) {
    PanelRecords records;
    const std::string full = "020A00:0358:00 0105 0000000 1 0 1234 0 8 1 1 F";
    ASSERT_EQ(records.DecodeIdentification(Line(full)), kStatusOk);
    PanelIdentity id = records.Identity();
    EXPECT_EQ(id.noNumber, 1);
    EXPECT_EQ(id.options, (std::array<uint8_t, 6>{1, 1, 1, 1, 1, 1}));

    // Variant 2 keeps the type a previous answer gave.
    ASSERT_EQ(records.DecodeIdentification(Line(Padded("020A00:0358:02 0105", 36))), kStatusOk);
    id = records.Identity();
    EXPECT_EQ(id.deviceType, kDrainValveController);
    EXPECT_EQ(id.hardwareVariant, 2);
    EXPECT_EQ(id.options, (std::array<uint8_t, 6>{}));
}

TEST(PanelRecordsTest, IdentificationRefusals) {
    const char* lines[] = {
        "020A00:0358: 05 0105 000",         // 24 characters
        "020A00:0359:0501050000000000000",  // another model
        "020A00:0358;0501050000000000000",  // head differs in its last character
    };
    for (const char* text : lines) {
        PanelRecords records;
        EXPECT_EQ(records.DecodeIdentification(Line(text)), kStatusFailed) << text;
        EXPECT_EQ(records.Identity().identified, 0) << text;
        EXPECT_EQ(records.Identity().deviceType, kUnknownDevice) << text;
    }
}

TEST(PanelRecordsTest, SetpointLineStoresFaultBitsBeforeTheLengthCheck) {
    PanelRecords records;
    // Good line first, so the later checks can see what stays.
    ASSERT_EQ(records.DecodeSetpoint(Line("028000:0 00 FFFFF830 XX")), kStatusOk);
    SetpointReading sp;
    records.CopyTo(sp);
    EXPECT_EQ(sp.setpoint, -2000);
    EXPECT_EQ(sp.valid, 1);
    EXPECT_EQ(sp.error, 0);

    // Fault C on a 20-character line: the bits are stored and the line decoded.
    EXPECT_EQ(records.DecodeSetpoint(Line("028000:4 00 0000270F")), kStatusOk);
    records.CopyTo(sp);
    EXPECT_EQ(sp.faultC, 1);
    EXPECT_EQ(sp.error, 1);
    EXPECT_EQ(sp.setpoint, 9999);

    // 20 characters, no fault: the cleared bits are stored, then the line is refused.
    EXPECT_EQ(records.DecodeSetpoint(Line("028000:0 00 0000000A")), kStatusFailed);
    records.CopyTo(sp);
    EXPECT_EQ(sp.setpoint, 9999);
    EXPECT_EQ(sp.faultC, 0);
    EXPECT_EQ(sp.error, 0);
}

TEST(PanelRecordsTest, SetpointFaultOnTwelveCharactersReadsZeroSetpoint) {
    PanelRecords records;
    ASSERT_EQ(records.DecodeSetpoint(Line("028000:1 00 FFFFF830")), kStatusOk);
    ASSERT_EQ(records.DecodeSetpoint(Line("028000:1 00")),
              kStatusOk);  // 12 characters
    SetpointReading sp;
    records.CopyTo(sp);
    EXPECT_EQ(sp.faultA, 1);
    EXPECT_EQ(sp.faultB, 0);
    EXPECT_EQ(sp.error, 1);
    EXPECT_EQ(sp.setpoint, 0);
    EXPECT_EQ(sp.valid, 1);
}

TEST(PanelRecordsTest, DualSetpointLine) {
    PanelRecords records;
    // Digits 7-8 not both zero: ignored, counted as good.
    EXPECT_EQ(records.DecodeDualSetpoint(Line("028B00:01 0 3 1 0 000009C4 XX")), kStatusOk);
    SetpointReading sp;
    records.CopyTo(sp);
    EXPECT_EQ(sp.valid, 0);
    EXPECT_EQ(sp.error, 0);

    EXPECT_EQ(records.DecodeDualSetpoint(Line("028B00:00 0 3 0 0 000009C4 XX")), kStatusOk);
    records.CopyTo(sp);
    EXPECT_EQ(sp.setpoint, 2500);
    EXPECT_EQ(sp.faultA, 1);
    EXPECT_EQ(sp.faultB, 1);
    EXPECT_EQ(sp.error, 0);
    EXPECT_EQ(sp.valid, 1);

    // Error bit on a short line: stored and decoded past the end as 0.
    EXPECT_EQ(records.DecodeDualSetpoint(Line("028B00:00 0 0 1")), kStatusOk);
    records.CopyTo(sp);
    EXPECT_EQ(sp.error, 1);
    EXPECT_EQ(sp.faultA, 0);
    EXPECT_EQ(sp.setpoint, 0);
}

TEST(PanelRecordsTest, TemperatureLine) {
    PanelRecords records;
    const std::string text = Padded("020200: 000 1 0 FFFFF830", 49);
    ASSERT_EQ(records.DecodeTemperature(Line(text)), kStatusOk);
    TemperatureReading t;
    records.CopyTo(t);
    EXPECT_DOUBLE_EQ(t.temperature, -20.0);
    EXPECT_EQ(t.sensorError, 1);
    EXPECT_EQ(t.valid, 1);
    ASSERT_EQ(records.DecodeTemperature(Line(Padded("020200: 000 0 0 0000093A", 49))), kStatusOk);
    records.CopyTo(t);
    EXPECT_DOUBLE_EQ(t.temperature, 23.62);
    EXPECT_EQ(t.sensorError, 0);
}

TEST(FreshReadingsTest, CurrentOnlyWithinThePresentContactAndTheLimit) {
    using namespace std::chrono_literals;
    struct Case {
        const char* name;
        MonotonicClock::duration filled, since, now;
        bool current;
    };
    const Case cases[] = {
        {"just filled", 5s, 0s, 5s, true},
        {"exactly the limit old", 5s, 0s, 15s, true},
        {"past the limit", 5s, 0s, 15s + 1ms, false},
        {"filled before the identification", 5s, 6s, 7s, false},
        {"filled right after the identification", 6s, 6s, 7s, true},
    };
    const MonotonicTime t0 = MonotonicTime{} + 1h;
    for (const Case& c : cases) {
        EXPECT_EQ(ReadingIsCurrent(t0 + c.filled, t0 + c.since, t0 + c.now, 10s), c.current)
            << c.name;
    }
}

TEST(PanelRecordsTest, ReadingsBeforeTheLastIdentificationOrCloseAreNotCurrent) {
    PanelRecords records;
    const auto fill = [&] {
        EXPECT_EQ(records.DecodeTemperature(Line(Padded("020200: 000 0 0 0000093A", 49))),
                  kStatusOk);
        EXPECT_EQ(records.DecodeClock(Line("030000:04:00000000XX")), kStatusOk);
    };
    // Both readings current or both not; their contents stay either way.
    const auto current = [&] {
        TemperatureReading t;
        PanelClock clock;
        records.CopyTo(t);
        records.CopyTo(clock);
        EXPECT_DOUBLE_EQ(t.temperature, 23.62);
        EXPECT_EQ(clock.clockEnabled, 1);
        EXPECT_EQ(t.valid, clock.valid);
        return t.valid == 1;
    };
    fill();
    EXPECT_TRUE(current());
    ASSERT_EQ(records.DecodeIdentification(Line(Padded("020A00:0358:05 0105", 36))), kStatusOk);
    EXPECT_FALSE(current());
    fill();
    EXPECT_TRUE(current());
    records.EndContact();
    EXPECT_FALSE(current());
    EXPECT_EQ(records.Identity().identified, 0);
}

// A reader that saw a version knows, without copying, whether a copy would
// differ: every store moves the count, and the first current reading to get
// too old ends the version with no line arriving.
TEST(PanelRecordsTest, VersionCountsEveryStoreAndEndsWhenTheFirstReadingExpires) {
    using namespace std::chrono_literals;
    PanelRecords records(10s);
    EXPECT_EQ(records.Version().freshUntil, MonotonicTime::max());  // nothing current
    const MonotonicTime before = MonotonicClock::now();
    ASSERT_EQ(records.DecodeTemperature(Line(Padded("020200: 000 0 0 0000093A", 49))), kStatusOk);
    const MonotonicTime after = MonotonicClock::now();
    const RecordsVersion first = records.Version();
    EXPECT_GE(first.freshUntil, before + 10s);
    EXPECT_LE(first.freshUntil, after + 10s);

    // The listener hears of every counted change once the store is done: it
    // may look at the records from inside the call.
    struct Listener : RecordsListener {
        PanelRecords* records = nullptr;
        std::vector<uint64_t> heard;
        void RecordsChanged() override { heard.push_back(records->Version().changes); }
    } listener;
    listener.records = &records;
    records.SetListener(&listener);

    TemperatureReading copy;
    const std::pair<std::function<void()>, bool> steps[] = {
        {[&] { records.DecodeClock(Line("030000:04:00000000XX")); }, true},  // a later reading
        {[&] { records.CopyTo(copy); }, false},
        {[&] { records.DecodeTemperature(Line("020200:00")); }, false},  // too short to store
        {[&] { records.StoreParameter(32, 125); }, true},
        {[&] { records.SetReadComplete(0); }, true},
        {[&] { records.NoteChange(); }, true},  // the link state
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const uint64_t changes = records.Version().changes;
        const std::size_t heard = listener.heard.size();
        steps[i].first();
        EXPECT_EQ(records.Version().changes > changes, steps[i].second) << i;
        EXPECT_EQ(listener.heard.size() > heard, steps[i].second) << i;
        if (steps[i].second) {
            EXPECT_EQ(listener.heard.back(), records.Version().changes) << i;
        }
        EXPECT_EQ(records.Version().freshUntil, first.freshUntil) << i;
    }
    records.SetListener(nullptr);
    const uint64_t changes = records.Version().changes;
    records.EndContact();
    EXPECT_GT(records.Version().changes, changes);
    EXPECT_EQ(records.Version().freshUntil, MonotonicTime::max());
}

TEST(PanelRecordsTest, RegulatorLine) {
    PanelRecords records;
    // Floats at 13, 22, ... 76 with one separator between; loop period at 85-88.
    const std::string text = Compact(
        "028800: 00 0 0 2 0 41200000: 41CC0000: BFC00000: 3F800000: 40000000: 40400000: 40800000: "
        "C0A00000: 0032 XX");
    ASSERT_EQ(records.DecodeRegulator(Line(text)), kStatusOk);
    RegulatorState r;
    records.CopyTo(r);
    EXPECT_EQ(r.cvLock, 1);
    EXPECT_DOUBLE_EQ(r.error, 10.0);
    EXPECT_DOUBLE_EQ(r.processValue, 25.5);
    EXPECT_DOUBLE_EQ(r.controlValue, -1.5);
    EXPECT_DOUBLE_EQ(r.loopTerm1, 1.0);
    EXPECT_DOUBLE_EQ(r.loopTerm2, 2.0);
    EXPECT_DOUBLE_EQ(r.loopTerm3, 3.0);
    EXPECT_DOUBLE_EQ(r.pvDerivative1, 4.0);
    EXPECT_DOUBLE_EQ(r.pvDerivative2, -5.0);
    EXPECT_EQ(r.loopPeriod, 0x32);
    EXPECT_EQ(r.valid, 1);

    // Error bit: refused; other digits 7-8: ignored. Neither changes the record.
    std::string failed = text;
    failed[11] = '1';
    EXPECT_EQ(records.DecodeRegulator(Line(failed)), kStatusFailed);
    std::string other = text;
    other[8] = '1';
    other[31] = '0';
    EXPECT_EQ(records.DecodeRegulator(Line(other)), kStatusOk);
    records.CopyTo(r);
    EXPECT_DOUBLE_EQ(r.controlValue, -1.5);
}

TEST(PanelRecordsTest, ValveLine) {
    PanelRecords records;
    const std::string text =
        Padded("028900: 00 0 42C80000 0 FFFFFFFF 0 00000064 0 0 3 0 3 0 01F4", 47);
    ASSERT_EQ(records.DecodeValve(Line(text)), kStatusOk);
    ValveState v;
    records.CopyTo(v);
    EXPECT_DOUBLE_EQ(v.position, 10.0);
    EXPECT_EQ(v.timer1, -1);
    EXPECT_EQ(v.timer2, 100);
    EXPECT_EQ(v.commandCode, 3);
    EXPECT_EQ(v.motorRunning, 1);
    EXPECT_EQ(v.opening, 1);
    EXPECT_EQ(v.commandValue, 500);
    EXPECT_EQ(v.valid, 1);
}

TEST(PanelRecordsTest, DrainValveVentilationZoneAndRelayLines) {
    PanelRecords records;
    ASSERT_EQ(records.DecodeDrainValve(Line("028A00: 0000012C 0 FFFFFF9C 0 06 0 01 XX")),
              kStatusOk);
    DrainValveState d;
    records.CopyTo(d);
    EXPECT_EQ(d.timer1, 300);
    EXPECT_EQ(d.timer2, -100);
    EXPECT_EQ(d.stateCode, 6);
    EXPECT_EQ(d.valveOpen, 1);
    EXPECT_EQ(d.valid, 1);

    ASSERT_EQ(records.DecodeVentilation(Line("029300: 03 0 02 0 00000E10 0 80000000 XX")),
              kStatusOk);
    VentilationState v;
    records.CopyTo(v);
    EXPECT_EQ(v.virtualFanBits, 3);
    EXPECT_EQ(v.fanBits, 2);
    EXPECT_EQ(v.timeCounter, 3600);
    EXPECT_EQ(v.periodStartCounter, INT32_MIN);

    ASSERT_EQ(records.DecodeActiveZone(Line("029800: 01 000 XX")), kStatusOk);
    ActiveZone z;
    records.CopyTo(z);
    EXPECT_EQ(z.zone, 1);
    EXPECT_EQ(z.valid, 1);

    ASSERT_EQ(records.DecodeRelay(Line("029500: 01 0 00 0 0BB8 XX")), kStatusOk);
    RelayState r;
    records.CopyTo(r);
    EXPECT_EQ(r.relay1, 1);
    EXPECT_EQ(r.relay2, 0);
    EXPECT_EQ(r.loopPeriod, 3000u);
}

TEST(PanelRecordsTest, ClockLine) {
    PanelRecords records;
    EXPECT_EQ(records.DecodeClock(Line("030000: 0 5 0 02304D80 XX")), kStatusFailed);
    PanelClock c;
    records.CopyTo(c);
    EXPECT_EQ(c.valid, 0);

    ASSERT_EQ(records.DecodeClock(Line("030000: 0 4 0 02304D80 XX")), kStatusOk);
    records.CopyTo(c);
    EXPECT_EQ(c.clockEnabled, 1);
    EXPECT_EQ(c.time, (SystemTime{2001, 3, 4, 1, 0, 0, 0, 0}));
    EXPECT_EQ(c.valid, 1);
}

TEST(PanelRecordsTest, PanelInformation) {
    PanelRecords records;
    PanelInfo info;
    EXPECT_EQ(records.DecodePanelInfo(Line("050100: 0 1 XX")), kStatusBusy);
    records.CopyTo(info);
    EXPECT_EQ(info.busy, 1);
    EXPECT_EQ(info.valid, 0);

    //                                    8   10       13    15    18         26 27
    ASSERT_EQ(records.DecodePanelInfo(Line("050100: 0 0 0 9 00 5 0 7F 0 1234 0000 3 4 XX")),
              kStatusOk);
    records.CopyTo(info);
    EXPECT_EQ(info.busy, 0);
    EXPECT_EQ(info.present, 1);
    EXPECT_EQ((std::array<int, 4>{info.status1, info.status2, info.status3, info.status4}),
              (std::array<int, 4>{1, 0, 0, 1}));
    EXPECT_EQ(info.status5, 1);
    EXPECT_EQ(info.probeCalibrationError, 1);
    EXPECT_EQ(info.probeByte, 0x7F);
    EXPECT_EQ(info.probeSerialNumber, 0x1234);
    EXPECT_EQ(info.calibrationYear, 2004);
    EXPECT_EQ(info.calibrationMonth, 5);
    EXPECT_EQ(info.valid, 1);

    // 13 characters: the status bytes and the numbers are 0.
    ASSERT_EQ(records.DecodePanelInfo(Line("050100: 0 0 0 F")), kStatusOk);
    records.CopyTo(info);
    EXPECT_EQ(info.status1, 0);
    EXPECT_EQ(info.probeSerialNumber, 0);
    EXPECT_EQ(info.calibrationYear, 0);
}

// Each layout at its minimum length decodes; one byte less is refused and
// leaves the record as it was.
TEST(PanelRecordsTest, OneByteShortLinesChangeNothing) {
    using Decode = std::function<int(PanelRecords&, const AnswerLine&)>;
    using Valid = std::function<int(const PanelRecords&)>;
    struct Case {
        std::string head;
        std::size_t minimum;
        Decode decode;
        Valid valid;
    };
    const auto valid = [](auto record) {
        return [record](const PanelRecords& r) mutable {
            r.CopyTo(record);
            return static_cast<int>(record.valid);
        };
    };
    const Case cases[] = {
        {"020200:", 51, &PanelRecords::DecodeTemperature, valid(TemperatureReading{})},
        {"028000:", 21, &PanelRecords::DecodeSetpoint, valid(SetpointReading{})},
        {"028B00:", 24, &PanelRecords::DecodeDualSetpoint, valid(SetpointReading{})},
        {"028800:", 88, &PanelRecords::DecodeRegulator, valid(RegulatorState{})},
        {"028900:", 49, &PanelRecords::DecodeValve, valid(ValveState{})},
        {"028A00:", 29, &PanelRecords::DecodeDrainValve, valid(DrainValveState{})},
        {"029300:", 29, &PanelRecords::DecodeVentilation, valid(VentilationState{})},
        {"029800:", 14, &PanelRecords::DecodeActiveZone, valid(ActiveZone{})},
        {"029500:", 14, &PanelRecords::DecodeRelay, valid(RelayState{})},
        {"030000:", 10, &PanelRecords::DecodeClock, valid(PanelClock{})},
        {"050100:", 9, &PanelRecords::DecodePanelInfo, valid(PanelInfo{})},
    };
    for (const Case& c : cases) {
        PanelRecords records;
        EXPECT_EQ(c.decode(records, Line(Padded(c.head, c.minimum - 3))), kStatusFailed) << c.head;
        EXPECT_EQ(c.valid(records), 0) << c.head;
        EXPECT_EQ(c.decode(records, Line(Padded(c.head, c.minimum - 2))), kStatusOk) << c.head;
        EXPECT_EQ(c.valid(records), 1) << c.head;
    }
}

TEST(PanelRecordsTest, ParameterReadAnswers) {
    struct Case {
        const char* text;
        int status;
        int code;
        int64_t cached;  // value of `code` afterwards
    };
    //     code        13    15 16   value
    const Case cases[] = {
        {"028600:0024:00:81:FF XX", kStatusOk, 36, -1},
        {"028600:005A:00:82:F830 XX", kStatusOk, 90, 0xF830},
        {"028600:0020:00:82:F830 XX", kStatusOk, 32, -2000},
        {"028600:0020:00:02:F830 XX", kStatusOk, 32, 0xF830},
        {"028600:0084:00:04:0000D6D8 XX", kStatusOk, 132, 55000},
        {"028600:0084:00:8C:FFFFFFFF XX", kStatusOk, 132, -1},  // count 4 of C
        {"028600:0024:01:81:05 XX", kStatusFailed, 36, 0},      // error bit
        {"028600:0024:00:C1:05 XX", kStatusFailed, 36, 0},      // failed bit
        {"028600:0024:00:80:05 XX", kStatusFailed, 36, 0},      // no bytes
        {"028600:0024:00:84:05 XX", kStatusFailed, 36, 0},      // 4 bytes need 26
        {"028600:0024:00:82:", kStatusFailed, 36, 0},           // 20 < 4 + 18
        {"028600:0024:00", kStatusFailed, 36, 0},               // 16 characters
    };
    for (const Case& c : cases) {
        PanelRecords records;
        int code = -1;
        EXPECT_EQ(records.DecodeParameterRead(Line(c.text), code), c.status) << c.text;
        if (c.status == kStatusOk) {
            EXPECT_EQ(code, c.code) << c.text;
        }
        ParameterSet p;
        records.CopyTo(p);
        EXPECT_EQ(p.Value(c.code), c.cached) << c.text;
    }
}

TEST(PanelRecordsTest, ParameterWriteAccepted) {
    struct Case {
        const char* text;
        int status;
    };
    const Case cases[] = {
        {"028700:005A00F8:0000XX", kStatusOk},
        {"028700:005A00F8:0001XX", kStatusFailed},
        {"028700:005A00F8:0002XX", kStatusOk},
        {"028700:005A00F8:", kStatusFailed},  // 18 characters
        {"028700:005A00F8:0", kStatusOk},     // 19 characters: digit 19 reads 0
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PanelRecords::DecodeParameterWrite(Line(c.text)), c.status) << c.text;
    }
}

}  // namespace
}  // namespace tk358
