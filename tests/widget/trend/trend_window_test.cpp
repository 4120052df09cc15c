// SPDX-License-Identifier: GPL-3.0-or-later
// The trend window on a history filled by the test: spans, panning and
// zooming, the exports, what is drawn over a gap, when the chart repaints,
// and how long a repaint of a full day takes.

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolTip>
#include <QWheelEvent>
#include <QtTest>
#include <cmath>

#include "log/log_line.h"
#include "monitor/trend_chart.h"
#include "monitor/trend_window.h"
#include "support/mnemonics.h"
#include "support/paint_counter.h"
#include "trend/trend_recorder.h"
#include "widget/dialogs/recording_sink.h"
#include "widget/trend/trend_window_children.h"
#include "widget/widgets/widget_test_support.h"

namespace tk358 {
namespace {

// Answers the next file dialog with `path`, or cancels it when `path` is
// empty, after noting the file it suggested.
void AnswerNextFileDialog(const QString& path, QStringList* suggested = nullptr) {
    test::OnNextModal<QFileDialog>([path, suggested](QFileDialog* dialog) {
        if (suggested != nullptr) {
            *suggested << dialog->selectedFiles().value(0);
        }
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        // Typed as a user types it: a folder that does not exist stays in the path.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name != nullptr);
        name->setText(path);
        static_cast<QDialog*>(dialog)->accept();  // the file dialog's own check runs
    });
}

constexpr int64_t kNow = 1'774'742'400;  // the newest sample, seconds

// `seconds` samples ending at kNow; no value anywhere in [gapFrom, gapTo).
void Fill(TrendRecorder& r, int64_t seconds, int64_t gapFrom = 0, int64_t gapTo = 0) {
    for (int64_t t = kNow - seconds + 1; t <= kNow; ++t) {
        const double phase = static_cast<double>(t % 86400) / 86400.0 * 2 * M_PI;
        TrendValues v{20.0 + 3.0 * std::sin(phase * 12), 21.0 + ((t / 3600) % 2), 18.5};
        if (t >= gapFrom && t < gapTo) {
            v = TrendValues{};
        }
        r.Tick(t * 1000, v);
    }
}

void Send(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButton button,
          Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

void Wheel(QWidget* widget, QPointF at, int delta) {
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &event);
}

// Saves the window when TK358_TREND_SHOTS names a folder (for a look at the
// chart under a real display).
void Shoot(QWidget* window, const QString& name) {
    const QString folder = qEnvironmentVariable("TK358_TREND_SHOTS");
    if (!folder.isEmpty()) {
        window->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
}

double TimeAt(const TrendChart& chart, double x) {
    const QRect plot = chart.PlotRect();
    return chart.View().Start() + (x - plot.left()) / plot.width() * chart.View().Span();
}

struct Shown {
    explicit Shown(const TrendRecorder& r, QSize size = {900, 500}) : window(r) {
        window.Chart()->SetClock([] { return static_cast<double>(kNow); });
        window.Chart()->FollowNewest();
        window.resize(size);
        window.show();
    }
    TrendChart& Chart() { return *window.Chart(); }
    TrendWindow window;
};

}  // namespace

class TrendWindowTest : public QObject {
    Q_OBJECT

private slots:
    void spanButtonsSetTheTimeAxis();
    void dragAndWheelLeaveTheNewestAndFollowReturns();
    void pointerReadsTheValuesUnderIt();
    void exportsWriteTheImageAndTheLogFormat();
    void exportThatCannotBeWrittenIsReported();
    void gapIsLeftBlankNotDrawnAsALine();
    void repaintsOncePerSampleAndNotWhenHidden();
    void followingRepaintsWhatMovesAsIfDrawnAfresh_data();
    void followingRepaintsWhatMovesAsIfDrawnAfresh();
    void fullDayRepaintTime();
};

void TrendWindowTest::spanButtonsSetTheTimeAxis() {
    TrendRecorder r;
    Fill(r, 86400, kNow - 150, kNow - 90);  // a minute without values
    Shown s(r);
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    QCOMPARE(s.window.windowTitle(), QStringLiteral("Wykres — tk358"));
    // Every button of the bar answers its own Alt key.
    QStringList texts;
    for (int i = 0; i < static_cast<int>(kTrendSpans.size()); ++i) {
        texts << test::SpanButton(s.window, i)->text();
    }
    texts << test::BarButton(s.window, "follow")->text()
          << test::BarButton(s.window, "savePng")->text()
          << test::BarButton(s.window, "saveCsv")->text();
    QCOMPARE(test::MnemonicFaults(texts), QStringList{});
    QCOMPARE(test::WithoutMnemonic(texts.last()), QStringLiteral("Zapisz dane…"));
    QSignalSpy spans(&s.window, &TrendWindow::spanChanged);
    for (int i = 0; i < static_cast<int>(kTrendSpans.size()); ++i) {
        QTest::mouseClick(test::SpanButton(s.window, i), Qt::LeftButton);
        const TrendView& view = s.Chart().View();
        QCOMPARE(view.Span(), static_cast<double>(kTrendSpans[static_cast<std::size_t>(i)]));
        QCOMPARE(view.End(), static_cast<double>(kNow));
        QVERIFY(view.Following());
        QVERIFY(test::SpanButton(s.window, i)->isChecked());
        QCOMPARE(spans.takeLast().at(0).toInt(), kTrendSpans[static_cast<std::size_t>(i)]);
        QImage image(s.Chart().size(), QImage::Format_RGB32);
        QPainter painter(&image);
        const TimeAxis axis = s.Chart().Draw(painter, image.size()).time;
        QVERIFY(axis.ticks.size() >= 3);
        QVERIFY(axis.ticks.front().time >= view.Start());
        QVERIFY(axis.ticks.front().time - view.Start() <= axis.step);
        QVERIFY(axis.ticks.back().time <= view.End());
        QVERIFY(view.End() - axis.ticks.back().time <= axis.step);
        QVERIFY(!axis.ticks.front().date.empty());
        Shoot(&s.window, QStringLiteral("span-%1").arg(kTrendSpans[static_cast<std::size_t>(i)]));
    }
}

void TrendWindowTest::dragAndWheelLeaveTheNewestAndFollowReturns() {
    TrendRecorder r;
    Fill(r, 7200);
    Shown s(r);
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    QVERIFY(!test::BarButton(s.window, "follow")->isEnabled());
    TrendChart& chart = s.Chart();
    const QRect plot = chart.PlotRect();
    const QPointF from = plot.center();
    Send(&chart, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    Send(&chart, QEvent::MouseMove, from + QPointF(200, 0), Qt::NoButton, Qt::LeftButton);
    Send(&chart, QEvent::MouseButtonRelease, from + QPointF(200, 0), Qt::LeftButton, Qt::NoButton);
    QVERIFY(!chart.View().Following());
    QVERIFY(std::abs(chart.View().End() - (kNow - 200.0 * 1800 / plot.width())) < 1e-6);
    QVERIFY(test::BarButton(s.window, "follow")->isEnabled());

    const QPointF pointer(plot.left() + plot.width() * 0.3, plot.center().y());
    const double before = TimeAt(chart, pointer.x());
    Wheel(&chart, pointer, 120);
    QVERIFY(std::abs(chart.View().Span() - 1800 * 0.8) < 1e-6);
    QVERIFY(std::abs(TimeAt(chart, pointer.x()) - before) < 1e-6);
    for (int i = 0; i < static_cast<int>(kTrendSpans.size()); ++i) {
        QVERIFY(!test::SpanButton(s.window, i)->isChecked());  // no button for this span
    }
    // Dragging far into the future stops at the newest sample.
    Send(&chart, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    Send(&chart, QEvent::MouseMove, from - QPointF(5000, 0), Qt::NoButton, Qt::LeftButton);
    Send(&chart, QEvent::MouseButtonRelease, from, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(chart.View().End(), static_cast<double>(kNow));

    QTest::mouseClick(test::BarButton(s.window, "follow"), Qt::LeftButton);
    QVERIFY(chart.View().Following());
    QVERIFY(!test::BarButton(s.window, "follow")->isEnabled());
    Wheel(&chart, pointer, -240);
    QVERIFY(!chart.View().Following());
    QTest::mouseDClick(&chart, Qt::LeftButton, {}, pointer.toPoint());
    QVERIFY(chart.View().Following());
}

void TrendWindowTest::pointerReadsTheValuesUnderIt() {
    TrendRecorder r;
    r.Tick((kNow - 1) * 1000, TrendValues{21.46, 22.0, std::nullopt});
    r.Tick(kNow * 1000, TrendValues{});
    Shown s(r);
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    s.window.SetSpan(60);
    TrendChart& chart = s.Chart();
    const QRect plot = chart.PlotRect();
    const double x = plot.left() + plot.width() * (59.0 / 60.0);  // a second before the newest
    Send(&chart, QEvent::MouseMove, QPointF(x, plot.center().y()), Qt::NoButton, Qt::NoButton);
    QTRY_VERIFY(QToolTip::isVisible());
    const QStringList lines = QToolTip::text().split(QLatin1Char('\n'));
    QCOMPARE(lines.mid(1), (QStringList{QStringLiteral("Temperatura: 21.5 °C"),
                                        QStringLiteral("Wartość zadana: 22.0 °C")}));
    QVERIFY(lines.at(0).contains(QRegularExpression(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} "))));
    Send(&chart, QEvent::MouseMove, QPointF(plot.right(), plot.center().y()), Qt::NoButton,
         Qt::NoButton);
    QTRY_VERIFY(QToolTip::text().contains(QStringLiteral("Temperatura: ???")));
    Send(&chart, QEvent::MouseMove, QPointF(2, 2), Qt::NoButton, Qt::NoButton);  // off the plot
    QTRY_VERIFY(!QToolTip::isVisible());
}

void TrendWindowTest::exportsWriteTheImageAndTheLogFormat() {
    TrendRecorder r;
    Fill(r, 3600, kNow - 100, kNow - 90);  // ten seconds without values
    Shown s(r);
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    s.window.SetSpan(300);
    test::RecordingSink sink;
    s.window.SetMessageSink(&sink);
    QTemporaryDir dir;
    QString answer;
    QStringList suggested;
    s.window.SetCsvOptionsSource([] {
        TrendCsvOptions o;
        o.separatorCode = kSeparatorSemicolon;
        o.decimalCode = kDecimalComma;
        return o;
    });

    answer = dir.filePath(QStringLiteral("wykres"));  // the suffix is added
    AnswerNextFileDialog(answer, &suggested);
    QTest::mouseClick(test::BarButton(s.window, "savePng"), Qt::LeftButton);
    const QImage image(answer + QStringLiteral(".png"));
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), s.Chart().grab().size());
    QVERIFY(suggested.last().endsWith(QStringLiteral(".png")));

    answer = dir.filePath(QStringLiteral("odczyty.csv"));
    AnswerNextFileDialog(answer);
    QTest::mouseClick(test::BarButton(s.window, "saveCsv"), Qt::LeftButton);
    QFile file(answer);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY(!text.contains(QRegularExpression(QStringLiteral("[^\r]\n"))));
    QStringList lines = text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.takeLast(), QString());  // the last line ends too
    QCOMPARE(lines.takeFirst(), QStringLiteral("Data i Godzina;Temperatura °C;Wartość zadana °C;"
                                               "Wartość zadana 2 °C"));
    QCOMPARE(lines.size(), 301);  // every second of the five minutes, both ends
    const QRegularExpression number(QStringLiteral("^-?\\d+,\\d$"));
    int gaps = 0;
    for (const QString& line : lines) {
        const QStringList fields = line.split(QLatin1Char(';'));
        QCOMPARE(fields.size(), 4);
        if (fields[1] == QStringLiteral("???")) {
            ++gaps;
            QCOMPARE(fields.mid(1), QStringList(3, QStringLiteral("???")));
            continue;
        }
        for (int i = 1; i < 4; ++i) {
            QVERIFY2(number.match(fields[i]).hasMatch(), qPrintable(line));
        }
    }
    QCOMPARE(gaps, 10);

    AnswerNextFileDialog(QString());  // cancelled: nothing written, nothing said
    QTest::mouseClick(test::BarButton(s.window, "saveCsv"), Qt::LeftButton);
    QVERIFY(sink.boxes.empty());
}

void TrendWindowTest::exportThatCannotBeWrittenIsReported() {
    TrendRecorder r;
    Fill(r, 60);
    Shown s(r);
    test::RecordingSink sink;
    s.window.SetMessageSink(&sink);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("brak/wykres.png"));
    AnswerNextFileDialog(path);
    QTest::mouseClick(test::BarButton(s.window, "savePng"), Qt::LeftButton);
    AnswerNextFileDialog(path);
    QTest::mouseClick(test::BarButton(s.window, "saveCsv"), Qt::LeftButton);
    QCOMPARE(sink.Texts(), QStringList(2, QStringLiteral("Nie można zapisać pliku %1.").arg(path)));
}

void TrendWindowTest::gapIsLeftBlankNotDrawnAsALine() {
    TrendRecorder r;
    for (int64_t t = kNow - 599; t <= kNow; ++t) {
        const bool lost = t >= kNow - 400 && t < kNow - 200;
        r.Tick(t * 1000, lost ? TrendValues{} : TrendValues{20.0, std::nullopt, std::nullopt});
    }
    Shown s(r, {800, 400});
    s.Chart().SetCurveColours({QColor(255, 0, 0), QColor(0, 0, 255), QColor(0, 160, 0)});
    s.window.SetSpan(600);
    QImage image(s.Chart().size(), QImage::Format_RGB32);
    QPainter painter(&image);
    s.Chart().Draw(painter, image.size());
    painter.end();
    const QRect plot = s.Chart().PlotRect();
    const auto redIn = [&](int x, int top, int bottom) {
        for (int y = top; y <= bottom; ++y) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 120 && c.blue() < 120) {
                return true;
            }
        }
        return false;
    };
    for (int x = plot.left() + 2; x < plot.right() - 2; ++x) {
        const double t = TimeAt(s.Chart(), x + 0.5);
        const bool inGap = t > kNow - 400 + 2 && t < kNow - 200 - 2;
        const bool inData = (t > kNow - 598 && t < kNow - 402) || (t > kNow - 198 && t < kNow - 2);
        if (inGap) {
            QVERIFY2(!redIn(x, plot.top() + 1, plot.bottom() - 1), qPrintable(QString::number(x)));
        } else if (inData) {
            QVERIFY2(redIn(x, plot.top() + 1, plot.bottom() - 1), qPrintable(QString::number(x)));
        }
    }
    // Nothing runs down towards zero, which lies below the axis' range.
    for (int x = plot.left() + 2; x < plot.right() - 2; ++x) {
        QVERIFY(!redIn(x, plot.bottom() - 20, plot.bottom() - 1));
    }
}

void TrendWindowTest::repaintsOncePerSampleAndNotWhenHidden() {
    TrendRecorder r;
    int64_t nowMs = kNow * 1000;
    TrendWindow window(r);
    window.Chart()->SetClock([&nowMs] { return static_cast<double>(nowMs) / 1000.0; });
    window.resize(700, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const auto tickFor = [&](int ticks) {
        int stored = 0;
        for (int i = 0; i < ticks; ++i) {
            nowMs += 100;
            if (r.Tick(nowMs, TrendValues{20.0 + i * 0.01, 21.0, std::nullopt})) {
                ++stored;
                window.Chart()->SampleAdded();
            }
            QCoreApplication::processEvents();
        }
        return stored;
    };
    QCoreApplication::processEvents();
    test::PaintCounter counter(window.Chart());
    int before = counter.Count();
    const int stored = tickFor(30);
    QVERIFY(stored >= 3 && stored <= 4);
    const int paints = counter.Count() - before;
    QVERIFY2(paints >= 1 && paints <= stored, qPrintable(QString::number(paints)));

    window.hide();
    before = counter.Count();
    tickFor(30);
    QCOMPARE(counter.Count(), before);
    QCOMPARE(window.Chart()->View().End(), static_cast<double>(r.NewestTime()));

    window.showMinimized();
    QCoreApplication::processEvents();
    before = counter.Count();
    tickFor(30);
    QCOMPARE(counter.Count(), before);
}

void TrendWindowTest::followingRepaintsWhatMovesAsIfDrawnAfresh_data() {
    QTest::addColumn<double>("oldest");  // the value of the oldest sample in view
    QTest::addColumn<double>("next");    // the value of the samples added
    QTest::addColumn<bool>("axisStays");
    QTest::newRow("steady values") << 20.1 << 20.2 << true;
    QTest::newRow("a new high") << 20.1 << 26.0 << false;
    QTest::newRow("the low leaves the view") << 14.0 << 20.2 << false;
}

// While the chart follows the newest sample, a new sample moves the plot and
// the time axis; the value axis and the legend stay unless the values' range
// in view changed. The screen must show what a paint afresh shows.
void TrendWindowTest::followingRepaintsWhatMovesAsIfDrawnAfresh() {
    QFETCH(double, oldest);
    QFETCH(double, next);
    QFETCH(bool, axisStays);
    constexpr int kSpan = 300;
    TrendRecorder r;
    for (int64_t t = kNow - kSpan + 1; t <= kNow; ++t) {
        const double value = t == kNow - kSpan + 1 ? oldest : 20.0 + 0.1 * ((t / 7) % 3);
        r.Tick(t * 1000, TrendValues{value, 21.0, std::nullopt});
    }
    Shown s(r);
    s.Chart().SetSpan(kSpan);
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    QCoreApplication::processEvents();

    test::PaintCounter counter(&s.Chart());
    for (int64_t t = kNow + 1; t <= kNow + 3; ++t) {
        r.Tick(t * 1000, TrendValues{next, 21.0, std::nullopt});
        s.Chart().SampleAdded();
        QCoreApplication::processEvents();
    }
    QVERIFY(counter.Count() >= 1);
    const QRect plot = s.Chart().PlotRect();
    const QPoint valueLabels(plot.left() / 2, plot.center().y());
    const QPoint legend(plot.left() + 10, plot.top() / 2);
    QCOMPARE(counter.Painted().contains(valueLabels), !axisStays);
    QCOMPARE(counter.Painted().contains(legend), !axisStays);

    const QPoint at = s.Chart().mapTo(&s.window, QPoint());
    const QImage shown =
        s.window.screen()
            ->grabWindow(s.window.winId(), at.x(), at.y(), s.Chart().width(), s.Chart().height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    QImage fresh(s.Chart().size(), QImage::Format_RGB32);
    QPainter painter(&fresh);
    painter.setFont(s.Chart().font());
    s.Chart().Draw(painter, fresh.size());
    painter.end();
    QCOMPARE(shown, fresh);
}

void TrendWindowTest::fullDayRepaintTime() {
    TrendRecorder r;
    Fill(r, 86400, kNow - 50'000, kNow - 46'400);
    Shown s(r, {1200, 700});
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    s.window.SetSpan(86400);
    s.Chart().repaint();  // warm-up
    constexpr int kRounds = 20;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kRounds; ++i) {
        s.Chart().repaint();
    }
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6 / kRounds;
    qInfo("Repaint of the chart with 24 h of three curves at full span, %dx%d px: %.2f ms",
          s.Chart().width(), s.Chart().height(), ms);
    QVERIFY2(ms < 200.0, qPrintable(QString::number(ms)));
    QCOMPARE(s.Chart().CurvesShown(), (std::array<bool, kTrendCurves>{true, true, true}));
}

}  // namespace tk358

QTEST_MAIN(tk358::TrendWindowTest)
#include "trend_window_test.moc"
