// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The trend view of the main window: records what the three value displays
// show on each refresh tick, one sample a second for 24 hours, from the start
// of the program whether the chart is open or not, and keeps the "Wykres"
// window (one instance) with its place, span and open state, its part of the
// settings (section TREND). Owned by the main window.

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>

#include "settings/app_settings.h"
#include "trend/trend_csv.h"
#include "trend/trend_recorder.h"

class QColor;

namespace tk358 {

class MainWindow;
class TrendWindow;

class TrendController : public QObject {
    Q_OBJECT

public:
    // Records once Tick is called on the window's refresh ticks.
    explicit TrendController(MainWindow& window);
    ~TrendController() override;

    // Its part of the settings; ApplySettings before the main window is first
    // shown, which reopens the chart when it was open at the end of the last
    // run.
    void ApplySettings(const TrendSettings& settings);
    const TrendSettings& Settings() const { return settings_; }

    // The separator and decimal sign of the chart's CSV export.
    void SetCsvOptionsSource(std::function<TrendCsvOptions()> source);

    // "Widok" -> "Wykres": opens the chart, or raises it when it is open.
    void Open();
    // Opens the chart on measurement logs (`tk358 --chart FILE...`).
    void OpenLogs(const QStringList& files);
    // The program's end hides the chart without counting as the operator's
    // close: it reopens at the next start.
    void HideForEnd();

    const TrendRecorder& Recorder() const { return recorder_; }
    TrendRecorder& Recorder() { return recorder_; }
    // The chart window; nullptr until it is first opened.

    // The wall clock in milliseconds since the epoch; tests set their own.
    void SetClock(std::function<int64_t()> wallMs);

    // One refresh tick of the main window.
    void Tick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One sample to the recorder, and to the chart when it stored one.
    void Feed(int64_t wallMs, const TrendValues& values);
    void CreateWindow();
    void RecordPlacement();
    std::array<QColor, kTrendCurves> CurveColours() const;

    MainWindow& main_;
    TrendSettings settings_;
    std::function<TrendCsvOptions()> csvOptions_;
    TrendRecorder recorder_;
    QPointer<TrendWindow> window_;
    std::function<int64_t()> clock_;
    // What the recorder was last given: the wall-clock second and the
    // window's presentation count.
    int64_t fedSecond_ = INT64_MIN;
    uint64_t fedPresentation_ = 0;
    TrendValues fedValues_;  // what the displays showed at the last tick fed
};

}  // namespace tk358
