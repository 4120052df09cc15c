// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/main_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace tk358 {
namespace {

using F = ServiceField;

// u = 2 keeps the grid lengths easy to follow: M 148, R 72, O 92, P 24, S 24,
// g 4, U 8, V 16, Q 2, W 288; m = 10 puts the content top at 44.
MainLayoutInput Input(int type, bool service, int width = 1200) {
    MainLayoutInput in;
    in.clientWidth = width;
    in.clientHeight = 800;
    in.margin = 10;
    in.unit = 2.0;
    in.statusEditHeight = 20;
    in.deviceType = type;
    in.serviceView = service;
    return in;
}

std::map<ServiceBox, Rect> Boxes(const MainLayout& layout) {
    std::map<ServiceBox, Rect> boxes;
    for (const BoxPlacement& b : layout.boxes) {
        boxes[b.box] = b.rect;
    }
    return boxes;
}

const FieldPlacement& Field(const MainLayout& layout, ServiceField field) {
    const auto it = std::find_if(layout.fields.begin(), layout.fields.end(),
                                 [field](const FieldPlacement& f) { return f.field == field; });
    EXPECT_NE(it, layout.fields.end()) << static_cast<int>(field);
    return *it;
}

bool Overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const Rect& inner, const Rect& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

TEST(MainLayoutTest, ServiceViewOffGivesDisplaysTheWholeArea) {
    const MainLayout l = ComputeMainLayout(Input(kTemperatureController, false));
    EXPECT_EQ(l.indicator, (Rect{10, 10, 34, 34}));
    EXPECT_EQ(l.statusLine, (Rect{39, 12, 1190, 32}));
    EXPECT_TRUE(l.boxes.empty());
    EXPECT_TRUE(l.fields.empty());
    EXPECT_EQ(l.temperature, (Rect{10, 44, 1190, 417}));
    EXPECT_EQ(l.setpoint, (Rect{10, 427, 1190, 790}));
    EXPECT_FALSE(l.setpoint2.has_value());
}

TEST(MainLayoutTest, TemperatureControllerGroup) {
    const MainLayout l = ComputeMainLayout(Input(kTemperatureController, true));
    const auto boxes = Boxes(l);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes.at(ServiceBox::kRegulation), (Rect{10, 44, 284, 268}));
    // The last column (x 1010) ends at 1176; with V it needs 1192, past the margin at 1190.
    EXPECT_EQ(boxes.at(ServiceBox::kPid), (Rect{294, 44, 1192, 268}));
    const FieldPlacement& first = Field(l, F::kValveOpenTime);
    EXPECT_EQ(first.label, (Rect{26, 68, 174, 92}));
    EXPECT_EQ(first.edit, (Rect{176, 68, 268, 92}));
    EXPECT_EQ(Field(l, F::kCvLock).label, (Rect{26, 236, 174, 260}));
    EXPECT_EQ(Field(l, F::kDeadBand).label.top, 124);  // A04 above A03
    EXPECT_EQ(Field(l, F::kKp).label, (Rect{298, 68, 370, 92}));
    EXPECT_EQ(Field(l, F::kPv).label, (Rect{654, 68, 726, 92}));
    EXPECT_EQ(Field(l, F::kTimer1).label, (Rect{1010, 208, 1082, 232}));
    EXPECT_EQ(Field(l, F::kTimer1).edit, (Rect{1084, 208, 1176, 232}));
    // Displays below the group: the temperature display m lower, the halves split.
    EXPECT_EQ(l.temperature, (Rect{10, 278, 1190, 529}));
    EXPECT_EQ(l.setpoint, (Rect{10, 539, 1190, 790}));
}

TEST(MainLayoutTest, NarrowWindowKeepsMinimumColumnSpacing) {
    const MainLayout l = ComputeMainLayout(Input(kTemperatureController, true, 600));
    EXPECT_EQ(Field(l, F::kPv).label.left, 466);     // m + W + R + O + 2Q
    EXPECT_EQ(Field(l, F::kMotor).label.left, 634);  // one more column step
    EXPECT_EQ(Boxes(l).at(ServiceBox::kPid).right, 816);
    EXPECT_EQ(l.temperature.right, 590);
}

TEST(MainLayoutTest, DrainValveGroupEndsBelowTheTallerBox) {
    const MainLayout l = ComputeMainLayout(Input(kDrainValveController, true));
    const auto boxes = Boxes(l);
    EXPECT_EQ(boxes.at(ServiceBox::kRegulation), (Rect{10, 44, 284, 156}));
    EXPECT_EQ(boxes.at(ServiceBox::kPid), (Rect{294, 44, 1192, 212}));
    EXPECT_EQ(Field(l, F::kDrainStatus).label, (Rect{1010, 152, 1082, 176}));
    EXPECT_EQ(Field(l, F::kSp).label, (Rect{298, 180, 370, 204}));
    EXPECT_EQ(l.temperature.top, 222);
}

TEST(MainLayoutTest, VentilationGroupHasOneBoxAndNoSetpointDisplay) {
    for (bool service : {false, true}) {
        const MainLayout l = ComputeMainLayout(Input(kVentilationController, service));
        EXPECT_FALSE(l.setpoint.has_value());
        EXPECT_FALSE(l.setpoint2.has_value());
    }
    const MainLayout l = ComputeMainLayout(Input(kVentilationController, true));
    ASSERT_EQ(l.boxes.size(), 1u);
    EXPECT_EQ(l.boxes[0].rect, (Rect{10, 44, 1192, 212}));
    EXPECT_EQ(Field(l, F::kTimeCounter).label.left, 480);
    EXPECT_EQ(Field(l, F::kAiringThreshold).label, (Rect{934, 68, 1082, 92}));
    EXPECT_EQ(l.temperature, (Rect{10, 222, 1190, 501}));
}

