// SPDX-License-Identifier: GPL-3.0-or-later
// The command line, the configuration file and the broker address of tk358d.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "daemon/daemon_command_line.h"
#include "daemon/daemon_config_file.h"
#include "daemon/mqtt_topics.h"
#include "daemon/mqtt_url.h"

namespace tk358 {
namespace {

using Args = std::vector<std::string>;
using Action = DaemonCommand::Action;

struct LineCase {
    Args args;
    Action action;
    const char* error;  // part of the error, for kError
};

TEST(DaemonCommandLine, AcceptsOrRefusesWithAReason) {
    const LineCase cases[] = {
        {{"--port", "COM3", "--log", "/tmp/x.csv"}, Action::kRun, ""},
        {{"--port=com3", "--mqtt=mqtt://broker"}, Action::kRun, ""},
        {{"--port", "7", "--mqtt", "mqtt://broker"}, Action::kRun, ""},
        {{"--demo", "--mqtt", "mqtt://broker"}, Action::kRun, ""},
        {{"--demo", "4", "--log", "x"}, Action::kRun, ""},
        {{"--help"}, Action::kHelp, ""},
        {{"--port", "COM3", "-h"}, Action::kHelp, ""},
        {{"--version"}, Action::kVersion, ""},
        {{"--port", "COM3"}, Action::kError, "nie ma czego robić"},
        {{"--demo", "3", "--share", "/tmp/demo.sock"}, Action::kRun, ""},
        {{"--port", "COM3", "--share", "/run/tk358/line1.sock", "--share-group", "tk358-share",
          "--share-read-only"},
         Action::kRun,
         ""},
        {{"--port", "COM3", "--log", "x", "--share-read-only"}, Action::kError, "tylko --share"},
        {{"--port", "COM3", "--share", std::string(108, 's')}, Action::kError, "107 znaków"},
        {{"--log", "x"}, Action::kError, "brak portu"},
        {{"--port", "COM3", "--demo", "--log", "x"}, Action::kError, "albo --port"},
        {{"--port", "COM0", "--log", "x"}, Action::kError, "port:"},
        {{"--port", "COM256", "--log", "x"}, Action::kError, "port:"},
        {{"--port"}, Action::kError, "wymaga wartości"},
        {{"--demo", "5", "--log", "x"}, Action::kError, "od 0 do 4"},
        {{"--demo", "--log", "x", "3"}, Action::kError, "nieoczekiwany argument: 3"},
        {{"--demo=7", "--log", "x"}, Action::kError, "od 0 do 4"},
        {{"--port", "COM3", "--log", "x", "--interval", "0"}, Action::kError, "1 do 86399"},
        {{"--port", "COM3", "--log", "x", "--interval", "86400"}, Action::kError, "1 do 86399"},
        {{"--port", "COM3", "--log", "x", "--interval", "5s"}, Action::kError, "1 do 86399"},
        {{"--port", "COM3", "--mqtt", "http://x"}, Action::kError, "mqtt://"},
        {{"--port", "COM3", "--mqtt", "mqtt://x", "--qos", "2"}, Action::kError, "qos"},
        {{"--port", "COM3", "--mqtt", "mqtt://x", "--topic", "a/+/b"}, Action::kError, "topic"},
        {{"--port", "COM3", "--mqtt", "mqtt://x", "--topic", "a//b"}, Action::kError, "topic"},
        {{"--port", "COM3", "--mqtt", "mqtt://x", "--topic", "$SYS/x"}, Action::kError, "'$'"},
        {{"--port", "COM3", "--mqtt", "mqtts://u:p@x"}, Action::kError, "hasła nie podaje"},
        {{"--port", "COM3", "--mqtt", "mqtts://u:p%40@x"}, Action::kError, "--password-file"},
        {{"--port", "COM3", "--mqtt", "mqtt://x", "--name", "line/1"}, Action::kError, "name"},
        {{"--port", "COM3", "--mqtt", "mqtt://x", "--ca-file", "ca.pem"},
         Action::kError,
         "mqtts://"},
        {{"--port", "COM3", "--mqtt", "mqtts://x", "--cert-file", "c.pem"},
         Action::kError,
         "razem"},
        {{"--port", "COM3", "--mqtt", "mqtt://x", "--ha-discovery=1"},
         Action::kError,
         "nie przyjmuje"},
        {{"--port", "COM3", "--mqtt", "mqtt://x", "--password", "secret"},
         Action::kError,
         "nieznana opcja"},
        {{"--port", "COM3", "--bogus"}, Action::kError, "nieznana opcja: --bogus"},
        {{"port", "COM3"}, Action::kError, "nieoczekiwany argument"},
    };
    for (const LineCase& c : cases) {
        std::string shown;
        for (const std::string& a : c.args) {
            shown += a + " ";
        }
        const DaemonCommand command = ParseDaemonCommandLine(c.args);
        EXPECT_EQ(command.action, c.action) << shown << command.error;
        EXPECT_NE(command.error.find(c.error), std::string::npos) << shown << command.error;
    }
}

TEST(DaemonCommandLine, FillsTheOptionsAndTheDefaults) {
    const DaemonCommand command = ParseDaemonCommandLine(
        {"--port",          "COM12", "--log",           "/var/log/tk358/a.csv",
         "--interval",      "15",    "--log-separator", "tab",
         "--log-decimal",   "comma", "--mqtt",          "mqtts://u@broker.lan:8884",
         "--qos",           "1",     "--ha-discovery",  "--allow-setpoint-writes",
         "--reconnect-max", "5",     "--ca-file",       "/etc/ca.pem"});
    ASSERT_EQ(command.action, Action::kRun) << command.error;
    const DaemonOptions& o = command.options;
    EXPECT_EQ(o.portNumber, 12);
    EXPECT_EQ(o.name, "com12");
    EXPECT_EQ(o.topicPrefix, "tk358");
    EXPECT_EQ(o.logPath, "/var/log/tk358/a.csv");
    EXPECT_EQ(o.interval, 15);
    EXPECT_EQ(o.separatorCode, kSeparatorTab);
    EXPECT_EQ(o.decimalCode, kDecimalComma);
    ASSERT_TRUE(o.broker);
    EXPECT_EQ(*o.broker, (MqttUrl{true, "broker.lan", 8884, "u", ""}));
    EXPECT_EQ(o.qos, 1);
    EXPECT_TRUE(o.haDiscovery);
    EXPECT_TRUE(o.allowSetpointWrites);
    EXPECT_EQ(o.reconnectMax, 5);
    EXPECT_EQ(o.caFile, "/etc/ca.pem");

    const DaemonCommand demo = ParseDaemonCommandLine({"--demo", "--mqtt", "mqtt://b"});
    EXPECT_EQ(demo.options.demoKind, std::optional<int>(3));
    EXPECT_EQ(demo.options.name, "demo");
    EXPECT_EQ(demo.options.interval, kDefaultLogIntervalSeconds);
    EXPECT_EQ(demo.options.reconnectMax, 10);
    EXPECT_FALSE(demo.options.allowSetpointWrites);
    EXPECT_FALSE(demo.options.haDiscovery);
}

TEST(DaemonConfigFile, ReadsKeysWithBlanksCommentsAndItsSection) {
    const std::string text =
        "; a comment\r\n"
        "# another\r\n"
        "port = COM3\r\n"
        "\r\n"
        "[tk358d]\r\n"
        "mqtt=mqtt://user@broker\r\n"
        "password = two words;and a semicolon \r\n"
        "ha-discovery = yes\r\n";
    std::string error;
    const auto entries = ParseDaemonConfig(text, &error);
    ASSERT_TRUE(entries) << error;
    const std::vector<ConfigEntry> expected = {{"port", "COM3"},
                                               {"mqtt", "mqtt://user@broker"},
                                               {"password", "two words;and a semicolon"},
                                               {"ha-discovery", "yes"}};
    EXPECT_EQ(*entries, expected);

    EXPECT_FALSE(ParseDaemonConfig("[other]\nport=COM3\n", &error));
    EXPECT_NE(error.find("[other]"), std::string::npos);
}

class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tk358d-config-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::remove(Path().c_str());
        std::remove((dir_ + "/password").c_str());
        std::remove(dir_.c_str());
    }
    std::string Path() const { return dir_ + "/line1.ini"; }
    void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

