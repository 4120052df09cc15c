// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on the real serial path: a panel session talking to the
// simulated panel of each kind over a pseudo-terminal.

#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <memory>

#include "link/panel_session.h"
#include "monitor/log_controller.h"
#include "monitor/main_window.h"
#include "monitor/trend_controller.h"
#include "monitor/window_menu.h"
#include "sim/pty_simulator.h"
#include "widget/dialogs/recording_sink.h"
#include "widget/window/service_children.h"
#include "widget/window/short_timing.h"
#include "widgets/read_only_field.h"
#include "widgets/value_display.h"

namespace tk358 {
namespace {

struct KindCase {
    const char* label;
    ServiceBox box;
    ServiceField field;  // a field of the kind's own group
};

const KindCase kKinds[] = {
    {"TK-358 nr 1201. ", ServiceBox::kPid, ServiceField::kValveOpenTime},
    {"TK-358 nr 1302. ", ServiceBox::kPid, ServiceField::kDrainTime},
    {"TK-358W nr 2417. ", ServiceBox::kRegulation, ServiceField::kVentT1},
    {"TK-358D nr 3105. ", ServiceBox::kOperational, ServiceField::kZone1Sp},
    {"TK-358C nr 4021. ", ServiceBox::kOperational, ServiceField::kDayT1},
};

const QString kNoLink = QStringLiteral("Brak komunikacji z urządzeniem. ");

void SetTemperature(sim::PtySimulator& simulator, double celsius) {
    simulator.WithPanel([celsius](sim::SimPanel& p) { p.Process().SetTemperature(celsius); });
}

// The temperature column of the log's lines past byte `from`, as written:
// ";" between columns and "," as the decimal sign.
QStringList LoggedTemperatures(const QString& path, qsizetype from) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList values;
    for (const QByteArray& line : file.readAll().mid(from).split('\n')) {
        const QList<QByteArray> columns = line.trimmed().split(';');
        if (columns.size() > 1 && !line.startsWith("Data i Godzina")) {
            values << QString::fromUtf8(columns[1]);
        }
    }
    return values;
}

// A logged value above `limit`; "???" is not one.
bool LoggedAbove(const QString& value, double limit) {
    bool number = false;
    const double v = QString(value).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&number);
    return number && v > limit;
}

// The window with its log and trend on a session to the simulated panel,
// logging every second to `logPath`.
struct LoggingWindow {
    LoggingWindow(const sim::PtySimulator& simulator, const QString& logPath) : window(session) {
        window.SetMessageSink(&sink);
        AppSettings settings = AppSettings::FileDefaults();
        settings.portNr = simulator.PortNumber();
        settings.log.fileLog = true;
        settings.log.fileName = logPath.toStdString();
        settings.log.interval = 1;
        settings.log.sepFormat = 3;
        settings.log.decSeparator = 1;
        window.ApplySettings(settings);
        logs = new LogController(window, nullptr);
        logs->ApplySettings(settings);
        trend = new TrendController(window);
        QObject::connect(&window, &MainWindow::ticked, trend, &TrendController::Tick);
        window.Start();
        window.show();
        logs->StartUpOpen(&window);
    }

    ValueDisplay* Temperature() const { return window.Displays()[kTemperatureRow]; }
    ReadOnlyField* Status() const {
        return window.findChild<ReadOnlyField*>(QStringLiteral("statusLine"));
    }
    bool Linked() const { return !Status()->text().startsWith(kNoLink); }

    PanelSession session{test::ShortTiming()};
    test::RecordingSink sink;
    MainWindow window;
    LogController* logs = nullptr;
    TrendController* trend = nullptr;
};

}  // namespace

class WindowSimTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void showsEachKindAndClearsWhenItFallsSilent_data();
    void showsEachKindAndClearsWhenItFallsSilent();
    void noOldValueIsShownLoggedOrChartedAfterAnOutage();
    void noiseOnEveryStatusLineGivesMissingReadings();
    void aPortChangeShowsTheNewLinesPanel();

private:
    std::unique_ptr<sim::PtySimulator> StartPanel(int kind);

    QTemporaryDir portDir_;
};

void WindowSimTest::initTestCase() {
    QVERIFY(portDir_.isValid());
    qputenv("TK358_PORT_DIR", portDir_.path().toUtf8());
}

void WindowSimTest::showsEachKindAndClearsWhenItFallsSilent_data() {
    QTest::addColumn<int>("kind");
    for (int kind = 0; kind < 5; ++kind) {
        QTest::newRow(kKinds[kind].label) << kind;
    }
}

