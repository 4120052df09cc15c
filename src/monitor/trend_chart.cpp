// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/trend_chart.h"

#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygonF>
#include <QToolTip>
#include <QVector>
#include <QWheelEvent>
#include <chrono>
#include <cmath>

#include "present/display_rows.h"
#include "trend/trend_readout.h"

namespace tk358 {

namespace {

const QColor kGridColour(226, 226, 226);
const QColor kFrameColour(120, 120, 120);
const QColor kLabelColour(40, 40, 40);
const QColor kNoteColour(140, 140, 140);

// One wheel notch zooms in or out by this factor.
constexpr double kWheelZoom = 0.8;

double WallSeconds() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

// The temperature is drawn widest; the second set point dashed, as its
// display has the first one's colours unless the operator changed them.
QPen CurvePen(int curve, const QColor& colour) {
    QPen pen(colour, curve == kTrendTemperature ? 2.0 : 1.5);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    if (curve == kTrendSetpoint2) {
        pen.setStyle(Qt::DashLine);
    }
    return pen;
}

std::optional<TrendRange> Union(const std::optional<TrendRange>& a,
                                const std::optional<TrendRange>& b) {
    if (!a || !b) {
        return a ? a : b;
    }
    return TrendRange{std::min(a->min, b->min), std::max(a->max, b->max)};
}

QString CurveTitle(int curve) {
    return QString::fromUtf8(kDisplayRowTitles[static_cast<std::size_t>(curve)]);
}

}  // namespace

TrendChart::TrendChart(const TrendRecorder& recorder, QWidget* parent)
    : QWidget(parent), live_(recorder), clock_(WallSeconds) {
    setObjectName(QStringLiteral("trendChart"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::OpenHandCursor);
    setMouseTracking(true);  // the readout under the pointer
    colours_ = {QColor(66, 21, 0), QColor(0, 64, 0), QColor(0, 64, 0)};
    view_.Follow(NewestTime());
}

double TrendChart::NewestTime() const {
    return source_->Empty() ? clock_() : source_->NewestTime();
}

void TrendChart::SetCurveColours(const std::array<QColor, kTrendCurves>& colours) {
    if (colours != colours_) {
        colours_ = colours;
        if (OnScreen()) {
            update();
        }
    }
}

bool TrendChart::OnScreen() const {
    return isVisible() && !window()->isMinimized();
}

void TrendChart::SampleAdded() {
    if (ShowingHistory()) {
        return;
    }
    const double newest = NewestTime();
    const bool following = view_.Following();
    const double startBefore = view_.Start();
    view_.Advance(newest);
    if (!following) {
        LimitView();  // the oldest samples go as new ones come
    }
    if (!OnScreen() || newest < view_.Start() || newest > view_.End() + 1) {
        return;
    }
    // A sample within the pixel column drawn last shows with the next one
    // that starts a column of its own.
    const QRect plot = PlotRect();
    const double ahead = newest - paintedNewest_;
    if (ahead >= 0 && ahead < view_.Span() / plot.width()) {
        return;
    }
    if (following || view_.Start() != startBefore || !NewestWithinDrawnRange()) {
        if (following && KeepsValueAxis()) {
            // The value labels and the legend stay: the plot and the time
            // axis below it move.
            update(QRegion(plot) + QRect(0, plot.bottom() + 1, width(), height()) +
                   QRect(plot.right() + 1, 0, width(), height()));
        } else {
            update();
        }
        return;
    }
    // The view stands still and the axes stay: only the stretch from the
    // last sample drawn on changes.
    const double perSecond = plot.width() / view_.Span();
    const double from = plot.left() + (paintedNewest_ - view_.Start()) * perSecond;
    const double to = plot.left() + (newest - view_.Start()) * perSecond;
    const int left = static_cast<int>(std::floor(std::max(from, double(plot.left())))) - 4;
    update(QRect(left, plot.top(), static_cast<int>(std::ceil(to)) + 5 - left, plot.height()));
}

bool TrendChart::KeepsValueAxis() const {
    if (!paintedAxis_ || size() != paintedSize_ || CurvesShown() != drawnCurves_) {
        return false;
    }
    // The values' range over the whole view, as the paint's columns add up.
    std::optional<TrendRange> range;
    for (int i = 0; i < kTrendCurves; ++i) {
        if (drawnCurves_[static_cast<std::size_t>(i)]) {
            range = Union(range, ValueRangeOf(source_->Decimate(i, view_.Start(), view_.End(), 1)));
        }
    }
    const ValueAxis axis = ValueAxisFor(range, PlotRect().height());
    return axis.min == paintedAxis_->min && axis.max == paintedAxis_->max &&
           axis.decimals == paintedAxis_->decimals && axis.ticks == paintedAxis_->ticks;
}

ValueAxis TrendChart::ValueAxisFor(const std::optional<TrendRange>& range, int plotHeight) const {
    return ComputeValueAxis(range, plotHeight, 2 * fontMetrics().height() + 6);
}

bool TrendChart::NewestWithinDrawnRange() const {
    if (CurvesShown() != drawnCurves_) {
        return false;  // the legend changes
    }
    for (int i = 0; i < kTrendCurves; ++i) {
        const TrendBuffer& curve = live_.Recorder().Curve(i);
        const double value = curve.Empty() ? kTrendGap : curve.Newest().value;
        if (std::isnan(value)) {
            continue;
        }
        if (!drawnRange_ || value < drawnRange_->min || value > drawnRange_->max) {
            return false;
        }
    }
    return true;
}

void TrendChart::FollowNewest() {
    view_.Follow(NewestTime());
    update();
    emit viewChanged();
}

void TrendChart::SetSpan(double seconds) {
    view_.SetSpan(seconds);
    view_.Advance(NewestTime());
    LimitView();
    update();
}

void TrendChart::ShowSource(const TrendSource* source) {
    if (!ShowingHistory()) {
        liveSpan_ = view_.Span();
    }
    source_ = source != nullptr ? source : &live_;
    if (ShowingHistory()) {
        ShowRange(source_->OldestTime(), source_->NewestTime());
        return;
    }
    view_.SetMaxSpan(kTrendMaxSpan);
    view_.SetSpan(liveSpan_);
    FollowNewest();
}

void TrendChart::ShowRange(double start, double end) {
    const double whole = source_->NewestTime() - source_->OldestTime();
    view_.SetMaxSpan(std::max(whole, end - start));
    view_.SetSpan(end - start);
    view_.Follow(start + view_.Span());  // a history shorter than a minute starts at the left
    view_.Pan(0.0);                      // a history has no newest sample to follow
    update();
    emit viewChanged();
}

void TrendChart::LimitView() {
    const double newest = NewestTime();
    const double oldest = source_->Empty() ? newest : source_->OldestTime();
    view_.Limit(oldest, newest);
}

std::array<bool, kTrendCurves> TrendChart::CurvesShown() const {
    return {true, source_->HasValues(kTrendSetpoint), source_->HasValues(kTrendSetpoint2)};
}

// --- Geometry ---------------------------------------------------------------

TrendChart::Margins TrendChart::ComputeMargins() const {
    if (margins_) {
        return *margins_;
    }
    const QFontMetrics fm = fontMetrics();
    Margins& m = margins_.emplace();
    m.left = fm.horizontalAdvance(QStringLiteral("-888.8")) + 14;
    m.top = fm.height() + 14;
    m.bottom = 2 * fm.height() + 12;
    m.timeLabel = fm.horizontalAdvance(QStringLiteral("00:00:00"));
    m.right = m.timeLabel / 2 + 8;
    return m;
}

void TrendChart::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        margins_.reset();
    }
    QWidget::changeEvent(event);
}

