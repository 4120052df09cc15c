// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/parameter_set.h"

#include <gtest/gtest.h>

#include "link/parameter_codes.h"

namespace tk358 {
namespace {

TEST(ParameterSetTest, SlotsByCode) {
    struct Case {
        int code;
        bool slot;
        bool narrow;
    };
    const Case cases[] = {
        {0, true, false},   {1, true, false},    {2, false, false},   {5, false, false},
        {6, true, false},   {8, true, false},    {9, false, false},   {31, false, false},
        {32, true, false},  {38, true, false},   {39, false, false},  {64, true, false},
        {66, true, false},  {67, false, false},  {72, true, false},   {80, true, false},
        {89, false, false}, {90, true, true},    {93, true, true},    {94, false, false},
        {95, true, true},   {96, false, false},  {127, false, false}, {128, true, false},
        {146, true, false}, {147, false, false}, {159, false, false}, {160, true, true},
        {165, true, true},  {166, false, false}, {-1, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParameterSet::HasSlot(c.code), c.slot) << "code " << c.code;
        EXPECT_EQ(ParameterSet::IsNarrowSlot(c.code), c.narrow) << "code " << c.code;
    }
}

TEST(ParameterSetTest, NarrowSlotsCutTheValueAndReadBothWays) {
    ParameterSet p;
    p.Store(90, -2000);
    EXPECT_EQ(p.Value(90), 0xF830);
    EXPECT_EQ(p.Signed16(90), -2000);
    EXPECT_EQ(p.Unsigned16(90), 0xF830);
    EXPECT_TRUE(p.Matches(90, -2000));
    EXPECT_TRUE(p.Matches(90, 0xF830));
    EXPECT_FALSE(p.Matches(90, -1999));
}

TEST(ParameterSetTest, WideSlotsKeepSignedValues) {
    ParameterSet p;
    p.Store(132, 55000);
    p.Store(36, -1);
    EXPECT_EQ(p.Value(132), 55000);
    EXPECT_EQ(p.Value(36), -1);
    EXPECT_TRUE(p.Matches(36, -1));
}

TEST(ParameterSetTest, CodesWithoutSlotStoreNothing) {
    ParameterSet p;
    p.Store(166, 7);
    p.Store(2, 7);
    EXPECT_EQ(p.Value(166), 0);
    EXPECT_EQ(p.Value(2), 0);
    EXPECT_FALSE(p.Matches(2, 0));
}

// Each code is read one way wherever it is shown, whatever sign the panel's
// answer carried.
TEST(ParameterSetTest, ShownReadsEachCodeOneWay) {
    const struct {
        int code;
        int64_t stored;
        int32_t shown;
    } cases[] = {
        {param::kDeadBand, -1, 255},
        {param::kDeadBand, 255, 255},
        {param::kValveCloseTime, -5, -5},
        {param::kVentT1, 63536, -2000},
        {param::kVentT2, -5, -5},
        {param::kAiringThreshold, 65036, -500},
        {param::kVentH1, 255, 255},
        {param::kDayT1, -2000, -2000},
        {param::kDayH2, -1, 0xFFFF},
        {param::kChannels, 2, 2},
        {param::kZone1Setpoint, 55000, 55000},
        {param::kDualDeadBand, 250, 250},
        {param::kCv, 5, 0},  // no slot
    };
    for (const auto& c : cases) {
        ParameterSet p;
        p.Store(c.code, c.stored);
        EXPECT_EQ(p.Shown(c.code), c.shown) << c.code << " " << c.stored;
    }
}

TEST(ParameterSetTest, ReadCompleteByKind) {
    ParameterSet p;
    p.SetReadComplete(4);
    p.SetReadComplete(7);
    EXPECT_TRUE(p.ReadComplete(4));
    EXPECT_FALSE(p.ReadComplete(3));
    EXPECT_FALSE(p.ReadComplete(7));
    EXPECT_FALSE(p.ReadComplete(-1));
}

}  // namespace
}  // namespace tk358