    std::string dir_;
};

TEST_F(ConfigFileTest, TheCommandLineOverridesTheFile) {
    Write(dir_ + "/password", "s3cret\n");
    Write(Path(), "[tk358d]\nport=COM3\nmqtt=mqtt://broker\nuser=plant\npassword-file=" + dir_ +
                      "/password\ninterval=30\nallow-setpoint-writes=0\n");
    const DaemonCommand command =
        ParseDaemonCommandLine({"--interval", "5", "--config", Path(), "--name", "boiler"});
    ASSERT_EQ(command.action, Action::kRun) << command.error;
    EXPECT_EQ(command.options.portNumber, 3);
    EXPECT_EQ(command.options.interval, 5);
    EXPECT_EQ(command.options.name, "boiler");
    EXPECT_EQ(command.options.user, "plant");
    EXPECT_EQ(command.options.password, "s3cret");
    EXPECT_FALSE(command.options.allowSetpointWrites);
}

// A password in a file is fine where nobody else can read it; a credential
// of systemd comes before the file's, an explicit password file before both.
TEST_F(ConfigFileTest, PasswordsFromFilesAndCredentials) {
    struct Case {
        const char* config;  // after port and log
        mode_t mode;         // of both files
        const char* credential;
        const char* password;
        int warnings;
    };
    const Case cases[] = {
        {"mqtt=mqtt://u:fromurl@b\n", 0600, nullptr, "fromurl", 0},
        {"mqtt=mqtt://u:fromurl@b\n", 0644, nullptr, "fromurl", 1},
        {"mqtt=mqtt://u@b\npassword=fromini\n", 0604, nullptr, "fromini", 1},
        {"mqtt=mqtt://u@b\n", 0644, nullptr, "", 0},  // no password in it
        {"mqtt=mqtt://u@b\npassword=fromini\n", 0600, "fromcred", "fromcred", 0},
        {"mqtt=mqtt://u@b\npassword-file=@FILE\n", 0600, "fromcred", "fromfile", 0},
        {"mqtt=mqtt://u@b\npassword-file=@FILE\n", 0640, nullptr, "fromfile", 0},  // own group
    };
    const std::string credentials = dir_ + "/credentials";
    ::mkdir(credentials.c_str(), 0700);
    for (const Case& c : cases) {
        std::string config = std::string("port=COM3\nlog=x\n") + c.config;
        if (const std::size_t at = config.find("@FILE"); at != std::string::npos) {
            config.replace(at, 5, dir_ + "/password");
        }
        Write(Path(), config);
        Write(dir_ + "/password", "fromfile\n");
        ::chmod(Path().c_str(), c.mode);
        ::chmod((dir_ + "/password").c_str(), c.mode);
        std::remove((credentials + "/mqtt-password").c_str());
        if (c.credential != nullptr) {
            Write(credentials + "/mqtt-password", std::string(c.credential) + "\n");
        }
        ::setenv("CREDENTIALS_DIRECTORY", credentials.c_str(), 1);
        const DaemonCommand command = ParseDaemonCommandLine({"--config", Path()});
        ::unsetenv("CREDENTIALS_DIRECTORY");
        ASSERT_EQ(command.action, Action::kRun) << c.config << command.error;
        const DaemonOptions& o = command.options;
        EXPECT_EQ(o.password.empty() ? o.broker->password : o.password, c.password) << c.config;
        EXPECT_EQ(static_cast<int>(o.warnings.size()), c.warnings) << c.config;
    }
    std::remove((credentials + "/mqtt-password").c_str());
    std::remove(credentials.c_str());
}