const TrendChart::Label& TrendChart::LabelFor(const QPainter& painter, const QString& text) const {
    constexpr int kMostLabels = 256;  // far more than one view shows
    if (painter.font() != labelFont_ || labels_.size() > kMostLabels) {
        labels_.clear();
        labelFont_ = painter.font();
    }
    auto found = labels_.find(text);
    if (found == labels_.end()) {
        Label label;
        label.text.setText(text);
        label.text.setTextFormat(Qt::PlainText);
        label.text.prepare(QTransform(), labelFont_);
        label.width = QFontMetrics(labelFont_).horizontalAdvance(text);
        label.advance = QFontMetricsF(labelFont_).horizontalAdvance(text);
        found = labels_.insert(text, label);
    }
    return *found;
}

void TrendChart::DrawLabel(QPainter& painter, const QRect& box, Qt::Alignment align,
                           const QString& text) const {
    const Label& label = LabelFor(painter, text);
    double x = box.left();
    if (align & Qt::AlignRight) {
        x += box.width() - label.advance;
    } else if (align & Qt::AlignHCenter) {
        x += (box.width() - label.advance) / 2.0;
    }
    const double y = box.top() + (box.height() - painter.fontMetrics().height()) / 2.0;
    painter.drawStaticText(QPointF(x, y), label.text);
}

QRect TrendChart::PlotRectFor(const QSize& size) const {
    const Margins m = ComputeMargins();
    return QRect(m.left, m.top, std::max(size.width() - m.left - m.right, 1),
                 std::max(size.height() - m.top - m.bottom, 1));
}

QRect TrendChart::PlotRect() const {
    return PlotRectFor(size());
}

