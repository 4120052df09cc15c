// SPDX-License-Identifier: GPL-3.0-or-later
// The trend view on the main window: the "Wykres" command and the TREND
// settings on a fake link, and the recording of the displays' values against
// the simulated panel over a pseudo-terminal.

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include "app/dialog_wiring.h"
#include "link/panel_session.h"
#include "monitor/main_window.h"
#include "monitor/trend_chart.h"
#include "monitor/trend_controller.h"
#include "monitor/trend_window.h"
#include "monitor/window_menu.h"
#include "sim/pty_simulator.h"
#include "support/fake_panel.h"
#include "support/mnemonics.h"
#include "support/paint_counter.h"
#include "trend/trend_decimate.h"
#include "widget/dialogs/recording_sink.h"
#include "widget/trend/trend_window_children.h"
#include "widget/window/short_timing.h"
#include "widgets/value_display.h"

namespace tk358 {
namespace {

// The program's main window, wired as at start-up, on a session to the
// simulated panel at `port`.
struct SimWindow {
    explicit SimWindow(int port) : window(session) {
        window.SetMessageSink(&sink);
        AppSettings settings = AppSettings::FileDefaults();
        settings.portNr = port;
        ApplyAppSettings(window, WireDialogs(window), settings);
        trend = window.findChild<TrendController*>();
        window.Start();
        window.show();
    }

    PanelSession session{test::ShortTiming()};
    test::RecordingSink sink;
    MainWindow window;
    TrendController* trend = nullptr;
};

int TrendWindows() {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        count += qobject_cast<TrendWindow*>(w) != nullptr ? 1 : 0;
    }
    return count;
}

bool NewestHasValue(const TrendController& trend, int curve) {
    const TrendBuffer& b = trend.Recorder().Curve(curve);
    return !b.Empty() && !b.Newest().IsGap();
}

// Saves the trend window when TK358_TREND_SHOTS names a folder (for a look
// at the chart under a real display).
void Shoot(QWidget* window, const QString& name) {
    const QString folder = qEnvironmentVariable("TK358_TREND_SHOTS");
    if (!folder.isEmpty()) {
        window->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
}

}  // namespace

class TrendSimTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void commandOpensOneWindowKeptInTheSettings();
    void hugeStoredRectangleOpensAChartThatFitsTheScreen();
    void recordsOneSampleASecondAndAGapWhenThePanelFallsSilent();
    void thresholdRegulatorWithTwoChannelsHasThreeCurves();

private:
    QTemporaryDir portDir_;
};

void TrendSimTest::initTestCase() {
    QVERIFY(portDir_.isValid());
    qputenv("TK358_PORT_DIR", portDir_.path().toUtf8());
}

void TrendSimTest::commandOpensOneWindowKeptInTheSettings() {
    test::FakePanel panel;
    panel.openable = {1};
    panel.Connect(kTemperatureController);
    test::RecordingSink sink;
    MainWindow window(panel);
    window.SetMessageSink(&sink);
    AppSettings settings = AppSettings::FileDefaults();
    settings.portNr = 1;
    settings.trend = {true, 7200, {40, 50, 840, 550}};
    const WiredParts parts = WireDialogs(window);
    ApplyAppSettings(window, parts, settings);
    TrendController* trend = &parts.trend;
    QCOMPARE(window.findChild<TrendController*>(), trend);
    const auto saved = [&] {
        AppSettings s = AppSettings::FileDefaults();
        StoreAppSettings(window, parts, s);
        return s;
    };
    window.Start();
    window.show();

    // Open at the end of the last run: reopened with its size and span.
    QTRY_VERIFY(test::FindTrendWindow(window) != nullptr &&
                test::FindTrendWindow(window)->isVisible());
    TrendWindow* chart = test::FindTrendWindow(window);
    QCOMPARE(chart->size(), QSize(800, 500));
    QCOMPARE(chart->Chart()->View().Span(), 7200.0);
    QVERIFY(test::SpanButton(*chart, 2)->isChecked());

    QAction* command = window.Menu().Action(MenuCommand::kTrend);
    QCOMPARE(test::WithoutMnemonic(command->text()), QStringLiteral("Wykres"));
    command->trigger();
    command->trigger();
    QCOMPARE(test::FindTrendWindow(window), chart);
    QCOMPARE(TrendWindows(), 1);

    QTest::mouseClick(test::SpanButton(*chart, 0), Qt::LeftButton);
    chart->resize(700, 450);
    QCOMPARE(saved().trend.span, 300);
    QCOMPARE(saved().trend.window.right - saved().trend.window.left, 700);

    chart->close();  // by the operator
    QVERIFY(!saved().trend.open);
    command->trigger();
    QVERIFY(chart->isVisible());
    QVERIFY(saved().trend.open);

    // The program's end hides the chart but keeps it open for the next start.
    window.close();
    QVERIFY(!chart->isVisible());
    QVERIFY(saved().trend.open);
    QVERIFY(sink.boxes.empty());
}

void TrendSimTest::hugeStoredRectangleOpensAChartThatFitsTheScreen() {
    test::FakePanel panel;
    panel.linkStatus = kStatusFailed;
    panel.openable = {1};
    test::RecordingSink sink;
    MainWindow window(panel);
    window.SetMessageSink(&sink);
    AppSettings settings = AppSettings::FileDefaults();
    settings.portNr = 1;
    settings.trend = {true, 1800, {100000000, 100000000, 200000000, 200000000}};
    const WiredParts parts = WireDialogs(window);
    ApplyAppSettings(window, parts, settings);
    window.Start();
    window.show();
    QTRY_VERIFY(test::FindTrendWindow(window) != nullptr &&
                test::FindTrendWindow(window)->isVisible());
    const TrendWindow* chart = test::FindTrendWindow(window);
    const QRect screen = chart->screen()->availableGeometry();
    QVERIFY(screen.contains(QRect(chart->pos(), chart->size())));
    const WindowRect used = parts.trend.Settings().window;
    QCOMPARE(QRect(used.left, used.top, used.right - used.left, used.bottom - used.top),
             QRect(chart->pos(), chart->size()));
}

