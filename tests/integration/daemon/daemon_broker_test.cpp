// SPDX-License-Identifier: GPL-3.0-or-later
// tk358d against a real broker and a simulated panel: what reaches the
// broker, what reaches the log file, and what reaches the panel.

#include <signal.h>

#include <algorithm>
#include <cmath>
#include <thread>

#include "daemon_fixture.h"

namespace tk358::test {
namespace {

bool LinkOk(const JsonValue& state) {
    return state["link"].String() == "ok" && state["temperature"].IsNumber();
}

int DataLines(const std::string& log) {
    int lines = 0;
    for (std::size_t at = log.find("\r\n"); at != std::string::npos;
         at = log.find("\r\n", at + 2)) {
        ++lines;
    }
    return lines - 1;  // the header
}

using DaemonBrokerTest = DaemonFixture;

TEST_F(DaemonBrokerTest, PublishesThePanelOnceASecondWithItsInfoAndDiscovery) {
    StartPanel(3);
    StartDaemon({"--ha-discovery"});
    ASSERT_TRUE(WaitForAvailability("online", 10s));
    const JsonValue first = WaitForState(LinkOk, 20s);
    ASSERT_TRUE(first.IsObject()) << "no state with the link up";
    // No state before the first contact: the link never shows lost at the start.
    for (const ReceivedMessage& m : listener_->On(Base() + "/state")) {
        EXPECT_NE(m.payload.find("\"link\":\"ok\""), std::string::npos) << m.payload;
    }

    listener_->Clear();
    std::this_thread::sleep_for(5s);
    const std::vector<ReceivedMessage> states = listener_->On(Base() + "/state");
    ASSERT_GE(states.size(), 4u);
    ASSERT_LE(states.size(), 6u);
    const double setpoint = panel_->WithPanel([](sim::SimPanel& p) { return p.Values().setpoint; });
    const double temperature =
        panel_->WithPanel([](sim::SimPanel& p) { return p.Values().temperature; });
    for (std::size_t i = 0; i < states.size(); ++i) {
        const std::optional<JsonValue> state = JsonValue::Parse(states[i].payload);
        ASSERT_TRUE(state) << states[i].payload;
        EXPECT_EQ((*state)["link"].String(), "ok");
        EXPECT_EQ((*state)["kind"].Number(), 3);
        EXPECT_EQ((*state)["model"].String(), "TK-358D");
        EXPECT_EQ((*state)["serial"].Number(), 3105);
        EXPECT_NEAR((*state)["setpoint"].Number(), setpoint / 100.0, 0.005);
        EXPECT_NEAR((*state)["temperature"].Number(), temperature, 1.0);
        EXPECT_FALSE((*state)["sensorFault"].Bool());
        EXPECT_TRUE((*state)["setpoint2"].IsNull());
        EXPECT_TRUE((*state)["regulator"]["pv"].IsNumber());
        EXPECT_TRUE((*state)["valve"]["position"].IsNumber());
        EXPECT_TRUE((*state)["zone"].IsNumber());
        // Dropped when not delivered within a few periods.
        EXPECT_GT(states[i].expirySeconds, 0);
        EXPECT_LE(states[i].expirySeconds, 5);
        if (i > 0) {
            const auto gap = states[i].at - states[i - 1].at;
            EXPECT_GT(gap, 500ms);
            EXPECT_LT(gap, 1500ms);
        }
    }

    // Retained messages reach a client that subscribes later.
    MqttListener late;
    ASSERT_TRUE(late.Start(broker_->Port()));
    const ReceivedMessage infoMessage = late.WaitFor(
        Base() + "/info", [](auto&) { return true; }, 5s);
    const std::optional<JsonValue> info = JsonValue::Parse(infoMessage.payload);
    ASSERT_TRUE(info) << infoMessage.payload;
    EXPECT_TRUE(infoMessage.retained);
    EXPECT_EQ((*info)["serial"].Number(), 3105);
    EXPECT_EQ((*info)["firmware"].String(), "1.07");
    EXPECT_EQ((*info)["port"].String(), "COM" + std::to_string(panel_->PortNumber()));
    const std::string node = "homeassistant/sensor/tk358_line/";
    const ReceivedMessage config = late.WaitFor(
        node + "temperature/config", [](auto&) { return true; }, 5s);
    const std::optional<JsonValue> discovery = JsonValue::Parse(config.payload);
    ASSERT_TRUE(discovery) << config.payload;
    EXPECT_TRUE(config.retained);
    EXPECT_EQ((*discovery)["state_topic"].String(), Base() + "/state");
    EXPECT_EQ((*discovery)["availability"].Elements().at(1)["topic"].String(), Base() + "/link");
    EXPECT_EQ((*discovery)["device_class"].String(), "temperature");
    EXPECT_EQ((*discovery)["unit_of_measurement"].String(), "°C");
    EXPECT_EQ((*discovery)["device"]["identifiers"].Elements().at(0).String(), "tk358_line");
    EXPECT_FALSE(discovery->Has("object_id"));
    EXPECT_FALSE(late.WaitFor(
                         node + "zone1_setpoint/config", [](auto&) { return true; }, 5s)
                     .payload.empty());

    // Home Assistant's birth asks for every configuration again.
    listener_->Clear();
    listener_->Publish("homeassistant/status", "online");
    EXPECT_FALSE(listener_
                     ->WaitFor(
                         node + "temperature/config", [](auto&) { return true; }, 5s)
                     .topic.empty());
    EXPECT_FALSE(listener_
                     ->WaitFor(
                         Base() + "/info", [](auto&) { return true; }, 5s)
                     .topic.empty());

    // The log file carries the same readings in the window's format (its
    // first line 6 s after the start).
    for (int i = 0; i < 50 && DataLines(LogText()) < 3; ++i) {
        std::this_thread::sleep_for(100ms);
    }
    const std::string log = LogText();
    EXPECT_EQ(
        log.rfind("Data i Godzina;Temperatura °C;Wartość zadana °C;Wartość zadana 2 °C\r\n", 0), 0u)
        << log;
    EXPECT_GE(DataLines(log), 3);
}

TEST_F(DaemonBrokerTest, LastWillSaysOfflineWhenKilledAndOnlineComesBackWithTheRestart) {
    StartPanel(0);
    StartDaemon();
    ASSERT_TRUE(WaitForAvailability("online", 10s));
    listener_->Clear();
    daemon_->Kill();
    EXPECT_TRUE(WaitForAvailability("offline", 10s));

    listener_->Clear();
    StartDaemon();
    EXPECT_TRUE(WaitForAvailability("online", 10s));
    EXPECT_TRUE(WaitForState(LinkOk, 20s).IsObject());
}

TEST_F(DaemonBrokerTest, SigtermSwitchesMonitoringOffAndSaysOffline) {
    StartPanel(3);
    StartDaemon();
    ASSERT_TRUE(WaitForState(LinkOk, 20s).IsObject());
    ASSERT_TRUE(panel_->WithPanel([](sim::SimPanel& p) { return p.Monitoring(); }));
    listener_->Clear();
    daemon_->Signal(SIGTERM);
    EXPECT_EQ(daemon_->Wait(15s), std::optional<int>(0));
    EXPECT_FALSE(panel_->WithPanel([](sim::SimPanel& p) { return p.Monitoring(); }));
    EXPECT_TRUE(WaitForAvailability("offline", 5s));
    EXPECT_NE(Output().find("koniec pracy"), std::string::npos) << Output();
}

TEST_F(DaemonBrokerTest, ReconnectsAfterTheBrokerWasAwayAndKeepsLogging) {
    StartPanel(3);
    StartDaemon();
    ASSERT_TRUE(WaitForState(LinkOk, 20s).IsObject());
    const auto outageStart = std::chrono::steady_clock::now();
    const int linesBefore = DataLines(LogText());
    const auto cpuBefore = daemon_->CpuTime();

    broker_->Stop();
    std::this_thread::sleep_for(20s);
    const auto cpuDuringOutage = daemon_->CpuTime() - cpuBefore;
    std::string error;
    ASSERT_TRUE(broker_->Start(&error)) << error;
    listener_->Clear();  // the listener reconnects by itself

    // The goodbye of the lost connection is the will's "offline"; the
    // reconnection says "online" again and the states resume.
    EXPECT_TRUE(WaitForAvailability("online", 15s));
    EXPECT_TRUE(WaitForState(LinkOk, 10s).IsObject());

    // One log line a second all along: none lost while the broker was away.
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::steady_clock::now() - outageStart);
    const int linesDuring = DataLines(LogText()) - linesBefore;
    EXPECT_GE(linesDuring, elapsed.count() - 2) << LogText();
    EXPECT_LE(linesDuring, elapsed.count() + 2);
    // Waiting for the broker is no busy loop.
    EXPECT_LT(cpuDuringOutage, 3000ms);
}

TEST_F(DaemonBrokerTest, StopsPromptlyWhileNoBrokerAnswers) {
    StartPanel(0);
    const std::string away = "mqtt://127.0.0.1:" + std::to_string(FreeLoopbackPort());
    StartDaemon({"--mqtt", away, "--reconnect-max", "30"});
    // One without a log says nothing of a log file.
    auto unlogged = StartOther("unlogged", {"--demo", "0", "--name", "unlogged", "--mqtt", away});
    std::this_thread::sleep_for(12s);  // past the first retries, into a long wait
    EXPECT_NE(Output().find("brokerem; dalsze próby trwają, plik rejestracji"), std::string::npos);
    const std::string other = ReadFile(dir_ + "/unlogged.out");
    EXPECT_NE(other.find("brokerem; dalsze próby trwają\n"), std::string::npos) << other;
    EXPECT_GE(DataLines(LogText()), 4);
    daemon_->Signal(SIGTERM);
    EXPECT_EQ(daemon_->Wait(10s), std::optional<int>(0));
    EXPECT_NE(Output().find("koniec pracy"), std::string::npos) << Output();
}

TEST_F(DaemonBrokerTest, SilencedPanelGivesNullReadingsLostLinkAndQuestionMarksInTheLog) {
    StartPanel(3);
    StartDaemon();
    ASSERT_TRUE(WaitForState(LinkOk, 20s).IsObject());
    panel_->SilenceUntilResumed();
    listener_->Clear();
    const JsonValue lost =
        WaitForState([](const JsonValue& s) { return s["link"].String() == "lost"; }, 30s);
    ASSERT_TRUE(lost.IsObject()) << "the link was never reported lost";
    // The panel's entities go unavailable with the retained link topic.
    EXPECT_TRUE(WaitForRetained(Base() + "/link", "offline", 5s));
    for (const char* key : {"temperature", "sensorFault", "setpoint", "setpointFault", "regulator",
                            "valve", "zone"}) {
        EXPECT_TRUE(lost[key].IsNull()) << key;
    }
    std::this_thread::sleep_for(1500ms);
    const std::string log = LogText();
    const std::size_t lastLine = log.rfind("\r\n", log.size() - 3);
    EXPECT_NE(log.find(";???;???;???\r\n", lastLine), std::string::npos) << log;
    EXPECT_NE(Output().find("brak komunikacji z panelem"), std::string::npos) << Output();

    listener_->Clear();
    panel_->Resume();
    EXPECT_TRUE(WaitForState(LinkOk, 30s).IsObject());
    EXPECT_TRUE(WaitForRetained(Base() + "/link", "online", 5s));
}

struct SetpointCase {
    const char* command;
    const char* payload;
    bool ok;
    const char* error;  // part of the result's error text
};

TEST_F(DaemonBrokerTest, SetpointWritesStayOffUnlessAllowed) {
    StartPanel(3);
    StartDaemon();
    ASSERT_TRUE(WaitForState(LinkOk, 20s).IsObject());
    const int64_t before = panel_->Parameter(132);
    listener_->Publish(Base() + "/set/setpoint", "23.5");
    const ReceivedMessage result = listener_->WaitFor(
        Base() + "/result/setpoint", [](auto&) { return true; }, 10s);
    const std::optional<JsonValue> json = JsonValue::Parse(result.payload);
    ASSERT_TRUE(json) << result.payload;
    EXPECT_FALSE((*json)["ok"].Bool());
    EXPECT_NE((*json)["error"].String().find("--allow-setpoint-writes"), std::string::npos);
    EXPECT_EQ(panel_->Parameter(132), before);
}

TEST_F(DaemonBrokerTest, AllowedSetpointWritesAreCheckedAndReachThePanel) {
    StartPanel(3);
    // A retained command is never carried out: it would come again with
    // every reconnection.
    listener_->Publish(Base() + "/set/setpoint", "30", true);
    StartDaemon({"--allow-setpoint-writes"});
    ASSERT_TRUE(WaitForState(LinkOk, 20s).IsObject());
    const int64_t before = panel_->Parameter(132);
    EXPECT_NE(before, 3000);
    EXPECT_NE(Output().find("zachowane (retained)"), std::string::npos) << Output();
    listener_->Publish(Base() + "/set/setpoint", "", true);  // clears it at the broker
    std::this_thread::sleep_for(1s);
    const SetpointCase cases[] = {
        {"zone1Setpoint", "abc", false, "nie jest liczbą"},
        {"zone1Setpoint", "550.01", false, "Wartość zadana 1 poza dopuszczalnym zakresem"},
        {"zone2Setpoint", "-200.01", false, "Wartość zadana 2 poza dopuszczalnym zakresem"},
        {"setpoint", "21", false, "zone1Setpoint"},  // TK-358D: two set points
        {"zone1Setpoint", "23,57", true, ""},
    };
    for (const SetpointCase& c : cases) {
        listener_->Clear();
        listener_->Publish(Base() + "/set/" + c.command, c.payload);
        const ReceivedMessage result = listener_->WaitFor(
            Base() + "/result/" + c.command, [](auto&) { return true; }, 15s);
        const std::optional<JsonValue> json = JsonValue::Parse(result.payload);
        ASSERT_TRUE(json) << c.payload << ": " << result.payload;
        EXPECT_EQ((*json)["request"].String(), c.payload);
        EXPECT_EQ((*json)["ok"].Bool(), c.ok) << c.payload;
        EXPECT_NE((*json)["error"].String().find(c.error), std::string::npos) << c.payload;
        if (!c.ok) {
            EXPECT_EQ(panel_->Parameter(132), before) << c.payload;
        }
    }
    // Truncated to hundredths as the set-point dialog reads it.
    EXPECT_EQ(panel_->Parameter(132), 2357);

    // Retained while connected: still not carried out, and removed from the broker.
    listener_->Publish(Base() + "/set/zone1Setpoint", "30", true);
    std::this_thread::sleep_for(2s);
    EXPECT_EQ(panel_->Parameter(132), 2357);
    MqttListener late;
    ASSERT_TRUE(late.Start(broker_->Port(), Base() + "/set/#"));
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(late.Messages().empty()) << late.Messages().at(0).payload;
    const std::string retainedLine = "zone1Setpoint \"30\" nie jest wykonywane";
    const std::string out = Output();
    EXPECT_NE(out.find(retainedLine), std::string::npos) << out;
    EXPECT_EQ(out.find(retainedLine), out.rfind(retainedLine)) << "logged once";

    // Anything else on the command topics is only logged.
    listener_->Publish(Base() + "/set/valve", "100");
    std::this_thread::sleep_for(1s);
    EXPECT_NE(Output().find("set/valve"), std::string::npos) << Output();
}

}  // namespace
}  // namespace tk358::test