double TrendChart::TimeAtX(double x) const {
    const QRect plot = PlotRect();
    const double share = std::clamp((x - plot.left()) / plot.width(), 0.0, 1.0);
    return view_.Start() + share * view_.Span();
}

// --- Painting ---------------------------------------------------------------

void TrendChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintedAxis_ = Draw(painter, size()).value;
    paintedSize_ = size();
    paintedNewest_ = source_->Empty() ? -kTrendMaxSpan : NewestTime();
}

TrendChart::Axes TrendChart::Draw(QPainter& painter, const QSize& size) {
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    const QRect plot = PlotRectFor(size);
    const std::array<bool, kTrendCurves> shown = CurvesShown();
    std::array<DecimatedCurve, kTrendCurves> curves;
    std::optional<TrendRange> range;
    for (int i = 0; i < kTrendCurves; ++i) {
        if (!shown[static_cast<std::size_t>(i)]) {
            continue;
        }
        DecimatedCurve& curve = curves[static_cast<std::size_t>(i)];
        curve = source_->Decimate(i, view_.Start(), view_.End(), plot.width());
        range = Union(range, ValueRangeOf(curve));
    }
    drawnRange_ = range;
    drawnCurves_ = shown;
    const Axes axes{
        ValueAxisFor(range, plot.height()),
        ComputeTimeAxis(view_.Start(), view_.End(), plot.width(), ComputeMargins().timeLabel + 24)};
    DrawGrid(painter, plot, axes);
    DrawCurves(painter, plot, axes.value, curves);
    DrawLegend(painter, plot);
    if (!range) {
        painter.setPen(kNoteColour);
        painter.drawText(plot, Qt::AlignCenter, QStringLiteral("Brak odczytów"));
    }
    return axes;
}

namespace {

// On screen a one-pixel line along an axis is filled as a one-pixel
// rectangle: the same pixels at a fraction of the cost of the raster
// engine's stroker. A vector file keeps its lines and rectangles.
bool FillsLines(const QPainter& painter) {
    return painter.paintEngine()->type() == QPaintEngine::Raster &&
           painter.deviceTransform().type() <= QTransform::TxTranslate;
}

void DrawStraightLine(QPainter& painter, const QLine& line, const QColor& colour) {
    if (FillsLines(painter)) {
        painter.fillRect(QRect(line.p1(), line.p2()).normalized(), colour);
    } else {
        painter.setPen(colour);
        painter.drawLine(line);
    }
}

}  // namespace

void TrendChart::DrawGrid(QPainter& painter, const QRect& plot, const Axes& axes) const {
    const QFontMetrics fm = painter.fontMetrics();
    const TrendMapping map{double(plot.left()),   double(plot.top()), double(plot.width()),
                           double(plot.height()), view_.Start(),      view_.End(),
                           axes.value.min,        axes.value.max};
    const int right = painter.device()->width();
    for (double value : axes.value.ticks) {
        const int y = static_cast<int>(std::lround(map.Y(value)));
        DrawStraightLine(painter, QLine(plot.left(), y, plot.right(), y), kGridColour);
        painter.setPen(kLabelColour);
        const QString text = QString::fromStdString(FormatValueTick(value, axes.value.decimals));
        DrawLabel(painter, QRect(0, y - fm.height() / 2, plot.left() - 6, fm.height()),
                  Qt::AlignRight | Qt::AlignVCenter, text);
    }
    for (const TimeTick& tick : axes.time.ticks) {
        const int x = static_cast<int>(std::lround(map.X(static_cast<double>(tick.time))));
        DrawStraightLine(painter, QLine(x, plot.top(), x, plot.bottom()), kGridColour);
        painter.setPen(kLabelColour);
        int line = plot.bottom() + 6;
        for (const std::string& part : {tick.label, tick.date}) {
            const QString text = QString::fromStdString(part);
            const int w = LabelFor(painter, text).width;
            const int left = std::clamp(x - w / 2, 0, std::max(right - w - 2, 0));
            DrawLabel(painter, QRect(left, line, w + 1, fm.height()), Qt::AlignCenter, text);
            line += fm.height();
        }
    }
    if (!FillsLines(painter)) {
        painter.setPen(kFrameColour);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(plot.adjusted(0, 0, -1, -1));
        return;
    }
    // A stroked rectangle covers its last row and column too.
    for (const QLine& side :
         {QLine(plot.topLeft(), plot.topRight()), QLine(plot.bottomLeft(), plot.bottomRight()),
          QLine(plot.topLeft(), plot.bottomLeft()), QLine(plot.topRight(), plot.bottomRight())}) {
        DrawStraightLine(painter, side, kFrameColour);
    }
}