TEST(MainLayoutTest, DualZoneGroup) {
    const MainLayout l = ComputeMainLayout(Input(kDualZoneController, true));
    const auto boxes = Boxes(l);
    EXPECT_EQ(boxes.at(ServiceBox::kRegulation), (Rect{10, 44, 284, 324}));
    EXPECT_EQ(boxes.at(ServiceBox::kPid), (Rect{294, 44, 706, 324}));
    EXPECT_EQ(boxes.at(ServiceBox::kOperational), (Rect{716, 44, 1190, 324}));
    EXPECT_EQ(Field(l, F::kZone2Sp).label.left, 524);
    EXPECT_EQ(Field(l, F::kActiveZone).label.left, 782);
    EXPECT_EQ(Field(l, F::kTimer1).edit, (Rect{1082, 292, 1174, 316}));
    EXPECT_EQ(Field(l, F::kReverse).label.top, 236);
}

TEST(MainLayoutTest, ThresholdRegulatorWithTwoSetpoints) {
    MainLayoutInput in = Input(kThresholdRegulator, true);
    in.twoSetpoints = true;
    const MainLayout l = ComputeMainLayout(in);
    const auto boxes = Boxes(l);
    // Four rows, but as high as the five-row box beside it.
    EXPECT_EQ(boxes.at(ServiceBox::kRegulation), (Rect{10, 44, 284, 212}));
    EXPECT_EQ(boxes.at(ServiceBox::kOperational), (Rect{294, 44, 1190, 212}));
    EXPECT_EQ(Field(l, F::kDayStart).label.left, 298);
    EXPECT_EQ(Field(l, F::kNightH2).edit, (Rect{1082, 180, 1174, 204}));
    EXPECT_EQ(l.temperature, (Rect{10, 222, 1190, 501}));
    EXPECT_EQ(l.setpoint, (Rect{10, 511, 595, 790}));
    EXPECT_EQ(l.setpoint2, (Rect{605, 511, 1190, 790}));

    in.twoSetpoints = false;
    const MainLayout one = ComputeMainLayout(in);
    EXPECT_EQ(one.setpoint, (Rect{10, 511, 1190, 790}));
    EXPECT_FALSE(one.setpoint2.has_value());
    in.deviceType = kDualZoneController;
    in.twoSetpoints = true;
    EXPECT_FALSE(ComputeMainLayout(in).setpoint2.has_value());
}

TEST(MainLayoutTest, FieldsSitInsideTheirBoxesWithoutOverlap) {
    // Usual metrics: a 6-pixel margin and 1.75 pixels per dialog unit.
    for (int type : {0, 1, 2, 3, 4, 5}) {
        for (int width : {200, 640, 800, 1024, 1920}) {
            MainLayoutInput in = Input(type, true, width);
            in.margin = 6;
            in.unit = 1.75;
            const MainLayout l = ComputeMainLayout(in);
            const ServiceGroup group = ServiceGroupFor(type);
            std::set<ServiceField> placed;
            for (const FieldPlacement& f : l.fields) {
                EXPECT_TRUE(placed.insert(f.field).second);
                for (const Rect& r : {f.label, f.edit}) {
                    EXPECT_TRUE(
                        std::any_of(l.boxes.begin(), l.boxes.end(),
                                    [&r](const BoxPlacement& b) { return Inside(r, b.rect); }))
                        << "type " << type << " width " << width << " field " << int(f.field);
                }
            }
            EXPECT_EQ(placed, std::set<ServiceField>(group.fields.begin(), group.fields.end()));
            std::vector<Rect> rects;
            for (const FieldPlacement& f : l.fields) {
                rects.push_back(f.label);
                rects.push_back(f.edit);
            }
            for (std::size_t i = 0; i < rects.size(); ++i) {
                for (std::size_t j = i + 1; j < rects.size(); ++j) {
                    EXPECT_FALSE(Overlap(rects[i], rects[j]))
                        << "type " << type << " width " << width;
                }
            }
            for (std::size_t i = 1; i < l.boxes.size(); ++i) {
                EXPECT_FALSE(Overlap(l.boxes[i - 1].rect, l.boxes[i].rect)) << type;
            }
        }
    }
}

TEST(MainLayoutTest, TinyWindowGivesEmptyRectanglesNotNegativeOnes) {
    MainLayoutInput in = Input(kThresholdRegulator, true, 30);
    in.clientHeight = 40;
    in.twoSetpoints = true;
    const MainLayout l = ComputeMainLayout(in);
    for (const Rect& r : {l.statusLine, l.temperature, *l.setpoint, *l.setpoint2}) {
        EXPECT_GE(r.Width(), 0);
        EXPECT_GE(r.Height(), 0);
    }
}

TEST(MainLayoutTest, MarginClamp) {
    const std::pair<int, int> cases[] = {{-3, 6}, {0, 6}, {6, 6}, {13, 13}, {20, 20}, {25, 20}};
    for (auto [frame, margin] : cases) {
        EXPECT_EQ(ClampMargin(frame), margin);
    }
    MainLayoutInput in = Input(kTemperatureController, false);
    in.margin = 3;
    EXPECT_EQ(ComputeMainLayout(in).indicator, (Rect{6, 6, 30, 30}));
}

}  // namespace
}  // namespace tk358