void WindowSimTest::showsEachKindAndClearsWhenItFallsSilent() {
    QFETCH(int, kind);
    const KindCase& expected = kKinds[kind];
    sim::PtySimulatorOptions options;
    options.panel = sim::DefaultConfig(kind);
    options.portDirectory = portDir_.path().toStdString();
    sim::PtySimulator simulator(options);
    std::string error;
    QVERIFY2(simulator.Start(&error), error.c_str());

    PanelSession session(test::ShortTiming());
    test::RecordingSink sink;
    MainWindow window(session);
    window.SetMessageSink(&sink);
    AppSettings settings = AppSettings::FileDefaults();
    settings.portNr = simulator.PortNumber();
    settings.showService = true;
    window.ApplySettings(settings);
    window.Start();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(sink.boxes.empty());

    const ValueDisplays displays = window.Displays();
    QTRY_VERIFY_WITH_TIMEOUT(!test::ServiceValue(window, expected.field).text.isEmpty(), 15000);
    QTRY_VERIFY_WITH_TIMEOUT(!displays[kTemperatureRow]->IsInvalid(), 5000);
    const QString status = window.findChild<ReadOnlyField*>(QStringLiteral("statusLine"))->text();
    QVERIFY2(status.startsWith(QString::fromUtf8(expected.label)), qPrintable(status));
    QVERIFY(test::ServiceBoxWidget(window, expected.box)->isVisible());
    QVERIFY(test::ServiceValue(window, expected.field).visible);

    const sim::ProcessValues values =
        simulator.WithPanel([](sim::SimPanel& p) { return p.Values(); });
    QVERIFY(std::abs(displays[kTemperatureRow]->GetValue() - values.temperature) < 1.0);
    QCOMPARE(displays[kSetpointRow]->isVisible(), kind != sim::kKindVentilation);
    if (kind != sim::kKindVentilation) {
        QTRY_VERIFY_WITH_TIMEOUT(!displays[kSetpointRow]->IsInvalid(), 5000);
        // The threshold regulator shows the first threshold of its active set.
        const double setpoint = kind == sim::kKindThreshold
                                    ? simulator.Parameter(values.zone != 0 ? 160 : 90) / 10.0
                                    : values.setpoint / 100.0;
        QCOMPARE(displays[kSetpointRow]->GetValue(), setpoint);
    }
    if (kind == sim::kKindThreshold) {
        QCOMPARE(window.TwoSetpoints(), simulator.Parameter(165) == 2);
        QCOMPARE(displays[kSecondSetpointRow]->isVisible(), window.TwoSetpoints());
    }

    // The readings go missing once they are older than the silence time; the
    // link is given up a little later, and then everything is cleared.
    simulator.SilenceUntilResumed();
    QTRY_VERIFY_WITH_TIMEOUT(
        window.findChild<ReadOnlyField*>(QStringLiteral("statusLine"))->text().startsWith(kNoLink),
        15000);
    for (ValueDisplay* display : displays) {
        QVERIFY(display->IsInvalid());
        QVERIFY(display->IsBlinking());
    }
    for (ServiceField f : AllServiceFields()) {
        QVERIFY(test::ServiceValue(window, f).text.isEmpty());
    }
}

std::unique_ptr<sim::PtySimulator> WindowSimTest::StartPanel(int kind) {
    sim::PtySimulatorOptions options;
    options.panel = sim::DefaultConfig(kind);
    options.portDirectory = portDir_.path().toStdString();
    auto simulator = std::make_unique<sim::PtySimulator>(options);
    std::string error;
    if (!simulator->Start(&error)) {
        qWarning("simulated panel did not start: %s", error.c_str());
        return nullptr;
    }
    return simulator;
}

void WindowSimTest::noOldValueIsShownLoggedOrChartedAfterAnOutage() {
    const std::unique_ptr<sim::PtySimulator> simulator = StartPanel(sim::kKindTemperature);
    QVERIFY(simulator);
    SetTemperature(*simulator, -5.0);
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("log.csv"));
    LoggingWindow w(*simulator, log);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Temperature()->IsInvalid() && w.Temperature()->GetValue() < 0.0,
                             15000);
    QTRY_VERIFY_WITH_TIMEOUT(!LoggedTemperatures(log, 0).filter(QStringLiteral("-")).isEmpty(),
                             5000);

    simulator->SilenceUntilResumed();
    QTRY_VERIFY_WITH_TIMEOUT(!w.Linked(), 15000);
    SetTemperature(*simulator, 60.0);
    const qsizetype logged = QFile(log).size();
    const std::size_t charted = w.trend->Recorder().Size();
    QList<double> displayed;  // every value the display showed since the return
    connect(&w.window, &MainWindow::ticked, this, [&] {
        if (!w.Temperature()->IsInvalid()) {
            displayed << w.Temperature()->GetValue();
        }
    });
    simulator->Resume();
    QTRY_VERIFY_WITH_TIMEOUT(!displayed.isEmpty() && displayed.last() > 30.0, 15000);
    QTest::qWait(2500);  // log lines and trend samples of the panel back

    for (const double value : displayed) {
        QVERIFY2(value > 30.0, qPrintable(QString::number(value)));
    }
    const TrendBuffer& curve = w.trend->Recorder().Curve(kTrendTemperature);
    QVERIFY(curve.Size() > charted);
    for (std::size_t i = charted; i < curve.Size(); ++i) {
        QVERIFY2(curve.At(i).IsGap() || curve.At(i).value > 30.0,
                 qPrintable(QString::number(curve.At(i).value)));
    }
    const QStringList after = LoggedTemperatures(log, logged);
    QVERIFY(std::any_of(after.begin(), after.end(),
                        [](const QString& v) { return LoggedAbove(v, 30.0); }));
    for (const QString& value : after) {
        QVERIFY2(value == QStringLiteral("???") || LoggedAbove(value, 30.0), qPrintable(value));
    }
}

