// SPDX-License-Identifier: GPL-3.0-or-later
// The "Parametry regulacji" dialogs end to end: the panel session talks to a
// simulated panel over a pseudo-terminal, the dialog is the one the window
// would choose for it, and the operator types and presses OK.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "dialogs/param_dialogs.h"
#include "link/panel_session.h"
#include "session_fixture.h"
#include "sim/pty_simulator.h"
#include "widget/dialogs/recording_sink.h"

namespace tk358::test {
namespace {

struct EndToEndCase {
    const char* name;
    int kind;
    bool clockEnabled;
    ParamDialog dialog;  // the dialog the window chooses for this panel
    std::vector<std::pair<QString, QString>> edits;
    std::vector<QString> clicks;
    std::vector<std::pair<int, int64_t>> stored;     // what the panel holds afterwards
    std::vector<std::pair<QString, QString>> shown;  // what the dialog shows when reopened
};

void PrintTo(const EndToEndCase& c, std::ostream* os) {
    *os << c.name;
}

const EndToEndCase kCases[] = {
    // The dead band is one signed byte in this panel: 25.5 % reads back as -1.
    {"Temperature",
     0,
     false,
     ParamDialog::Param,
     {{"openTimeEdit", "12,5"}, {"minOnTimeEdit", "0.3"}, {"deadBandEdit", "25.5"}},
     {},
     {{32, 125}, {33, 600}, {36, -1}, {37, 3}},
     {{"openTimeEdit", "12.5"}, {"minOnTimeEdit", "0.3"}, {"deadBandEdit", "25.5"}}},
    {"DualZone",
     3,
     true,
     ParamDialog::Param,
     {{"minOnTimeEdit", "1.2"}, {"deadBandEdit", "25.5"}},
     {"reverseRadio"},
     {{145, 12}, {144, 255}, {146, 1}, {140, 600}},
     {{"minOnTimeEdit", "1.2"}, {"deadBandEdit", "25.5"}}},
    {"DrainValve",
     1,
     false,
     ParamDialog::ParamZ,
     {{"drainTimeEdit", "45.6"}, {"deviationEdit", "2,5"}},
     {},
     {{64, 456}, {65, 100}, {66, 25}},
     {{"drainTimeEdit", "45.6"}, {"deviationEdit", "2.5"}}},
    {"Ventilation",
     2,
     false,
     ParamDialog::ParamA,
     {{"t1Edit", "-12.5"}, {"airingTimeEdit", "45"}, {"airingThresholdEdit", "-200"}},
     {"fan1Check"},
     {{72, -125}, {77, 2}, {78, 45}, {80, -2000}},
     {{"t1Edit", "-12.5"}, {"airingTimeEdit", "45"}, {"airingThresholdEdit", "-200.0"}}},
    {"Threshold",
     4,
     false,
     ParamDialog::ParamC,
     {{"t1Edit", "-200"}, {"h2Edit", "3.5"}},
     {},
     {{90, -2000}, {93, 35}, {165, 2}},
     {{"t1Edit", "-200.0"}, {"h2Edit", "3.5"}}},
    // 7:35 is kept as 7:30, the 10-minute step it falls in.
    {"ThresholdZones",
     4,
     true,
     ParamDialog::ParamCTime,
     {{"nightHourEdit", "7"},
      {"nightMinuteEdit", "35"},
      {"dayT1Edit", "-5.5"},
      {"nightH2Edit", "1.5"}},
     {},
     {{164, 45}, {95, 36}, {90, -55}, {163, 15}},
     {{"nightHourEdit", "7"},
      {"nightMinuteEdit", "30"},
      {"dayT1Edit", "-5.5"},
      {"nightH2Edit", "1.5"}}},
};

// Serves the GUI thread's events until `done` holds.
bool ServeUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

class ParamSessionTest : public testing::TestWithParam<EndToEndCase> {
protected:
    void SetUp() override {
        const EndToEndCase& c = GetParam();
        sim::PtySimulatorOptions options;
        options.panel = sim::DefaultConfig(c.kind);
        options.panel.clockEnabled = c.clockEnabled;
        options.panel.statusPeriod = 100ms;  // the regulator state and the clock
        options.portNumber = kComPort;
        options.portDirectory = TestPortDirectory();
        sim_ = std::make_unique<sim::PtySimulator>(options);
        std::string error;
        ASSERT_TRUE(sim_->Start(&error)) << error;
        session_ = std::make_unique<PanelSession>(QuickTiming());
        ASSERT_TRUE(session_->Open(kComPort));
        ASSERT_TRUE(WaitUntil([this] { return Ready(); }, 15s));
    }
    void TearDown() override {
        dialog_.reset();
        if (session_) {
            session_->Close();
        }
    }

