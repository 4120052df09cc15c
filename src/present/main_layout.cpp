// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/main_layout.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace tk358 {

namespace {

using F = ServiceField;

constexpr int kIndicatorSize = 24;

// Lengths of the service grid in pixels; the dialog-unit ones are truncated.
struct Grid {
    int width;  // client width
    int m;      // margin
    int t0;     // content top, below the indicator
    int M;      // wide label
    int R;      // narrow label
    int O;      // field
    int P;      // row height
    int S;      // first row below a box top
    int g;      // row gap
    int U;      // space below the last row
    int V;      // inner margin
    int Q;      // label-to-field gap
    int W;      // x of the second box's first column

    int FirstBoxRight() const { return m + 2 * V + M + Q + O; }
    int RowTop(int row) const { return t0 + S + row * (P + g); }
    int BoxBottom(int rows) const { return t0 + S + rows * P + (rows - 1) * g + U; }
    // The width left over beside `used` pixels of columns, shared out between them.
    int Leftover(int used) const { return std::max(0, width - 2 * m - used); }
    // The rightmost box reaches the right margin, or past it when its last column needs.
    int RightmostBoxRight(int lastColumnRight) const {
        return std::max(width - m, lastColumnRight + V);
    }
};

int DialogUnits(double units, double u) {
    return static_cast<int>(units * u);
}

Grid MakeGrid(const MainLayoutInput& in, int m) {
    const double u = std::isfinite(in.unit) && in.unit > 0 ? in.unit : 0.0;
    Grid grid{};
    grid.width = in.clientWidth;
    grid.m = m;
    grid.t0 = 2 * m + kIndicatorSize;
    grid.M = DialogUnits(74, u);
    grid.R = DialogUnits(36, u);
    grid.O = DialogUnits(46, u);
    grid.P = DialogUnits(12, u);
    grid.S = DialogUnits(12, u);
    grid.g = DialogUnits(2, u);
    grid.U = DialogUnits(4, u);
    grid.V = DialogUnits(8, u);
    grid.Q = 2;
    grid.W = 3 * grid.V + grid.M + grid.O;
    return grid;
}

class Placer {
public:
    Placer(const Grid& grid, MainLayout& out) : grid_(grid), out_(out) {}

    // One column of labelled fields from the top row down; returns its right edge.
    int Column(int x, bool wide, std::initializer_list<ServiceField> rows) {
        const int labelWidth = wide ? grid_.M : grid_.R;
        const int editLeft = x + labelWidth + grid_.Q;
        int row = 0;
        for (ServiceField field : rows) {
            const int top = grid_.RowTop(row++);
            const int bottom = top + grid_.P;
            out_.fields.push_back({field,
                                   {x, top, x + labelWidth, bottom},
                                   {editLeft, top, editLeft + grid_.O, bottom}});
        }
        return editLeft + grid_.O;
    }