void WindowSimTest::noiseOnEveryStatusLineGivesMissingReadings() {
    const std::unique_ptr<sim::PtySimulator> simulator = StartPanel(sim::kKindTemperature);
    QVERIFY(simulator);
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("log.csv"));
    LoggingWindow w(*simulator, log);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Temperature()->IsInvalid(), 15000);
    QTRY_VERIFY_WITH_TIMEOUT(!LoggedTemperatures(log, 0).isEmpty(), 5000);

    sim::FaultSettings noise;
    noise.noisyStatusLines = true;
    simulator->SetFaults(noise);
    QElapsedTimer since;
    since.start();
    // The last good line came at most a status period (1 s) earlier; the
    // readings go missing once it is older than the silence time (3 s).
    QTRY_VERIFY_WITH_TIMEOUT(w.Temperature()->IsInvalid(), 6000);
    QVERIFY2(since.elapsed() < 4500, qPrintable(QString::number(since.elapsed())));
    const qsizetype logged = QFile(log).size();
    QTRY_VERIFY_WITH_TIMEOUT(LoggedTemperatures(log, logged).size() >= 2, 5000);
    for (const QString& value : LoggedTemperatures(log, logged)) {
        QCOMPARE(value, QStringLiteral("???"));
    }
    QVERIFY(w.Linked());  // the spoiled lines still keep the link up
    QVERIFY(w.Temperature()->IsInvalid());

    simulator->SetFaults({});
    QTRY_VERIFY_WITH_TIMEOUT(!w.Temperature()->IsInvalid(), 5000);
}

// "Port szeregowy" from a TK-358D to a TK-358W whose line carries status
// lines already: the window presents the TK-358W, with its menu and its
// regulation dialog.
void WindowSimTest::aPortChangeShowsTheNewLinesPanel() {
    const std::unique_ptr<sim::PtySimulator> first = StartPanel(sim::kKindDualZone);
    QVERIFY(first);
    sim::PtySimulatorOptions options;
    options.panel = sim::DefaultConfig(sim::kKindVentilation);
    options.panel.monitoring = true;
    options.panel.statusPeriod = std::chrono::milliseconds(20);  // well within a poll cycle
    options.portDirectory = portDir_.path().toStdString();
    sim::PtySimulator second(options);
    QVERIFY(second.Start());

    PanelSession session(test::ShortTiming());
    test::RecordingSink sink;
    MainWindow window(session);
    window.SetMessageSink(&sink);
    window.Hooks().choosePort = [&](QWidget*, int) { return second.PortNumber(); };
    std::optional<ParamDialog> offered;
    connect(&window, &MainWindow::regulationRequested, this,
            [&](QWidget*, PanelAccess&, MessageSink&, const ParamDialogChoice& choice) {
                offered = choice.dialog;
            });
    AppSettings settings = AppSettings::FileDefaults();
    settings.portNr = first->PortNumber();
    window.ApplySettings(settings);
    window.Start();
    window.show();
    const auto status = [&] {
        return window.findChild<ReadOnlyField*>(QStringLiteral("statusLine"))->text();
    };
    QTRY_VERIFY_WITH_TIMEOUT(status().startsWith(QString::fromUtf8(kKinds[3].label)), 15000);
    QTRY_VERIFY(window.Menu().Action(MenuCommand::kClock)->isEnabled());

    window.Menu().Action(MenuCommand::kPort)->trigger();
    QCOMPARE(window.PortNumber(), second.PortNumber());
    QTRY_VERIFY_WITH_TIMEOUT(status().startsWith(QString::fromUtf8(kKinds[2].label)), 15000);
    for (const MenuCommand command :
         {MenuCommand::kPid, MenuCommand::kCv, MenuCommand::kSetpoint, MenuCommand::kClock}) {
        QVERIFY(!window.Menu().Action(command)->isEnabled());
    }
    window.Menu().Action(MenuCommand::kRegulation)->trigger();
    QCOMPARE(offered, std::optional<ParamDialog>(ParamDialog::ParamA));
    QVERIFY(sink.boxes.empty());
}

}  // namespace tk358

QTEST_MAIN(tk358::WindowSimTest)
#include "window_sim_test.moc"
