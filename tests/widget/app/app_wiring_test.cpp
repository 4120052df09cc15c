// SPDX-License-Identifier: GPL-3.0-or-later
// The main window wired as at start: every part gets its part of the settings
// and gives it back for saving, and the log's start-up open follows the start.

#include <QAction>
#include <QtTest>

#include "app/dialog_wiring.h"
#include "monitor/main_window.h"
#include "monitor/window_menu.h"
#include "support/fake_panel.h"
#include "widget/dialogs/recording_sink.h"

namespace tk358 {

class AppWiringTest : public QObject {
    Q_OBJECT

private slots:
    void everyPartsSettingsSurvive();
    void logStartFollowsTheStart();
};

void AppWiringTest::everyPartsSettingsSurvive() {
    // Each value differs from the file's defaults and from its neighbours,
    // so that a value lost or taken from the wrong place shows.
    AppSettings s = AppSettings::FileDefaults();
    s.displays[kTemperatureDisplay].background = 0x010203;
    s.displays[kSetpointDisplay].text = 0x040506;
    s.displays[kSetpoint2Display].faceName = "DejaVu Sans";
    s.displays[kSetpoint2Display].fontHeight = -40;
    s.displays[kTemperatureDisplay].log = true;
    s.displays[kSetpointDisplay].log = false;
    s.displays[kSetpoint2Display].log = true;
    s.portNr = 3;
    s.window = {30, 40, 730, 560};
    s.topmost = true;
    s.showService = true;
    s.log = {"/tmp/pomiar.csv", true, 2, 1, 15, true};
    s.trend = {true, 7200, {40, 50, 840, 550}};

    test::FakePanel panel;
    MainWindow window(panel);
    const WiredParts parts = WireDialogs(window);
    ApplyAppSettings(window, parts, s);
    AppSettings saved = AppSettings::FileDefaults();
    StoreAppSettings(window, parts, saved);
    QCOMPARE(saved.displays, s.displays);
    QCOMPARE(saved.portNr, s.portNr);
    QCOMPARE(saved.window, s.window);
    QCOMPARE(saved.topmost, s.topmost);
    QCOMPARE(saved.showService, s.showService);
    QCOMPARE(saved.log, s.log);
    QCOMPARE(saved.trend, s.trend);
}

void AppWiringTest::logStartFollowsTheStart() {
    test::FakePanel panel;
    panel.linkStatus = kStatusFailed;
    test::RecordingSink sink;
    MainWindow window(panel);
    window.SetMessageSink(&sink);
    const WiredParts parts = WireDialogs(window);
    ApplyAppSettings(window, parts, AppSettings::FileDefaults());
    QAction* setup = window.Menu().Action(MenuCommand::kLogSetup);
    QVERIFY(!setup->isEnabled());  // until the start-up open has run
    window.Start();
    QTRY_VERIFY_WITH_TIMEOUT(setup->isEnabled(), MainWindow::kLogStartMs + 3000);
    QVERIFY(sink.boxes.empty());
}

}  // namespace tk358

QTEST_MAIN(tk358::AppWiringTest)
#include "app_wiring_test.moc"
