// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The chart of the trend window: the temperature and the set points over
// local time, painted from the decimated history. Dragging pans, the mouse
// wheel zooms around the pointer (both stop following the newest sample), a
// double click returns to following; the pointer's tooltip reads the values.

#include <QColor>
#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

#include "trend/trend_axis.h"
#include "trend/trend_decimate.h"
#include "trend/trend_recorder.h"
#include "trend/trend_source.h"
#include "trend/trend_view.h"

namespace tk358 {

class TrendChart : public QWidget {
    Q_OBJECT

public:
    explicit TrendChart(const TrendRecorder& recorder, QWidget* parent = nullptr);

    TrendView& View() { return view_; }
    const TrendView& View() const { return view_; }

    // The wall clock in seconds, used for the right edge while there are no
    // samples; tests set their own.
    void SetClock(std::function<double()> clock) { clock_ = std::move(clock); }
    // The newest sample's time, or now when there is none.
    double NewestTime() const;

    void SetCurveColours(const std::array<QColor, kTrendCurves>& colours);
    const std::array<QColor, kTrendCurves>& CurveColours() const { return colours_; }

    // A new sample arrived: while following, the view moves on. Repaints only
    // when the chart is on screen, the new sample is in view and it starts a
    // pixel column of its own; a view that stands still repaints only the
    // stretch from the last sample drawn, unless the values leave the range
    // drawn.
    void SampleAdded();
    // Back to the newest sample on the right edge.
    void FollowNewest();
    // Applies the span and keeps the view on the history.
    void SetSpan(double seconds);

    // Draws a logged history, whole at first, instead of the live recording;
    // nullptr returns to the live recording and its newest sample. The source
    // must outlive its showing.
    void ShowSource(const TrendSource* source);
    bool ShowingHistory() const { return source_ != &live_; }
    // Shows [start, end] of a history, also beyond its readings.
    void ShowRange(double start, double end);

    // The curves drawn: the temperature always, a set point once the history
    // holds a value of it.
    std::array<bool, kTrendCurves> CurvesShown() const;

    // The plot area inside the axes' labels at the widget's present size.
    QRect PlotRect() const;

    struct Axes {
        ValueAxis value;
        TimeAxis time;
    };
    // Draws the whole chart onto `painter` over `size` (the widget paints
    // itself this way; a benchmark or an export may paint an image) and
    // returns the axes it laid out.
    Axes Draw(QPainter& painter, const QSize& size);

    QSize sizeHint() const override { return {760, 420}; }
    QSize minimumSizeHint() const override { return {320, 200}; }

signals:
    // The operator panned, zoomed or returned to following.
    void viewChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The axis and legend texts come back from paint to paint: each is laid
    // out once for the painter's font.
    struct Label {
        QStaticText text;
        int width = 0;         // whole pixels, for the layout
        double advance = 0.0;  // for the alignment, as drawText aligns
    };
    const Label& LabelFor(const QPainter& painter, const QString& text) const;
    // As QPainter::drawText into `box` with `align`, from the laid-out label.
    void DrawLabel(QPainter& painter, const QRect& box, Qt::Alignment align,
                   const QString& text) const;

    struct Margins {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        int timeLabel = 0;  // the width of a time of day
    };
    Margins ComputeMargins() const;
    QRect PlotRectFor(const QSize& size) const;
    void LimitView();
    bool OnScreen() const;
    bool NewestWithinDrawnRange() const;
    // Whether the present view keeps the value axis of the last paint.
    bool KeepsValueAxis() const;
    ValueAxis ValueAxisFor(const std::optional<TrendRange>& range, int plotHeight) const;
    double TimeAtX(double x) const;
    // The date, time and values of the sample under the pointer, as a tooltip.
    void ShowReadout(QPointF at, QPoint global);
    void DrawGrid(QPainter& painter, const QRect& plot, const Axes& axes) const;
    void DrawCurves(QPainter& painter, const QRect& plot, const ValueAxis& values,
                    const std::array<DecimatedCurve, kTrendCurves>& curves) const;
    static void DrawRuns(QPainter& painter, const std::vector<TrendPolyline>& runs, bool dashed);
    void DrawLegend(QPainter& painter, const QRect& plot) const;

    LiveTrendSource live_;
    const TrendSource* source_ = &live_;
    double liveSpan_ = kTrendDefaultSpan;  // the live span while a history is shown
    TrendView view_;
    std::function<double()> clock_;
    std::array<QColor, kTrendCurves> colours_;
    // The newest sample, the values' range and the curves of the last paint.
    double paintedNewest_ = -kTrendMaxSpan;
    mutable QFont labelFont_;
    mutable QHash<QString, Label> labels_;
    mutable std::optional<Margins> margins_;  // for the widget's font
    std::optional<TrendRange> drawnRange_;
    std::array<bool, kTrendCurves> drawnCurves_{};
    std::optional<ValueAxis> paintedAxis_;  // of the last paint, at paintedSize_
    QSize paintedSize_;
    bool dragging_ = false;
    double dragStartX_ = 0.0;
    double dragStartEnd_ = 0.0;
};

}  // namespace tk358