    // Identified, parameters read, and the status lines the dialogs and the
    // window's choice need have arrived.
    bool Ready() const {
        PanelIdentity identity;
        ParameterSet parameters;
        RegulatorState regulator;
        PanelClock clock;
        session_->GetIdentity(identity);
        session_->GetParameters(parameters);
        session_->GetRegulatorState(regulator);
        session_->GetPanelClock(clock);
        const int kind = GetParam().kind;
        const bool hasRegulator = kind == 0 || kind == 1 || kind == 3;
        const bool hasClock = kind == 3 || kind == 4;
        return session_->GetLinkStatus() == kStatusOk && identity.identified != 0 &&
               parameters.ReadComplete(kind) && (!hasRegulator || regulator.valid != 0) &&
               (!hasClock || clock.valid != 0);
    }

    // The dialog the window would open, shown, typed into and confirmed.
    void OpenTypeAndConfirm() {
        PanelIdentity identity;
        PanelClock clock;
        session_->GetIdentity(identity);
        session_->GetPanelClock(clock);
        const ParamDialogChoice choice = ChooseParamDialog(identity, clock);
        ASSERT_EQ(choice.dialog, GetParam().dialog);
        dialog_ = MakeParamDialog(*session_, choice);
        dialog_->SetMessageSink(&sink_);
        dialog_->show();
        ASSERT_TRUE(dialog_->isVisible()) << sink_.Texts().join("|").toStdString();
        for (const auto& [name, text] : GetParam().edits) {
            auto* field = dialog_->findChild<QLineEdit*>(name);
            ASSERT_NE(field, nullptr) << name.toStdString();
            field->clear();
            QTest::keyClicks(field, text);
        }
        for (const QString& name : GetParam().clicks) {
            auto* button = dialog_->findChild<QAbstractButton*>(name);
            ASSERT_NE(button, nullptr) << name.toStdString();
            button->click();
        }
        QTest::mouseClick(dialog_->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    }

    std::unique_ptr<sim::PtySimulator> sim_;
    std::unique_ptr<PanelSession> session_;
    std::unique_ptr<PanelDialog> dialog_;
    RecordingSink sink_;
};

TEST_P(ParamSessionTest, OkWritesThePanelAndCloses) {
    OpenTypeAndConfirm();
    ASSERT_TRUE(ServeUntil([this] { return !dialog_->isVisible(); }, 20s));
    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    EXPECT_TRUE(sink_.Texts().isEmpty()) << sink_.Texts().join("|").toStdString();
    ParameterSet cache;
    session_->GetParameters(cache);
    for (const auto& [code, value] : GetParam().stored) {
        EXPECT_EQ(sim_->Parameter(code), value) << "code " << code;
        // Read back after the write: the next opening shows what the panel holds.
        EXPECT_TRUE(cache.Matches(code, value)) << "code " << code;
    }

    PanelIdentity identity;
    PanelClock clock;
    session_->GetIdentity(identity);
    session_->GetPanelClock(clock);
    const auto reopened = MakeParamDialog(*session_, ChooseParamDialog(identity, clock));
    reopened->SetMessageSink(&sink_);
    reopened->show();
    ASSERT_TRUE(reopened->isVisible());
    for (const auto& [name, text] : GetParam().shown) {
        EXPECT_EQ(reopened->findChild<QLineEdit*>(name)->text().toStdString(), text.toStdString())
            << name.toStdString();
    }
}

TEST_P(ParamSessionTest, SilentPanelKeepsTheDialogAsTyped) {
    sim_->SilenceUntilResumed();
    OpenTypeAndConfirm();
    ASSERT_TRUE(ServeUntil([this] { return !sink_.boxes.empty(); }, 30s));
    EXPECT_EQ(sink_.Texts().join("|").toStdString(), "Nie można zapisać parametrów regulacji");
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_FALSE(dialog_->IsWriting());
    for (const auto& [name, text] : GetParam().edits) {
        auto* field = dialog_->findChild<QLineEdit*>(name);
        EXPECT_EQ(field->text().toStdString(), text.toStdString()) << name.toStdString();
        EXPECT_TRUE(field->isEnabled()) << name.toStdString();
    }
    EXPECT_TRUE(dialog_->findChild<QPushButton*>("okButton")->isEnabled());
    EXPECT_TRUE(dialog_->findChild<QPushButton*>("cancelButton")->isEnabled());
    sim_->Resume();
}

INSTANTIATE_TEST_SUITE_P(Kinds, ParamSessionTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<EndToEndCase>& p) {
                             return std::string(p.param.name);
                         });

}  // namespace
}  // namespace tk358::test

int main(int argc, char** argv) {
    // Test discovery runs the program outside ctest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
