// SPDX-License-Identifier: GPL-3.0-or-later
// The trend view's work on a full day of samples: recording a tick, reducing
// the day to pixel columns, building the line segments, and painting the
// whole chart into an image the size of a large window.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>

#include "monitor/trend_chart.h"
#include "trend/trend_decimate.h"
#include "trend/trend_recorder.h"

namespace {

constexpr int64_t kNow = 1'774'742'400;

// A day of three curves, with an hour of lost link in the middle.
const tk358::TrendRecorder& FullDay() {
    static const tk358::TrendRecorder recorder = [] {
        tk358::TrendRecorder r;
        for (int64_t t = kNow - 86'399; t <= kNow; ++t) {
            const double x = static_cast<double>(t % 86'400) / 86'400.0 * 2 * M_PI;
            tk358::TrendValues v{20.0 + 3.0 * std::sin(12 * x) + 0.05 * std::sin(997 * x),
                                 21.0 + static_cast<double>((t / 3600) % 2), 18.5};
            if (t > kNow - 50'000 && t < kNow - 46'400) {
                v = tk358::TrendValues{};
            }
            r.Tick(t * 1000, v);
        }
        return r;
    }();
    return recorder;
}

void BM_RecorderTick(benchmark::State& state) {
    tk358::TrendRecorder r;
    int64_t ms = kNow * 1000;
    for (auto _ : state) {
        ms += 100;
        benchmark::DoNotOptimize(r.Tick(ms, tk358::TrendValues{21.5, 22.0, std::nullopt}));
    }
}
BENCHMARK(BM_RecorderTick);

void BM_DecimateFullDay(benchmark::State& state) {
    const tk358::TrendBuffer& curve = FullDay().Curve(tk358::kTrendTemperature);
    const auto columns = static_cast<int>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            tk358::DecimateTrend(curve, kNow - 86'400.0, static_cast<double>(kNow), columns));
    }
}
BENCHMARK(BM_DecimateFullDay)->Arg(800)->Arg(1800)->Unit(benchmark::kMicrosecond);

void BM_PolylinesFullDay(benchmark::State& state) {
    const tk358::DecimatedCurve d =
        tk358::DecimateTrend(FullDay().Curve(tk358::kTrendTemperature), kNow - 86'400.0,
                             static_cast<double>(kNow), 1800);
    const tk358::TrendMapping map{0, 0, 1800, 800, kNow - 86'400.0, double(kNow), 15, 25};
    for (auto _ : state) {
        benchmark::DoNotOptimize(tk358::TrendPolylines(d, map));
    }
}
BENCHMARK(BM_PolylinesFullDay)->Unit(benchmark::kMicrosecond);

// The whole chart (axes, legend, three curves) painted into an image.
void BM_PaintFullDay(benchmark::State& state) {
    tk358::TrendChart chart(FullDay());
    chart.SetClock([] { return static_cast<double>(kNow); });
    chart.SetSpan(86'400);
    const QSize size(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    chart.resize(size);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        chart.Draw(painter, size);
    }
}
BENCHMARK(BM_PaintFullDay)->Args({800, 450})->Args({1900, 1000})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