void TrendSimTest::recordsOneSampleASecondAndAGapWhenThePanelFallsSilent() {
    sim::PtySimulatorOptions options;
    options.panel = sim::DefaultConfig(sim::kKindDualZone);
    options.portDirectory = portDir_.path().toStdString();
    sim::PtySimulator simulator(options);
    std::string error;
    QVERIFY2(simulator.Start(&error), error.c_str());

    SimWindow sim(simulator.PortNumber());
    MainWindow& window = sim.window;
    test::RecordingSink& sink = sim.sink;
    TrendController* trend = sim.trend;
    QVERIFY(trend != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.Menu().Action(MenuCommand::kTrend)->trigger();
    TrendWindow* chart = test::FindTrendWindow(window);
    QVERIFY(chart != nullptr && chart->isVisible());
    QTest::mouseClick(test::SpanButton(*chart, 0), Qt::LeftButton);

    QTRY_VERIFY_WITH_TIMEOUT(NewestHasValue(*trend, kTrendSetpoint), 15000);
    const std::size_t samples = trend->Recorder().Size();
    test::PaintCounter counter(chart->Chart());
    const int paints = counter.Count();
    QTest::qWait(3000);
    const std::size_t added = trend->Recorder().Size() - samples;
    QVERIFY2(added >= 2 && added <= 4, qPrintable(QString::number(added)));
    QVERIFY(NewestHasValue(*trend, kTrendTemperature));
    QVERIFY(NewestHasValue(*trend, kTrendSetpoint));
    QVERIFY(!trend->Recorder().HasValues(kTrendSetpoint2));
    const double shown = window.Displays()[kTemperatureRow]->GetValue();
    QVERIFY(std::abs(trend->Recorder().Curve(kTrendTemperature).Newest().value - shown) < 1.0);
    // Repainted once a second, not on every tick.
    const int repaints = counter.Count() - paints;
    QVERIFY2(repaints >= 1 && repaints <= static_cast<int>(added) + 1,
             qPrintable(QString::number(repaints)));
    Shoot(chart, QStringLiteral("trend-5min"));

    simulator.SilenceUntilResumed();
    QTRY_VERIFY_WITH_TIMEOUT(window.Displays()[kTemperatureRow]->IsInvalid(), 15000);
    QTest::qWait(1500);
    for (int curve = 0; curve < kTrendCurves; ++curve) {
        QVERIFY(trend->Recorder().Curve(curve).Newest().IsGap());
    }
    const int64_t silentAt = trend->Recorder().NewestTime();
    simulator.Resume();
    QTRY_VERIFY_WITH_TIMEOUT(NewestHasValue(*trend, kTrendTemperature), 15000);
    QTest::qWait(2000);
    Shoot(chart, QStringLiteral("trend-gap"));

    // The line stops at the gap and starts again after it.
    const TrendView& view = chart->Chart()->View();
    const DecimatedCurve d =
        DecimateTrend(trend->Recorder().Curve(kTrendTemperature), view.Start(), view.End(), 300);
    const double width = (view.End() - view.Start()) / 300;
    const auto column =
        static_cast<std::size_t>((static_cast<double>(silentAt) - view.Start()) / width);
    bool restartFound = false;
    for (std::size_t i = column; i < d.columns.size(); ++i) {
        if (d.columns[i].count > 0) {
            QVERIFY(!d.columns[i].joinsPrevious);
            restartFound = true;
            break;
        }
    }
    QVERIFY(restartFound);
    QVERIFY(sink.boxes.empty());
}

void TrendSimTest::thresholdRegulatorWithTwoChannelsHasThreeCurves() {
    sim::PtySimulatorOptions options;
    options.panel = sim::DefaultConfig(sim::kKindThreshold);
    options.portDirectory = portDir_.path().toStdString();
    sim::PtySimulator simulator(options);
    std::string error;
    QVERIFY2(simulator.Start(&error), error.c_str());
    QVERIFY(simulator.SetParameter(165, 2));

    SimWindow sim(simulator.PortNumber());
    MainWindow& window = sim.window;
    test::RecordingSink& sink = sim.sink;
    TrendController* trend = sim.trend;
    QVERIFY(trend != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.Menu().Action(MenuCommand::kTrend)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(NewestHasValue(*trend, kTrendSetpoint2), 20000);
    QVERIFY(window.TwoSetpoints());
    QTest::qWait(2500);
    TrendWindow* chart = test::FindTrendWindow(window);
    QCOMPARE(chart->Chart()->CurvesShown(), (std::array<bool, kTrendCurves>{true, true, true}));
    QCOMPARE(trend->Recorder().Curve(kTrendSetpoint2).Newest().value,
             window.Displays()[kSecondSetpointRow]->GetValue());
    Shoot(chart, QStringLiteral("trend-two-setpoints"));
    QVERIFY(sink.boxes.empty());
}

}  // namespace tk358

QTEST_MAIN(tk358::TrendSimTest)
#include "trend_sim_test.moc"