    void Box(ServiceBox box, int left, int right, int rows) {
        out_.boxes.push_back({box, {left, grid_.t0, right, grid_.BoxBottom(rows)}});
    }

private:
    const Grid& grid_;
    MainLayout& out_;
};

// Temperature controller (and unknown kinds) and drain-valve controller share
// the column positions.
void PlaceTemperatureGroup(Placer& p, const Grid& g) {
    const int f1 = g.Leftover(g.M + 3 * g.R + 4 * g.O + 4 * g.Q + 4 * g.V);
    const int w2 = g.W + g.R + g.O + 2 * g.Q + f1 / 2;
    const int w3 = w2 + g.R + g.O + 2 * g.Q + f1 / 2;
    p.Column(g.m + g.V, true,
             {F::kValveOpenTime, F::kValveCloseTime, F::kDeadBand, F::kDeadTime, F::kMinStandstill,
              F::kMinOnTime, F::kCvLock});
    p.Column(g.m + g.W, false, {F::kKp, F::kTi, F::kTd, F::kTa, F::kError, F::kCv, F::kLoopPeriod});
    p.Column(
        g.m + w2, false,
        {F::kPv, F::kSp, F::kPvDerivative1, F::kPvDerivative2, F::kTermP, F::kTermI, F::kTermD});
    const int last =
        p.Column(g.m + w3, false,
                 {F::kMotor, F::kPosition, F::kCommand, F::kCommandValue, F::kTimer2, F::kTimer1});
    p.Box(ServiceBox::kRegulation, g.m, g.FirstBoxRight(), 7);
    p.Box(ServiceBox::kPid, g.FirstBoxRight() + g.m, g.RightmostBoxRight(last), 7);
}

void PlaceDrainValveGroup(Placer& p, const Grid& g) {
    const int f1 = g.Leftover(g.M + 3 * g.R + 4 * g.O + 4 * g.Q + 4 * g.V);
    const int w2 = g.W + g.R + g.O + 2 * g.Q + f1 / 2;
    const int w3 = w2 + g.R + g.O + 2 * g.Q + f1 / 2;
    p.Column(g.m + g.V, true, {F::kDrainTime, F::kCloseDelay, F::kDeviation});
    p.Column(g.m + g.W, false, {F::kError, F::kCv, F::kLoopPeriod, F::kPv, F::kSp});
    p.Column(g.m + w2, false,
             {F::kPvDerivative1, F::kPvDerivative2, F::kTermP, F::kTermI, F::kTermD});
    const int last =
        p.Column(g.m + w3, false, {F::kTimer2, F::kTimer1, F::kDrainValve, F::kDrainStatus});
    p.Box(ServiceBox::kRegulation, g.m, g.FirstBoxRight(), 3);
    p.Box(ServiceBox::kPid, g.FirstBoxRight() + g.m, g.RightmostBoxRight(last), 5);
}

// One box only, which is therefore also the rightmost.
void PlaceVentilationGroup(Placer& p, const Grid& g) {
    const int f4 = g.Leftover(3 * g.O + 3 * g.M + 4 * g.Q + 4 * g.V);
    const int k2 = g.M + 2 * g.V + g.O + 2 * g.Q + f4 / 2;
    const int k3 = k2 + g.V + g.M + g.O + 2 * g.Q + f4 / 2;
    p.Column(g.m + g.V, true, {F::kVentT1, F::kVentT2, F::kVentH1, F::kVentH2, F::kAiring});
    p.Column(g.m + k2, true,
             {F::kTimeCounter, F::kPeriodStart, F::kFans, F::kAiringTime, F::kAiringPeriod});
    const int last =
        p.Column(g.m + k3, true,
                 {F::kAiringThreshold, F::kFan1, F::kFan2, F::kVirtualFan1, F::kVirtualFan2});
    p.Box(ServiceBox::kRegulation, g.m, g.RightmostBoxRight(last), 5);
}

void PlaceDualZoneGroup(Placer& p, const Grid& g) {
    const int f2 = g.Leftover(3 * g.V + 6 * g.Q + 4 * g.R + 4 * g.O + g.W);
    const int d2 = g.W + g.R + g.O + 2 * g.Q + f2 / 3;
    const int d3 = d2 + 2 * g.V + g.R + g.O + 2 * g.Q + f2 / 3;
    const int d4 = d3 + g.R + g.O + 2 * g.Q + f2 / 3;
    p.Column(g.m + g.V, true,
             {F::kValveOpenTime, F::kValveCloseTime, F::kDeadBand, F::kDeadTime, F::kMinStandstill,
              F::kMinOnTime, F::kReverse});
    p.Column(g.m + g.W, false,
             {F::kZone1Sp, F::kZone1Start, F::kZone1Kp, F::kZone1Ti, F::kZone1Td, F::kZone1At});
    p.Column(g.m + d2, false,
             {F::kZone2Sp, F::kZone2Start, F::kZone2Kp, F::kZone2Ti, F::kZone2Td, F::kZone2At});
    p.Column(g.m + d3, false,
             {F::kActiveZone, F::kCvLock, F::kPv, F::kSp, F::kError, F::kCv, F::kLoopPeriod,
              F::kTermP, F::kTermI});
    const int last =
        p.Column(g.m + d4, false,
                 {F::kTermD, F::kPvDerivative1, F::kPvDerivative2, F::kMotor, F::kPosition,
                  F::kCommand, F::kCommandValue, F::kTimer2, F::kTimer1});
    const int pidLeft = g.FirstBoxRight() + g.m;
    const int pidRight = g.m + d2 + g.R + g.V + g.Q + g.O;
    p.Box(ServiceBox::kRegulation, g.m, g.FirstBoxRight(), 9);
    p.Box(ServiceBox::kPid, pidLeft, pidRight, 9);
    p.Box(ServiceBox::kOperational, pidRight + g.m, g.RightmostBoxRight(last), 9);
}

// The regulation box holds four rows but is as high as the five-row box
// beside it, so that both end on one line.
void PlaceThresholdGroup(Placer& p, const Grid& g) {
    const int f3 = g.Leftover(g.V + g.W + 2 * g.O + 2 * g.M + 3 * g.Q);
    p.Column(g.m + g.V, true, {F::kRelay1, F::kRelay2, F::kRelayLoopPeriod, F::kChannels});
    p.Column(g.m + g.W, true, {F::kDayStart, F::kDayT1, F::kDayT2, F::kDayH1, F::kDayH2});
    const int last = p.Column(g.m + g.W + g.M + g.O + 2 * g.Q + f3, true,
                              {F::kNightStart, F::kNightT1, F::kNightT2, F::kNightH1, F::kNightH2});
    p.Box(ServiceBox::kRegulation, g.m, g.FirstBoxRight(), 5);
    p.Box(ServiceBox::kOperational, g.FirstBoxRight() + g.m, g.RightmostBoxRight(last), 5);
}

void PlaceServiceGroup(int deviceType, Placer& p, const Grid& g) {
    switch (deviceType) {
        case kDrainValveController:
            PlaceDrainValveGroup(p, g);
            break;
        case kVentilationController:
            PlaceVentilationGroup(p, g);
            break;
        case kDualZoneController:
            PlaceDualZoneGroup(p, g);
            break;
        case kThresholdRegulator:
            PlaceThresholdGroup(p, g);
            break;
        default:
            PlaceTemperatureGroup(p, g);
            break;
    }
}

Rect Normalized(Rect r) {
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
    return r;
}

// The value displays fill the area from `areaTop` to the bottom margin.
void PlaceValueDisplays(const MainLayoutInput& in, int m, int areaTop, MainLayout& out) {
    const int right = in.clientWidth - m;
    const int bottom = in.clientHeight - m;
    const int middle = (areaTop + bottom) / 2;
    const int temperatureTop = in.serviceView ? areaTop + m : areaTop;
    out.temperature = Normalized({m, temperatureTop, right, middle});
    if (in.deviceType == kVentilationController) {
        return;
    }
    if (in.deviceType == kThresholdRegulator && in.twoSetpoints) {
        const int split = (in.clientWidth - m) / 2;
        out.setpoint = Normalized({m, middle + m, split, bottom});
        out.setpoint2 = Normalized({split + m, middle + m, right, bottom});
    } else {
        out.setpoint = Normalized({m, middle + m, right, bottom});
    }
}

}  // namespace

int ClampMargin(int frameWidth) {
    return std::clamp(frameWidth, 6, 20);
}

MainLayout ComputeMainLayout(const MainLayoutInput& in) {
    const int m = ClampMargin(in.margin);
    MainLayout out;
    out.indicator = {m, m, m + kIndicatorSize, m + kIndicatorSize};
    const int editHeight = std::max(in.statusEditHeight, 0);
    const int editTop = m + (kIndicatorSize - editHeight) / 2;
    out.statusLine =
        Normalized({m + kIndicatorSize + m / 2, editTop, in.clientWidth - m, editTop + editHeight});

    int areaTop = 2 * m + kIndicatorSize;
    if (in.serviceView) {
        const Grid grid = MakeGrid(in, m);
        Placer placer(grid, out);
        PlaceServiceGroup(in.deviceType, placer, grid);
        areaTop = out.boxes.back().rect.bottom;  // the box placed last
    }
    PlaceValueDisplays(in, m, areaTop, out);
    return out;
}

}  // namespace tk358