TEST_F(ConfigFileTest, RefusesWhatTheFileMayNotHold) {
    const std::pair<const char*, const char*> cases[] = {
        {"port=COM3\nconfig=/etc/other.ini\n", "nieznany klucz: config"},
        {"port=COM3\nprot=COM4\n", "nieznany klucz: prot"},
        {"port=COM3\nlog=x\nha-discovery=maybe\n", "ha-discovery"},
        {"port=COM3\nlog=x\ninterval=-1\n", "interval"},
    };
    for (const auto& [text, error] : cases) {
        Write(Path(), text);
        const DaemonCommand command = ParseDaemonCommandLine({"--config", Path()});
        EXPECT_EQ(command.action, Action::kError) << text;
        EXPECT_NE(command.error.find(error), std::string::npos) << text << command.error;
        EXPECT_NE(command.error.find(Path()), std::string::npos) << command.error;
    }
    const DaemonCommand missing = ParseDaemonCommandLine({"--config", dir_ + "/none.ini"});
    EXPECT_EQ(missing.action, Action::kError);
    EXPECT_NE(missing.error.find("none.ini"), std::string::npos);
}

struct UrlCase {
    const char* text;
    std::optional<MqttUrl> url;
};

TEST(MqttUrl, ParsesTheBrokerAddress) {
    const UrlCase cases[] = {
        {"mqtt://localhost", MqttUrl{false, "localhost", 1883, "", ""}},
        {"mqtt://127.0.0.1:1884/", MqttUrl{false, "127.0.0.1", 1884, "", ""}},
        {"mqtts://broker", MqttUrl{true, "broker", 8883, "", ""}},
        {"mqtt://u@h", MqttUrl{false, "h", 1883, "u", ""}},
        {"mqtt://u:p%3Aw%40@h:1", MqttUrl{false, "h", 1, "u", "p:w@"}},
        {"mqtt://[::1]:1885", MqttUrl{false, "::1", 1885, "", ""}},
        {"mqtt://[::1]", MqttUrl{false, "::1", 1883, "", ""}},
        {"tcp://h", std::nullopt},
        {"mqtt://", std::nullopt},
        {"mqtt://h:", std::nullopt},
        {"mqtt://h:0", std::nullopt},
        {"mqtt://h:65536", std::nullopt},
        {"mqtt://h:12ab", std::nullopt},
        {"mqtt://h/topic", std::nullopt},
        {"mqtt://:p@h", std::nullopt},
        {"mqtt://u:%zz@h", std::nullopt},
        {"mqtt://u:%4@h", std::nullopt},
        {"mqtt://[::1", std::nullopt},
    };
    for (const UrlCase& c : cases) {
        std::string error;
        EXPECT_EQ(ParseMqttUrl(c.text, &error), c.url) << c.text;
        EXPECT_EQ(error.empty(), c.url.has_value()) << c.text << ": " << error;
    }
}