void TrendChart::DrawCurves(QPainter& painter, const QRect& plot, const ValueAxis& values,
                            const std::array<DecimatedCurve, kTrendCurves>& curves) const {
    const TrendMapping map{
        double(plot.left()), double(plot.top()), double(plot.width()), double(plot.height()),
        view_.Start(),       view_.End(),        values.min,           values.max};
    const std::array<bool, kTrendCurves> shown = CurvesShown();
    painter.save();
    painter.setClipRect(plot.adjusted(1, 1, -1, -1));
    painter.setRenderHint(QPainter::Antialiasing, true);
    // The set points first, so the temperature lies on top.
    for (int curve : {kTrendSetpoint2, kTrendSetpoint, kTrendTemperature}) {
        const auto index = static_cast<std::size_t>(curve);
        if (shown[index]) {
            const QPen pen = CurvePen(curve, colours_[index]);
            painter.setPen(pen);
            DrawRuns(painter, TrendPolylines(curves[index], map), pen.style() != Qt::SolidLine);
        }
    }
    painter.restore();
}

namespace {

// A run with more points than about one a pixel is a zigzag of columns.
bool Dense(const TrendPolyline& run) {
    return static_cast<double>(run.size()) > 1.5 * (std::abs(run.back().x - run.front().x) + 1);
}

}  // namespace

void TrendChart::DrawRuns(QPainter& painter, const std::vector<TrendPolyline>& runs, bool dashed) {
    // Polylines join neatly and keep a dash pattern going along the run;
    // a dense solid run strokes several times faster as separate lines.
    QVector<QLineF> lines;
    QPolygonF points;
    for (const TrendPolyline& run : runs) {
        if (!dashed && Dense(run)) {
            for (std::size_t i = 1; i < run.size(); ++i) {
                lines.append(QLineF(run[i - 1].x, run[i - 1].y, run[i].x, run[i].y));
            }
            continue;
        }
        points.clear();
        for (const TrendPoint& p : run) {
            points.append(QPointF(p.x, p.y));
        }
        painter.drawPolyline(points);
    }
    painter.drawLines(lines);
}

void TrendChart::DrawLegend(QPainter& painter, const QRect& plot) const {
    const QFontMetrics fm = painter.fontMetrics();
    const int top = 6;
    painter.setPen(kLabelColour);
    DrawLabel(painter, QRect(0, top, plot.left() - 6, fm.height()),
              Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("°C"));
    const std::array<bool, kTrendCurves> shown = CurvesShown();
    int x = plot.left();
    const int y = top + fm.height() / 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (int curve = 0; curve < kTrendCurves; ++curve) {
        if (!shown[static_cast<std::size_t>(curve)]) {
            continue;
        }
        painter.setPen(CurvePen(curve, colours_[static_cast<std::size_t>(curve)]));
        painter.drawLine(QLineF(x, y, x + 24, y));
        x += 30;
        painter.setPen(kLabelColour);
        const QString title = CurveTitle(curve);
        const int width = LabelFor(painter, title).width;
        DrawLabel(painter, QRect(x, top, width + 1, fm.height()), Qt::AlignLeft | Qt::AlignVCenter,
                  title);
        x += width + 18;
    }
    painter.restore();
}

// --- Panning and zooming ------------------------------------------------------

void TrendChart::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    dragStartX_ = event->position().x();
    dragStartEnd_ = view_.End();
    setCursor(Qt::ClosedHandCursor);
}

void TrendChart::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) {
        ShowReadout(event->position(), event->globalPosition().toPoint());
        return;
    }
    QToolTip::hideText();
    const double secondsPerPixel = view_.Span() / PlotRect().width();
    const double wanted = dragStartEnd_ - (event->position().x() - dragStartX_) * secondsPerPixel;
    view_.Pan(wanted - view_.End());
    LimitView();
    update();
    emit viewChanged();
}

void TrendChart::ShowReadout(QPointF at, QPoint global) {
    const QRect plot = PlotRect();
    const double secondsPerPixel = view_.Span() / plot.width();
    std::optional<TrendReadout> readout;
    if (plot.contains(at.toPoint())) {
        readout = source_->Readout(TimeAtX(at.x()), std::max(secondsPerPixel * 2, 1.0));
    }
    if (!readout) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(global, QString::fromStdString(FormatReadout(*readout, CurvesShown())),
                       this);
}

void TrendChart::leaveEvent(QEvent* event) {
    QToolTip::hideText();
    QWidget::leaveEvent(event);
}

void TrendChart::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = false;
        setCursor(Qt::OpenHandCursor);
    }
    QWidget::mouseReleaseEvent(event);
}

void TrendChart::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        FollowNewest();
    }
}

void TrendChart::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    const double notches = delta / 120.0;
    view_.ZoomAt(TimeAtX(event->position().x()), std::pow(kWheelZoom, notches));
    LimitView();
    update();
    emit viewChanged();
    event->accept();
}

}  // namespace tk358
