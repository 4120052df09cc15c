// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/main_window.h"

#include <QAction>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>
#include <cerrno>
#include <climits>
#include <deque>
#include <functional>
#include <memory>
#include <numeric>
#include <thread>

#include "monitor/trend_controller.h"
#include "monitor/window_menu.h"
#include "panel/panel_model.h"
#include "support/fake_panel.h"
#include "support/paint_counter.h"
#include "support/shown_picture.h"
#include "widget/dialogs/recording_sink.h"
#include "widget/window/service_children.h"
#include "widgets/colour_dialog.h"
#include "widgets/colour_swatch.h"
#include "widgets/read_only_field.h"
#include "widgets/status_indicator.h"
#include "widgets/value_display.h"

Q_DECLARE_METATYPE(tk358::WindowRect)

namespace tk358 {
namespace {

using test::FakePanel;
using test::RecordingSink;

QRect ToQRect(const Rect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// A window on a fake link, its messages recorded and its port choices
// answered from a queue (an empty answer cancels).
struct Harness {
    FakePanel panel;
    RecordingSink sink;
    std::deque<std::optional<int>> portAnswers;
    std::vector<int> portChoicePresets;
    QElapsedTimer sinceStart;
    qint64 firstPortChoiceMs = -1;
    std::unique_ptr<MainWindow> window;

    explicit Harness(AppSettings settings = AppSettings::FileDefaults()) {
        panel.linkStatus = kStatusFailed;  // until the test connects it
        window = std::make_unique<MainWindow>(panel);
        window->SetMessageSink(&sink);
        window->Hooks().choosePort = [this](QWidget*, int current) -> std::optional<int> {
            if (firstPortChoiceMs < 0) {
                firstPortChoiceMs = sinceStart.elapsed();
            }
            portChoicePresets.push_back(current);
            if (portAnswers.empty()) {
                return std::nullopt;
            }
            const std::optional<int> answer = portAnswers.front();
            portAnswers.pop_front();
            return answer;
        };
        window->ApplySettings(settings);
    }

    void StartAndShow() {
        sinceStart.start();
        window->Start();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    QAction* Action(MenuCommand c) const { return window->Menu().Action(c); }
    // What the window stores of its settings.
    AppSettings Saved() const {
        AppSettings s = AppSettings::FileDefaults();
        window->StoreSettings(s);
        return s;
    }
    ReadOnlyField* StatusLine() const {
        return window->findChild<ReadOnlyField*>(QStringLiteral("statusLine"));
    }
    StatusIndicator* Indicator() const {
        return window->findChild<StatusIndicator*>(QStringLiteral("statusIndicator"));
    }
    ValueDisplay* Display(int row) const {
        return window->Displays()[static_cast<std::size_t>(row)];
    }
    QRect Geometry(int row) const { return Display(row)->geometry(); }
};

AppSettings WithPort(int port) {
    AppSettings s = AppSettings::FileDefaults();
    s.portNr = port;
    return s;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startShowsNoLinkThenReportsAPortThatDoesNotOpen();
    void portOpenFailureNamesTheFixableCause_data();
    void portOpenFailureNamesTheFixableCause();
    void noStoredPortOffersTheChoiceOnceShown();
    void portChoiceRepeatsUntilAPortOpensOrItIsCancelled();
    void panelMenuFollowsTheDeviceType_data();
    void panelMenuFollowsTheDeviceType();
    void sameStatusTextIsWrittenOnce();
    void serviceViewMovesTheDisplays();
    void serviceLabelsAreNeverCut();
    void serviceFieldsFillWhenTheViewOpensWithoutNews();
    void ventilationControllerHasNoSetpointDisplay();
    void secondSetpointFollowsTheActiveChannels();
    void quietTickCopiesAndPaintsNothing();
    void readingPastItsFreshnessShowsMissingWithoutNews();
    void trendSampleOfASecondIsWhatItsFirstTickShowed();
    void lostLinkClearsEverything();
    void linkChangeRelaysTheWindowOut();
    void enterAndEscapeAreSwallowed();
    void topmostKeepsTheGeometry();
    void settingsSurviveTheWindow();
    void restoredRectangleOutlivesMaximising();
    void storedRectangleIsClampedToTheScreen_data();
    void storedRectangleIsClampedToTheScreen();
    void unsupportedPanelStopsOnce();
    void closeResults();
    void regulationRefusesOrOpensByPanel();
    void panelCommandsReachTheirDialogs();
    void coloursOfferTheThirdRowOnlyForTwoSetpointPanels();
};

void MainWindowTest::startShowsNoLinkThenReportsAPortThatDoesNotOpen() {
    Harness h(WithPort(7));
    StatusImage imageAtOpen = StatusImage::kNone;
    h.panel.onOpen = [&](int) { imageAtOpen = test::ShownStatusImage(*h.Indicator()); };
    h.StartAndShow();

    QCOMPARE(imageAtOpen, StatusImage::kNoLink);
    QCOMPARE(h.panel.events, (std::vector<std::string>{"open 7", "close"}));
    QCOMPARE(h.sink.Texts(), QStringList{QStringLiteral("Nie można otworzyć portu COM7")});
    QCOMPARE(h.sink.boxes[0].icon, MessageIcon::Plain);
    QCOMPARE(h.firstPortChoiceMs, qint64{-1});  // not while the window was hidden
    QTRY_VERIFY_WITH_TIMEOUT(h.firstPortChoiceMs >= 0, 3000);
    QVERIFY2(h.firstPortChoiceMs >= MainWindow::kPortRetryMs - 50,
             "the port choice waits for the shown window");
    QCOMPARE(h.portChoicePresets, std::vector<int>{7});
    QCOMPARE(h.window->PortNumber(), 7);  // kept for the next start when cancelled
}

void MainWindowTest::portOpenFailureNamesTheFixableCause_data() {
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("secondLine");
    QTest::newRow("no permission") << EACCES << QStringLiteral("dialout");
    QTest::newRow("in use") << EBUSY << QStringLiteral("zajęty przez inny program");
}

void MainWindowTest::portOpenFailureNamesTheFixableCause() {
    QFETCH(int, error);
    QFETCH(QString, secondLine);
    Harness h(WithPort(33));
    h.panel.openError = error;
    h.StartAndShow();
    QCOMPARE(h.sink.boxes.size(), std::size_t{1});
    const QStringList lines = h.sink.boxes[0].text.split('\n');
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QStringLiteral("Nie można otworzyć portu COM33"));
    QVERIFY2(lines[1].contains(secondLine), qPrintable(lines[1]));
}

void MainWindowTest::noStoredPortOffersTheChoiceOnceShown() {
    Harness h(WithPort(0));
    h.StartAndShow();
    QVERIFY(h.panel.events.empty());
    QVERIFY(h.sink.boxes.empty());
    QTRY_COMPARE_WITH_TIMEOUT(h.portChoicePresets.size(), std::size_t{1}, 3000);
    QVERIFY(h.firstPortChoiceMs >= MainWindow::kPortRetryMs - 50);
    QCOMPARE(h.portChoicePresets[0], 0);
    QTest::qWait(2 * MainWindow::kPortRetryMs);
    QCOMPARE(h.portChoicePresets.size(), std::size_t{1});  // offered once
}

void MainWindowTest::portChoiceRepeatsUntilAPortOpensOrItIsCancelled() {
    Harness h(WithPort(5));
    h.panel.openable = {5, 4};
    h.panel.openError = EBUSY;
    h.StartAndShow();
    h.panel.events.clear();

    // A port in use, then one that opens.
    h.portAnswers = {9, 4};
    h.Action(MenuCommand::kPort)->trigger();
    QCOMPARE(h.panel.events,
             (std::vector<std::string>{"close", "open 9", "close", "close", "open 4"}));
    QCOMPARE(h.portChoicePresets, (std::vector<int>{5, 0}));
    QCOMPARE(h.sink.boxes.size(), std::size_t{1});
    QVERIFY(h.sink.boxes[0].text.startsWith(QStringLiteral("Nie można otworzyć portu COM9\n")));
    QCOMPARE(h.window->PortNumber(), 4);

    // The port in use again changes nothing; so does cancelling.
    h.panel.events.clear();
    h.portAnswers = {4};
    h.Action(MenuCommand::kPort)->trigger();
    h.Action(MenuCommand::kPort)->trigger();
    QVERIFY(h.panel.events.empty());
    QCOMPARE(h.window->PortNumber(), 4);

    // A failing choice then cancelling leaves no port, which is what is saved.
    h.portAnswers = {8};
    h.Action(MenuCommand::kPort)->trigger();
    QCOMPARE(h.window->PortNumber(), 0);
    QCOMPARE(h.Saved().portNr, 0);
}

void MainWindowTest::panelMenuFollowsTheDeviceType_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("clockOn");
    QTest::addColumn<QString>("enabled");  // P pid, C cv, S set point, T clock
    QTest::newRow("temperature") << 0 << true << QStringLiteral("PCS");
    QTest::newRow("drain valve") << 1 << false << QStringLiteral("S");
    QTest::newRow("ventilation") << 2 << false << QString();
    QTest::newRow("dual zone") << 3 << false << QStringLiteral("PCST");
    QTest::newRow("threshold, clock on") << 4 << true << QStringLiteral("T");
    QTest::newRow("threshold, clock off") << 4 << false << QString();
    QTest::newRow("unknown") << 7 << false << QString();
}

void MainWindowTest::panelMenuFollowsTheDeviceType() {
    QFETCH(int, type);
    QFETCH(bool, clockOn);
    QFETCH(QString, enabled);
    Harness h(WithPort(1));
    h.panel.openable = {1};
    h.StartAndShow();
    // Not connected yet: the menu is as built.
    for (MenuCommand c : kAllMenuCommands) {
        QVERIFY(h.Action(c)->isEnabled());
    }
    h.panel.Connect(static_cast<uint8_t>(type));
    h.panel.clock = {{2024, 5, 1, 2, 10, 0, 0, 0}, static_cast<uint8_t>(clockOn), 1};
    h.window->UpdateReadings();
    QCOMPARE(h.Action(MenuCommand::kPid)->isEnabled(), enabled.contains('P'));
    QCOMPARE(h.Action(MenuCommand::kCv)->isEnabled(), enabled.contains('C'));
    QCOMPARE(h.Action(MenuCommand::kSetpoint)->isEnabled(), enabled.contains('S'));
    QCOMPARE(h.Action(MenuCommand::kClock)->isEnabled(), enabled.contains('T'));
    // The parameter file commands serve every known kind.
    QCOMPARE(h.Action(MenuCommand::kSaveParameters)->isEnabled(), type < 5);
    QCOMPARE(h.Action(MenuCommand::kLoadParameters)->isEnabled(), type < 5);
    QVERIFY(h.Action(MenuCommand::kPanelInfo)->isEnabled());
    QVERIFY(h.Action(MenuCommand::kRegulation)->isEnabled());
}

void MainWindowTest::sameStatusTextIsWrittenOnce() {
    Harness h(WithPort(1));
    h.panel.openable = {1};
    h.panel.Connect(kVentilationController, 7);
    h.StartAndShow();
    QSignalSpy writes(h.StatusLine(), &ReadOnlyField::textChanged);
    h.window->UpdateReadings();
    h.window->UpdateReadings();
    QCOMPARE(writes.count(), 0);
    QCOMPARE(h.StatusLine()->text(), QStringLiteral("TK-358W nr 7. "));
    QCOMPARE(test::ShownStatusImage(*h.Indicator()), StatusImage::kCorrect);

    h.panel.temperature.sensorError = 1;
    h.window->UpdateReadings();
    h.window->UpdateReadings();
    QCOMPARE(writes.count(), 1);
    QCOMPARE(h.StatusLine()->text(), QStringLiteral("TK-358W nr 7.  Błąd temperatury."));
    QCOMPARE(test::ShownStatusImage(*h.Indicator()), StatusImage::kError);
}

void MainWindowTest::serviceViewMovesTheDisplays() {
    Harness h(WithPort(1));
    h.panel.openable = {1};
    h.panel.Connect(kTemperatureController);
    h.StartAndShow();
    const QRect plain = h.Geometry(kTemperatureRow);
    QCOMPARE(plain, ToQRect(h.window->CurrentLayout().temperature));

    h.Action(MenuCommand::kShowService)->trigger();
    QVERIFY(h.Saved().showService);
    QVERIFY(h.Action(MenuCommand::kShowService)->isChecked());
    const MainLayout layout = h.window->CurrentLayout();
    QVERIFY(!layout.boxes.empty());
    QCOMPARE(h.Geometry(kTemperatureRow), ToQRect(layout.temperature));
    QCOMPARE(h.Geometry(kSetpointRow), ToQRect(*layout.setpoint));
    QVERIFY(h.Geometry(kTemperatureRow).top() > plain.top());
    for (const BoxPlacement& box : layout.boxes) {
        QVERIFY(test::ServiceBoxWidget(*h.window, box.box)->isVisible());
        QCOMPARE(test::ServiceBoxWidget(*h.window, box.box)->geometry(), ToQRect(box.rect));
    }
    for (const FieldPlacement& f : layout.fields) {
        QVERIFY(test::ServiceValue(*h.window, f.field).visible);
        QCOMPARE(test::ServiceValue(*h.window, f.field).geometry, ToQRect(f.edit));
        QCOMPARE(test::ServiceLabel(*h.window, f.field)->geometry(), ToQRect(f.label));
    }
    QVERIFY(!test::ServiceBoxWidget(*h.window, ServiceBox::kOperational)->isVisible());

    h.Action(MenuCommand::kShowService)->trigger();
    QVERIFY(!h.Action(MenuCommand::kShowService)->isChecked());
    QCOMPARE(h.Geometry(kTemperatureRow), plain);
    QVERIFY(!test::ServiceBoxWidget(*h.window, ServiceBox::kRegulation)->isVisible());
    QVERIFY(!test::ServiceValue(*h.window, ServiceField::kKp).visible);
}

void MainWindowTest::serviceLabelsAreNeverCut() {
    for (uint8_t type : {0, 1, 2, 3, 4}) {
        for (int width : {780, 500}) {
            AppSettings s = WithPort(1);
            s.showService = true;
            s.window = {0, 0, width, 500};
            Harness h(s);
            h.panel.openable = {1};
            h.panel.Connect(type);
            h.StartAndShow();
            for (const FieldPlacement& f : h.window->CurrentLayout().fields) {
                const QLabel* label = test::ServiceLabel(*h.window, f.field);
                const QString full = QString::fromUtf8(ServiceFieldLabel(f.field));
                const QString where =
                    QStringLiteral("type %1, %2 px: %3").arg(type).arg(width).arg(full);
                QVERIFY2(label->isVisible(), qPrintable(where));
                // Whole, or elided with the whole text at hand.
                QVERIFY2(
                    QFontMetrics(label->font()).horizontalAdvance(label->text()) <= label->width(),
                    qPrintable(where));
                QVERIFY2(label->text() == full || label->toolTip() == full, qPrintable(where));
            }
        }
    }
}

void MainWindowTest::serviceFieldsFillWhenTheViewOpensWithoutNews() {
    Harness h(WithPort(1));
    h.panel.openable = {1};
    h.panel.Connect(kTemperatureController);
    h.panel.parameters.Store(1, 25);
    h.StartAndShow();
    h.window->UpdateReadings();
    QVERIFY(test::ServiceValue(*h.window, ServiceField::kKp).text.isEmpty());  // not while hidden
    h.Action(MenuCommand::kShowService)->trigger();
    h.window->UpdateReadings();
    QCOMPARE(test::ServiceValue(*h.window, ServiceField::kKp).text, QStringLiteral("2.5"));

    // Logging switched on changes the status line though the panel says
    // nothing new.
    h.window->Hooks().loggingState = [] { return LoggingState{true, 60}; };
    h.window->UpdateReadings();
    QVERIFY(h.StatusLine()->text().endsWith(QStringLiteral(" Rejestracja do pliku co 00:01:00. ")));
}

void MainWindowTest::ventilationControllerHasNoSetpointDisplay() {
    AppSettings s = WithPort(1);
    s.showService = true;
    Harness h(s);
    h.panel.openable = {1};
    h.panel.Connect(kVentilationController);
    h.StartAndShow();
    QVERIFY(!h.Display(kSetpointRow)->isVisible());
    QVERIFY(test::ServiceValue(*h.window, ServiceField::kVentT1).visible);
    QVERIFY(!test::ServiceValue(*h.window, ServiceField::kKp).visible);
    h.Action(MenuCommand::kShowService)->trigger();
    QVERIFY(!h.Display(kSetpointRow)->isVisible());
    QVERIFY(h.Display(kTemperatureRow)->isVisible());
}

void MainWindowTest::secondSetpointFollowsTheActiveChannels() {
    Harness h(WithPort(1));
    h.panel.openable = {1};
    h.panel.Connect(kThresholdRegulator);
    h.panel.parameters.Store(165, 2);
    h.panel.parameters.Store(90, 215);
    h.panel.parameters.Store(91, 185);
    h.StartAndShow();
    QVERIFY(h.window->TwoSetpoints());
    QVERIFY(h.Display(kSecondSetpointRow)->isVisible());
    QCOMPARE(h.Display(kSetpointRow)->GetValue(), 21.5);
    QCOMPARE(h.Display(kSecondSetpointRow)->GetValue(), 18.5);
    QCOMPARE(h.Geometry(kSecondSetpointRow), ToQRect(*h.window->CurrentLayout().setpoint2));
    const int halfWidth = h.Geometry(kSetpointRow).width();

    h.panel.parameters.Store(165, 1);
    h.window->UpdateReadings();
    QVERIFY(!h.window->TwoSetpoints());
    QVERIFY(!h.Display(kSecondSetpointRow)->isVisible());
    QVERIFY(h.Geometry(kSetpointRow).width() > halfWidth);
    QCOMPARE(h.Geometry(kSetpointRow), ToQRect(*h.window->CurrentLayout().setpoint));
}

namespace {

// The paints of the window and of every widget in it.
struct WindowPaints {
    std::vector<std::unique_ptr<test::PaintCounter>> counters;
    explicit WindowPaints(QWidget& window) {
        QList<QWidget*> widgets = window.findChildren<QWidget*>();
        widgets << &window;
        for (QWidget* w : widgets) {
            counters.push_back(std::make_unique<test::PaintCounter>(w));
        }
    }
    int Count() const {
        return std::accumulate(counters.begin(), counters.end(), 0,
                               [](int n, const auto& c) { return n + c->Count(); });
    }
};

// A connected temperature controller with the service view on, its records
// counted by the test, presented and painted.
struct CountedHarness : Harness {
    CountedHarness()
        : Harness([] {
              AppSettings s = WithPort(1);
              s.showService = true;
              return s;
          }()) {
        panel.openable = {1};
        panel.Connect(kTemperatureController);
        panel.version = RecordsVersion{1, MonotonicTime::max()};
        StartAndShow();
        QTest::qWait(3 * MainWindow::kRefreshMs);  // shown and settled
    }
};

}  // namespace

void MainWindowTest::quietTickCopiesAndPaintsNothing() {
    CountedHarness h;
    WindowPaints paints(*h.window);
    QSignalSpy ticks(h.window.get(), &MainWindow::ticked);
    const std::size_t reads = h.panel.Reads().size();
    h.window->UpdateReadings();
    QTest::qWait(5 * MainWindow::kRefreshMs);  // the window's own ticks too
    QCOMPARE(h.panel.Reads().size(), reads);
    QCOMPARE(paints.Count(), 0);
    // Without news the window sleeps but for the tick of each wall second.
    QVERIFY2(ticks.count() <= 1, qPrintable(QString::number(ticks.count())));

    // News is shown by the next tick, painted, then all is quiet again.
    h.panel.temperature.temperature = 23.4;
    h.panel.regulator.processValue = 23.45;
    ++h.panel.version->changes;
    h.panel.Tell();
    QTRY_VERIFY_WITH_TIMEOUT(paints.Count() > 0, 2 * MainWindow::kRefreshMs);
    QCOMPARE(h.Display(kTemperatureRow)->GetValue(), 23.4);
    QCOMPARE(test::ServiceValue(*h.window, ServiceField::kPv).text, QStringLiteral("23.4500"));
    const int shown = paints.Count();
    QTest::qWait(3 * MainWindow::kRefreshMs);
    QCOMPARE(paints.Count(), shown);
}

void MainWindowTest::readingPastItsFreshnessShowsMissingWithoutNews() {
    using namespace std::chrono_literals;
    CountedHarness h;
    QSignalSpy ticks(h.window.get(), &MainWindow::ticked);
    h.panel.version->freshUntil = MonotonicClock::now() + 150ms;
    ++h.panel.version->changes;
    h.panel.Tell();
    QTRY_VERIFY_WITH_TIMEOUT(ticks.count() > 0, 2 * MainWindow::kRefreshMs);
    QCOMPARE(h.Display(kTemperatureRow)->GetValue(), 21.5);

    // What the link hands out once the reading is too old; no line arrives
    // and nobody is told.
    h.panel.temperature.valid = 0;
    QTRY_VERIFY_WITH_TIMEOUT(h.Display(kTemperatureRow)->IsInvalid(),
                             150 + 2 * MainWindow::kRefreshMs);
    QVERIFY(h.Display(kTemperatureRow)->IsBlinking());
}

void MainWindowTest::trendSampleOfASecondIsWhatItsFirstTickShowed() {
    CountedHarness h;
    int64_t wallMs = 10'050;
    TrendController trend(*h.window);
    trend.SetClock([&wallMs] { return wallMs; });
    trend.Tick();
    const auto newest = [&trend] { return trend.Recorder().Curve(kTrendTemperature).Newest(); };
    QCOMPARE(newest().value, 21.5);

    // News shown late in a second: the first point of that second's grid,
    // which the window slept through, showed what was shown before. News
    // shown at the first point is the second's sample; so is an unchanged
    // reading at a late tick.
    struct Step {
        int64_t wallMs;
        double shown;
        int64_t second;
        double stored;
    };
    const Step steps[] = {
        {11'530, 23.4, 11, 21.5}, {12'020, 25.0, 12, 25.0}, {13'950, 25.0, 13, 25.0}};
    for (const Step& s : steps) {
        h.panel.temperature.temperature = s.shown;
        ++h.panel.version->changes;
        h.window->UpdateReadings();
        wallMs = s.wallMs;
        trend.Tick();
        QCOMPARE(trend.Recorder().NewestTime(), s.second);
        QCOMPARE(newest().value, s.stored);
    }
}

void MainWindowTest::lostLinkClearsEverything() {
    AppSettings s = WithPort(1);
    s.showService = true;
    Harness h(s);
    h.panel.openable = {1};
    h.panel.Connect(kTemperatureController);
    h.panel.parameters.Store(32, 125);
    h.StartAndShow();
    QCOMPARE(test::ServiceValue(*h.window, ServiceField::kValveOpenTime).text,
             QStringLiteral("12.5"));
    QCOMPARE(h.Display(kTemperatureRow)->GetValue(), 21.5);
    QVERIFY(!h.Display(kTemperatureRow)->IsBlinking());

    h.panel.linkStatus = kStatusFailed;
    h.window->UpdateReadings();
    for (int row = 0; row < 3; ++row) {
        QVERIFY(h.Display(row)->IsInvalid());
        QVERIFY(h.Display(row)->IsBlinking());
    }
    for (ServiceField f : AllServiceFields()) {
        QVERIFY2(test::ServiceValue(*h.window, f).text.isEmpty(),
                 qPrintable(QString::number(static_cast<int>(f))));
    }
    QCOMPARE(h.StatusLine()->text(), QStringLiteral("Brak komunikacji z urządzeniem. "));
    QCOMPARE(test::ShownStatusImage(*h.Indicator()), StatusImage::kNoLink);

    // Back again: values shown steadily.
    h.panel.linkStatus = kStatusOk;
    h.window->UpdateReadings();
    QVERIFY(!h.Display(kTemperatureRow)->IsInvalid());
    QVERIFY(!h.Display(kTemperatureRow)->IsBlinking());
}

void MainWindowTest::linkChangeRelaysTheWindowOut() {
    // The panel's kind is only known once it answers; the layout follows on
    // that tick.
    AppSettings s = WithPort(1);
    s.showService = true;
    Harness h(s);
    h.panel.openable = {1};
    h.StartAndShow();
    QVERIFY(test::ServiceValue(*h.window, ServiceField::kKp).visible);  // unknown kind
    h.panel.Connect(kDualZoneController);
    h.window->UpdateReadings();
    QVERIFY(test::ServiceBoxWidget(*h.window, ServiceBox::kOperational)->isVisible());
    QVERIFY(test::ServiceValue(*h.window, ServiceField::kZone1Sp).visible);
    QVERIFY(!test::ServiceValue(*h.window, ServiceField::kKp).visible);
    QCOMPARE(h.Geometry(kTemperatureRow), ToQRect(h.window->CurrentLayout().temperature));
}

void MainWindowTest::enterAndEscapeAreSwallowed() {
    Harness h(WithPort(0));
    h.StartAndShow();
    QSignalSpy closed(h.window.get(), &MainWindow::closed);
    ReadOnlyField* field = h.StatusLine();
    for (QWidget* target : {static_cast<QWidget*>(h.window.get()), static_cast<QWidget*>(field)}) {
        for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &press);
        }
    }
    QCOMPARE(closed.count(), 0);
    QVERIFY(h.window->isVisible());
}

void MainWindowTest::topmostKeepsTheGeometry() {
    AppSettings s = WithPort(0);
    s.window = {40, 60, 680, 540};
    s.topmost = true;
    Harness h(s);
    h.StartAndShow();
    QVERIFY(h.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(h.Action(MenuCommand::kTopmost)->isChecked());
    const QRect before = h.window->geometry();
    const QPoint outer = h.window->pos();

    for (bool expected : {false, true}) {
        h.Action(MenuCommand::kTopmost)->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        QCOMPARE(h.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint), expected);
        QCOMPARE(h.Saved().topmost, expected);
        QCOMPARE(h.Action(MenuCommand::kTopmost)->isChecked(), expected);
        QCOMPARE(h.window->geometry(), before);
        QCOMPARE(h.window->pos(), outer);
    }
    QCOMPARE(h.Saved().window, s.window);
}

void MainWindowTest::settingsSurviveTheWindow() {
    AppSettings s = WithPort(3);
    s.window = {30, 40, 730, 560};
    s.topmost = true;
    s.showService = true;
    s.displays[kTemperatureDisplay].background = MakeColorref(1, 2, 3);
    s.displays[kSetpointDisplay].text = MakeColorref(4, 5, 6);
    s.displays[kSetpoint2Display].fontHeight = -40;
    s.displays[kSetpoint2Display].faceName = "DejaVu Sans";
    s.displays[kSetpoint2Display].italic = 1;
    s.displays[kSetpoint2Display].fontWeight = 700;
    Harness h(s);
    h.panel.openable = {3};
    h.StartAndShow();
    QCOMPARE(h.Display(kSecondSetpointRow)->GetFontDescription().height, -40);
    QCOMPARE(h.Display(kTemperatureRow)->GetBackgroundColour(), MakeColorref(1, 2, 3));
    QCOMPARE(h.Saved(), s);

    // What the window changes is what is saved.
    h.Action(MenuCommand::kShowService)->trigger();
    h.window->move(120, 130);
    h.window->resize(500, 400);
    QTRY_COMPARE(h.Saved().window, (WindowRect{120, 130, 620, 530}));
    QCOMPARE(h.Saved().showService, false);
}

void MainWindowTest::restoredRectangleOutlivesMaximising() {
    AppSettings s = WithPort(0);
    s.window = {50, 70, 650, 520};
    Harness h(s);
    h.StartAndShow();
    QCOMPARE(h.Saved().window, s.window);
    h.window->showMaximized();
    QTRY_VERIFY(h.window->isMaximized());
    QTRY_VERIFY(h.window->size() != QSize(600, 450));
    QCOMPARE(h.Saved().window, s.window);
    // The displays follow the maximised size.
    QCOMPARE(h.Geometry(kTemperatureRow), ToQRect(h.window->CurrentLayout().temperature));
    h.window->showNormal();
    QTRY_COMPARE(h.window->size(), QSize(600, 450));
    QCOMPARE(h.Saved().window, s.window);
}

void MainWindowTest::storedRectangleIsClampedToTheScreen_data() {
    QTest::addColumn<WindowRect>("stored");
    QTest::newRow("100 000 000") << WindowRect{100000000, 100000000, 200000000, 200000000};
    QTest::newRow("huge size") << WindowRect{0, 0, 100000000, 100000000};
    QTest::newRow("int limits") << WindowRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    QTest::newRow("inside out") << WindowRect{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
}

// A hand-edited rectangle must not make a window of gigabytes or one out of
// reach; what is stored at the end is where the window really was.
void MainWindowTest::storedRectangleIsClampedToTheScreen() {
    QFETCH(WindowRect, stored);
    AppSettings s = WithPort(0);
    s.window = stored;
    Harness h(s);
    h.StartAndShow();
    const QRect screen = h.window->screen()->availableGeometry();
    QVERIFY(h.window->width() <= screen.width() && h.window->height() <= screen.height());
    QVERIFY(h.window->width() > 0 && h.window->height() > 0);
    QVERIFY2(screen.contains(QRect(h.window->pos(), h.window->size())),
             qPrintable(QStringLiteral("%1,%2").arg(h.window->x()).arg(h.window->y())));
    const WindowRect used{h.window->x(), h.window->y(), h.window->x() + h.window->width(),
                          h.window->y() + h.window->height()};
    QCOMPARE(h.Saved().window, used);
}

void MainWindowTest::unsupportedPanelStopsOnce() {
    Harness h(WithPort(1));
    h.panel.openable = {1};
    h.StartAndShow();
    QSignalSpy closed(h.window.get(), &MainWindow::closed);
    h.panel.Connect(kTemperatureController);
    h.panel.identity.hardwareVariant = 2;
    h.window->UpdateReadings();
    QVERIFY(h.window->Stopped());
    QCOMPARE(h.sink.Texts(), QStringList{QString::fromUtf8(kUnsupportedPanelMessage)});
    QCOMPARE(h.sink.boxes[0].icon, MessageIcon::Plain);
    QCOMPARE(test::ShownStatusImage(*h.Indicator()), StatusImage::kNoLink);
    QCOMPARE(closed.count(), 1);
    QCOMPARE(closed.at(0).at(0).value<MainWindow::Result>(), MainWindow::Result::kOk);
    const int reads = h.panel.ReadCount("identity");
    h.window->UpdateReadings();
    QCOMPARE(h.panel.ReadCount("identity"), reads);
    QCOMPARE(h.sink.boxes.size(), std::size_t{1});
}

void MainWindowTest::closeResults() {
    const struct {
        const char* name;
        std::function<void(Harness&)> close;
        MainWindow::Result result;
    } cases[] = {
        {"the close box", [](Harness& h) { h.window->close(); }, MainWindow::Result::kCancel},
        {"Zamknij", [](Harness& h) { h.Action(MenuCommand::kClose)->trigger(); },
         MainWindow::Result::kOk},
    };
    for (const auto& c : cases) {
        Harness h(WithPort(0));
        h.StartAndShow();
        QSignalSpy closed(h.window.get(), &MainWindow::closed);
        c.close(h);
        QCOMPARE(closed.count(), 1);
        QCOMPARE(closed.at(0).at(0).value<MainWindow::Result>(), c.result);
    }
}

void MainWindowTest::regulationRefusesOrOpensByPanel() {
    struct Case {
        const char* name;
        uint8_t type;
        bool identified;
        bool clockValid;
        int opened;  // the dialog reached, -1 for the refusal message
    };
    const std::vector<Case> cases = {
        {"not identified", kTemperatureController, false, false, -1},
        {"threshold without clock", kThresholdRegulator, true, false, -1},
        {"threshold with clock", kThresholdRegulator, true, true,
         static_cast<int>(ParamDialog::ParamCTime)},
        {"drain valve", kDrainValveController, true, false, static_cast<int>(ParamDialog::ParamZ)},
    };
    for (const Case& c : cases) {
        Harness h(WithPort(1));
        h.panel.openable = {1};
        h.panel.Connect(c.type);
        h.panel.identity.identified = c.identified ? 1 : 0;
        h.panel.clock = {{}, 1, static_cast<uint8_t>(c.clockValid ? 1 : 0)};
        int opened = -1;
        QObject::connect(h.window.get(), &MainWindow::regulationRequested,
                         [&](QWidget*, PanelAccess&, MessageSink&, const ParamDialogChoice& r) {
                             opened = static_cast<int>(r.dialog);
                         });
        h.StartAndShow();
        h.Action(MenuCommand::kRegulation)->trigger();
        QVERIFY2(opened == c.opened, c.name);
        const QStringList refusal{QStringLiteral("Nie można odczytać parametrów regulacji")};
        QVERIFY2(h.sink.Texts() == (c.opened < 0 ? refusal : QStringList{}), c.name);
        QVERIFY2(h.sink.boxes.empty() || h.sink.boxes[0].icon == MessageIcon::Plain, c.name);
    }
}

void MainWindowTest::panelCommandsReachTheirDialogs() {
    Harness h(WithPort(1));
    h.panel.openable = {1};
    h.StartAndShow();
    QStringList reached;
    const auto record = [&](const char* name) {
        return [&, name](QWidget* parent, PanelAccess& panel, MessageSink& messages) {
            QCOMPARE(parent, h.window.get());
            QCOMPARE(&panel, static_cast<PanelAccess*>(&h.panel));
            QCOMPARE(&messages, static_cast<MessageSink*>(&h.sink));
            reached << QString::fromUtf8(name);
        };
    };
    MainWindow* w = h.window.get();
    QObject::connect(w, &MainWindow::panelInfoRequested, record("info"));
    QObject::connect(w, &MainWindow::setpointRequested, record("setpoint"));
    QObject::connect(w, &MainWindow::pidRequested, record("pid"));
    QObject::connect(w, &MainWindow::cvRequested, record("cv"));
    QObject::connect(w, &MainWindow::clockRequested, record("clock"));
    for (MenuCommand c : {MenuCommand::kPanelInfo, MenuCommand::kSetpoint, MenuCommand::kPid,
                          MenuCommand::kCv, MenuCommand::kClock}) {
        h.Action(c)->trigger();
    }
    QCOMPARE(reached, (QStringList{"info", "setpoint", "pid", "cv", "clock"}));
}

void MainWindowTest::coloursOfferTheThirdRowOnlyForTwoSetpointPanels() {
    for (uint8_t type : {kDualZoneController, kThresholdRegulator}) {
        Harness h(WithPort(1));
        h.panel.openable = {1};
        h.panel.Connect(type);
        h.StartAndShow();
        bool thirdRowShown = false;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(QApplication::activeModalWidget() != nullptr);
            auto* dialog = qobject_cast<ColourDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            thirdRowShown = !dialog->BackgroundSwatch(kSecondSetpointRow)->isHidden();
            dialog->reject();
        });
        h.Action(MenuCommand::kColours)->trigger();
        QCOMPARE(thirdRowShown, type == kThresholdRegulator);
    }
}

}  // namespace tk358

QTEST_MAIN(tk358::MainWindowTest)
#include "main_window_test.moc"
