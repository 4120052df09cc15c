// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/trend_controller.h"

#include <QColor>
#include <QEvent>
#include <QTimer>
#include <chrono>

#include "monitor/main_window.h"
#include "monitor/trend_chart.h"
#include "monitor/trend_window.h"
#include "monitor/window_settings.h"
#include "trend/trend_colours.h"
#include "widgets/qt_colour.h"
#include "widgets/value_display.h"

namespace tk358 {

namespace {

int64_t WallMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

TrendController::TrendController(MainWindow& window)
    : QObject(&window), main_(window), clock_(WallMs) {}

TrendController::~TrendController() {
    delete window_;  // it draws from the recorder
}

void TrendController::ApplySettings(const TrendSettings& settings) {
    settings_ = settings;
    if (settings_.open) {
        main_.installEventFilter(this);
    }
}

void TrendController::SetCsvOptionsSource(std::function<TrendCsvOptions()> source) {
    csvOptions_ = std::move(source);
    if (window_) {
        window_->SetCsvOptionsSource(csvOptions_);
    }
}

void TrendController::HideForEnd() {
    if (window_) {
        window_->hide();
    }
}

void TrendController::SetClock(std::function<int64_t()> wallMs) {
    clock_ = std::move(wallMs);
    if (window_) {
        window_->Chart()->SetClock([this] { return static_cast<double>(clock_()) / 1000.0; });
    }
}

bool TrendController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &main_ && event->type() == QEvent::Show) {
        main_.removeEventFilter(this);
        QTimer::singleShot(0, this, [this] {
            if (main_.isVisible()) {
                Open();
            }
        });
    }
    return QObject::eventFilter(watched, event);
}

void TrendController::Tick() {
    if (main_.Stopped()) {
        return;
    }
    // The recorder needs the first tick of each second and every tick that
    // showed something new; the other ticks would hand it what it has.
    const int64_t wallMs = clock_();
    const int64_t second = wallMs / 1000 - (wallMs % 1000 < 0 ? 1 : 0);
    const bool news = main_.Presentations() != fedPresentation_;
    if (second == fedSecond_ && !news) {
        return;
    }
    // The window sleeps through the points of its grid that show nothing
    // new, the first of a second among them: that point showed what was
    // shown before this tick, and that is the second's sample.
    if (news && second > fedSecond_ && fedSecond_ != INT64_MIN &&
        wallMs - second * 1000 >= MainWindow::kRefreshMs) {
        Feed(second * 1000, fedValues_);
    }
    fedSecond_ = second;
    fedPresentation_ = main_.Presentations();
    fedValues_ = TrendValuesOf(main_.Readings(), main_.TwoSetpoints());
    Feed(wallMs, fedValues_);
}

void TrendController::Feed(int64_t wallMs, const TrendValues& values) {
    if (recorder_.Tick(wallMs, values) && window_) {
        window_->Chart()->SetCurveColours(CurveColours());
        window_->Chart()->SampleAdded();
    }
}

void TrendController::Open() {
    if (!window_) {
        CreateWindow();
    }
    if (!window_->isVisible()) {
        const QRect placement = PlacementOf(settings_.window, *window_);
        window_->resize(placement.size());
        window_->move(placement.topLeft());
        settings_.window = WindowRectOf(placement.topLeft(), placement.size());
        window_->Chart()->SetCurveColours(CurveColours());
        window_->show();
    }
    if (window_->isMinimized()) {
        window_->showNormal();
    }
    window_->raise();
    window_->activateWindow();
    settings_.open = true;
}

void TrendController::OpenLogs(const QStringList& files) {
    Open();
    window_->OpenLogs(files);
}

void TrendController::CreateWindow() {
    window_ = new TrendWindow(recorder_, &main_);
    window_->Chart()->SetClock([this] { return static_cast<double>(clock_()) / 1000.0; });
    window_->SetMessageSink(&main_.Messages());
    window_->SetCsvOptionsSource(csvOptions_);
    window_->SetSpan(TrendSpanFromSettings(settings_.span));
    connect(window_, &TrendWindow::spanChanged, this,
            [this](int seconds) { settings_.span = seconds; });
    connect(window_, &TrendWindow::placed, this, &TrendController::RecordPlacement);
    connect(window_, &TrendWindow::closedByOperator, this, [this] { settings_.open = false; });
}

void TrendController::RecordPlacement() {
    const Qt::WindowStates notRestored =
        Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen;
    if (!window_ || !window_->isVisible() || (window_->windowState() & notRestored)) {
        return;
    }
    settings_.window = WindowRectOf(window_->pos(), window_->size());
}

std::array<QColor, kTrendCurves> TrendController::CurveColours() const {
    const ValueDisplays displays = main_.Displays();
    std::array<QColor, kTrendCurves> colours;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        colours[i] = ToQColor(
            TrendCurveColour(displays[i]->GetTextColour(), displays[i]->GetBackgroundColour()));
    }
    return colours;
}

}  // namespace tk358
