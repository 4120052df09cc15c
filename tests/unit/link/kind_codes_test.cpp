// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/kind_codes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "link/parameter_codes.h"
#include "link/records.h"

namespace tk358 {
namespace {

std::vector<int> Codes(WriteGroup group) {
    std::vector<int> codes;
    for (const GroupCode& entry : group) {
        codes.push_back(entry.code);
    }
    return codes;
}

std::vector<int> ReadOf(int kind) {
    std::vector<int> codes(FullReadCodes(kind).begin(), FullReadCodes(kind).end());
    if (kind == kThresholdRegulator) {
        codes.insert(codes.end(), ThresholdExtraCodes().begin(), ThresholdExtraCodes().end());
    }
    return codes;
}

// A write group sends only codes its kind reads back, each once: a code of
// another kind would be written to a panel that does not have it.
TEST(KindCodesTest, WriteGroupsHoldTheirKindsReadCodesOnce) {
    struct Case {
        const char* name;
        int kind;
        WriteGroup group;
        std::size_t size;
    };
    const Case cases[] = {
        {"PID", kTemperatureController, PidWriteGroup(kTemperatureController, 0), 4},
        {"PID zone 1", kDualZoneController, PidWriteGroup(kDualZoneController, 0), 4},
        {"PID zone 2", kDualZoneController, PidWriteGroup(kDualZoneController, 1), 4},
        {"valve", kTemperatureController, ValveWriteGroup(kTemperatureController), 6},
        {"dual valve", kDualZoneController, ValveWriteGroup(kDualZoneController), 7},
        {"drain valve", kDrainValveController, DrainValveWriteGroup(), 3},
        {"ventilation", kVentilationController, VentilationWriteGroup(), 9},
        {"threshold", kThresholdRegulator, ThresholdWriteGroup(), 5},
        {"threshold zones", kThresholdRegulator, ThresholdTimeWriteGroup(), 11},
    };
    for (const Case& c : cases) {
        const std::vector<int> codes = Codes(c.group);
        const std::vector<int> read = ReadOf(c.kind);
        EXPECT_EQ(codes.size(), c.size) << c.name;
        EXPECT_EQ(std::set<int>(codes.begin(), codes.end()).size(), codes.size()) << c.name;
        for (const int code : codes) {
            EXPECT_NE(std::find(read.begin(), read.end(), code), read.end())
                << c.name << " " << code;
        }
    }
}

// The zones differ and the PID set goes Ti, Td, Ta, Kp.
TEST(KindCodesTest, PidGroupsFollowTheZone) {
    using namespace param;
    EXPECT_EQ(Codes(PidWriteGroup(kTemperatureController, 1)), (std::vector{kTi, kTd, kTa, kKp}));
    EXPECT_EQ(Codes(PidWriteGroup(kDualZoneController, 0)),
              (std::vector{kZone1Ti, kZone1Td, kZone1Ta, kZone1Kp}));
    EXPECT_EQ(Codes(PidWriteGroup(kDualZoneController, 7)),
              (std::vector{kZone2Ti, kZone2Td, kZone2Ta, kZone2Kp}));
}

// Which threshold codes go out with one or two channels and old or new firmware.
TEST(KindCodesTest, ThresholdCodesSentByChannelsAndFirmware) {
    using namespace param;
    struct Case {
        WriteGroup group;
        WriteContext context;
        std::vector<int> sent;
    };
    const Case cases[] = {
        {ThresholdWriteGroup(), {false, false}, {kDayT1, kDayH1}},
        {ThresholdWriteGroup(), {true, false}, {kDayT1, kDayT2, kDayH1, kDayH2}},
        {ThresholdWriteGroup(), {false, true}, {kDayT1, kDayH1, kChannels}},
        {ThresholdTimeWriteGroup(),
         {false, false},
         {kDayStart, kNightStart, kDayT1, kDayH1, kNightT1, kNightH1, kChannels}},
        {ThresholdTimeWriteGroup(),
         {true, false},
         {kDayStart, kNightStart, kDayT1, kDayT2, kDayH1, kDayH2, kNightT1, kNightT2, kNightH1,
          kNightH2, kChannels}},
    };
    for (const Case& c : cases) {
        std::vector<int> sent;
        for (const GroupCode& entry : c.group) {
            if (Sent(entry, c.context)) {
                sent.push_back(entry.code);
            }
        }
        EXPECT_EQ(sent, c.sent);
    }
}

}  // namespace
}  // namespace tk358