TEST(MqttTopics, NamesAndPrefixes) {
    const MqttTopics topics{"plant/hall2/line1"};
    EXPECT_EQ(topics.Availability(), "plant/hall2/line1/availability");
    EXPECT_EQ(topics.State(), "plant/hall2/line1/state");
    EXPECT_EQ(topics.Commands(), "plant/hall2/line1/set/#");
    EXPECT_EQ(topics.Result("setpoint"), "plant/hall2/line1/result/setpoint");
    for (const char* good : {"tk358", "plant/hall 2", "a/b/c"}) {
        EXPECT_TRUE(IsValidTopicPrefix(good)) << good;
    }
    for (const char* bad : {"", "/tk358", "tk358/", "a//b", "a/#", "a/+/b", "$SYS", "$x/a"}) {
        EXPECT_FALSE(IsValidTopicPrefix(bad)) << bad;
    }
    EXPECT_TRUE(IsValidPanelName("line-1_A"));
    const std::string tooLong(65, 'a');
    for (const char* bad : {"", "line 1", "line/1", "łódź", tooLong.c_str()}) {
        EXPECT_FALSE(IsValidPanelName(bad)) << bad;
    }
    EXPECT_EQ(DefaultPanelName(3), "com3");
}

}  // namespace
}  // namespace tk358
