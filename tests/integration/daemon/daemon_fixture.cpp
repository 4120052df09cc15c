// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon_fixture.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>

namespace tk358::test {

void DaemonFixture::SetUp() {
    if (MosquittoBroker::Executable().empty()) {
        GTEST_SKIP() << "mosquitto is not installed (scripts/deps.sh installs it)";
    }
    char pattern[] = "/tmp/tk358d-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    portDir_ = dir_ + "/ports";
    ASSERT_EQ(::mkdir(portDir_.c_str(), 0700), 0);
    broker_ = std::make_unique<MosquittoBroker>(dir_);
    broker_->SetExtraConfig(ExtraBrokerConfig());
    if (HasFatalFailure() || IsSkipped()) {
        return;
    }
    std::string error;
    ASSERT_TRUE(broker_->Start(&error)) << error;
    listener_ = std::make_unique<MqttListener>();
    ASSERT_TRUE(listener_->Start(broker_->Port()));
}

void DaemonFixture::TearDown() {
    if (daemon_) {
        daemon_->Kill();
    }
    // A sanitizer build of tk358d reports into its output, not to the test.
    for (const char* report :
         {"ThreadSanitizer", "AddressSanitizer", "runtime error:", "LeakSanitizer"}) {
        EXPECT_EQ(Output().find(report), std::string::npos) << report;
    }
    daemon_.reset();
    panel_.reset();
    listener_.reset();
    broker_.reset();
    if (!dir_.empty()) {
        if (HasFailure()) {
            std::printf("tk358d said:\n%s\n", Output().c_str());
        }
        std::filesystem::remove_all(dir_);
    }
}

void DaemonFixture::StartPanel(int kind) {
    sim::PtySimulatorOptions options;
    options.panel = sim::DefaultConfig(kind);
    options.portDirectory = portDir_;
    panel_ = std::make_unique<sim::PtySimulator>(options);
    std::string error;
    ASSERT_TRUE(panel_->Start(&error)) << error;
}

void DaemonFixture::StartDaemon(const std::vector<std::string>& extra) {
    std::vector<std::string> args = {
        "--port",          "COM" + std::to_string(panel_->PortNumber()),
        "--mqtt",          broker_->Url(),
        "--name",          "line",
        "--log",           LogPath(),
        "--interval",      "1",
        "--log-separator", "semicolon",
        "--log-decimal",   "comma",
        "--reconnect-max", "2"};
    args.insert(args.end(), extra.begin(), extra.end());
    StartDaemonWith(args);
}

void DaemonFixture::StartDaemonWith(const std::vector<std::string>& args) {
    std::vector<std::string> env = {"TK358_PORT_DIR=" + portDir_, "LC_ALL=C",
                                    "STATE_DIRECTORY=" + StateDir()};
    env.insert(env.end(), env_.begin(), env_.end());
    daemon_ = std::make_unique<ChildProcess>();
    ASSERT_TRUE(daemon_->Start(TK358D_EXECUTABLE, args, dir_ + "/tk358d.out", env));
}

std::unique_ptr<ChildProcess> DaemonFixture::StartOther(const std::string& label,
                                                        const std::vector<std::string>& args) {
    std::vector<std::string> all = {"--mqtt", broker_->Url(), "--reconnect-max", "2"};
    all.insert(all.end(), args.begin(), args.end());
    auto other = std::make_unique<ChildProcess>();
    EXPECT_TRUE(
        other->Start(TK358D_EXECUTABLE, all, dir_ + "/" + label + ".out",
                     {"TK358_PORT_DIR=" + portDir_, "LC_ALL=C", "STATE_DIRECTORY=" + StateDir()}));
    return other;
}

JsonValue DaemonFixture::WaitForState(const std::function<bool(const JsonValue&)>& match,
                                      std::chrono::milliseconds timeout) {
    JsonValue found;
    const ReceivedMessage m = listener_->WaitFor(
        Base() + "/state",
        [&](const ReceivedMessage& message) {
            const std::optional<JsonValue> json = JsonValue::Parse(message.payload);
            if (json && match(*json)) {
                found = *json;
                return true;
            }
            return false;
        },
        timeout);
    return m.topic.empty() ? JsonValue() : found;
}

bool DaemonFixture::WaitForAvailability(const std::string& payload,
                                        std::chrono::milliseconds timeout) {
    return !listener_
                ->WaitFor(
                    Base() + "/availability",
                    [&](const ReceivedMessage& m) { return m.payload == payload; }, timeout)
                .topic.empty();
}

bool DaemonFixture::WaitForRetained(const std::string& topic, const std::string& payload,
                                    std::chrono::milliseconds timeout) {
    const auto match = [&](const ReceivedMessage& m) { return m.payload == payload; };
    if (listener_->WaitFor(topic, match, timeout).topic.empty()) {
        return false;
    }
    MqttListener late;
    return late.Start(broker_->Port(), topic) &&
           late.WaitFor(
                   topic, [&](const ReceivedMessage& m) { return m.retained && match(m); }, 5s)
                   .topic == topic;
}

}  // namespace tk358::test
