// The main window on the real serial path: a panel session talking to the
// simulated panel of each kind over a pseudo-terminal.

#include <QGroupBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <memory>

#include "link/panel_session.h"
#include "monitor/main_window.h"
#include "monitor/service_view.h"
#include "sim/pty_simulator.h"
#include "widget/dialogs/recording_sink.h"
#include "widget/window/short_timing.h"
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

}  // namespace

class WindowSimTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void showsEachKindAndClearsWhenItFallsSilent_data();
    void showsEachKindAndClearsWhenItFallsSilent();

private:
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

    const ServiceView& view = window.Service();
    QLineEdit* field = view.Edit(expected.field);
    const ValueDisplays displays = window.Displays();
    QTRY_VERIFY_WITH_TIMEOUT(!field->text().isEmpty(), 15000);
    QTRY_VERIFY_WITH_TIMEOUT(!displays[kTemperatureRow]->IsInvalid(), 5000);
    const QString status = window.findChild<QLineEdit*>(QStringLiteral("statusLine"))->text();
    QVERIFY2(status.startsWith(QString::fromUtf8(expected.label)), qPrintable(status));
    QVERIFY(view.Box(expected.box)->isVisible());
    QVERIFY(field->isVisible());

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

    simulator.SilenceUntilResumed();
    QTRY_VERIFY_WITH_TIMEOUT(displays[kTemperatureRow]->IsInvalid(), 15000);
    for (ValueDisplay* display : displays) {
        QVERIFY(display->IsInvalid());
        QVERIFY(display->IsBlinking());
    }
    for (ServiceField f : AllServiceFields()) {
        QVERIFY(view.Edit(f)->text().isEmpty());
    }
    QVERIFY(window.findChild<QLineEdit*>(QStringLiteral("statusLine"))
                ->text()
                .startsWith(QStringLiteral("Brak komunikacji z urządzeniem. ")));
}

}  // namespace tk358

QTEST_MAIN(tk358::WindowSimTest)
#include "window_sim_test.moc"
