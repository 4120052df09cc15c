#pragma once

// The trend view of the main window: records what the three value displays
// show on each refresh tick, one sample a second for 24 hours, from the start
// of the program whether the chart is open or not, and keeps the "Wykres"
// window (one instance) with its place, span and open state in the window's
// TREND settings. Owned by the main window.

#include <QObject>
#include <QPointer>
#include <array>
#include <cstdint>
#include <functional>

#include "monitor/trend_recorder.h"

class QColor;

namespace tk358 {

class MainWindow;
class TrendWindow;

class TrendController : public QObject {
    Q_OBJECT

public:
    // Starts recording on the window's ticks; reopens the chart once the main
    // window is first shown when it was open at the end of the last run.
    explicit TrendController(MainWindow& window);
    ~TrendController() override;

    // "Widok" -> "Wykres": opens the chart, or raises it when it is open.
    void Open();

    const TrendRecorder& Recorder() const { return recorder_; }
    TrendRecorder& Recorder() { return recorder_; }
    // The chart window; nullptr until it is first opened.
    TrendWindow* Window() const;

    // The wall clock in milliseconds since the epoch; tests set their own.
    void SetClock(std::function<int64_t()> wallMs);

    // One refresh tick of the main window.
    void Tick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateWindow();
    void RecordPlacement();
    std::array<QColor, kTrendCurves> CurveColours() const;

    MainWindow& main_;
    TrendRecorder recorder_;
    QPointer<TrendWindow> window_;
    std::function<int64_t()> clock_;
};

}  // namespace tk358
