// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// tk358d end to end: a real mosquitto broker on a loopback port, a simulated
// panel on a pseudo-terminal registered in a private port directory, and
// tk358d itself as a child process, as systemd would run it.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "sim/pty_simulator.h"
#include "support/child_process.h"
#include "support/json_value.h"
#include "support/mqtt_broker.h"
#include "support/mqtt_listener.h"

namespace tk358::test {

using namespace std::chrono_literals;

class DaemonFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Lines added to the broker's configuration; called once `dir_` exists.
    virtual std::string ExtraBrokerConfig() { return {}; }

    // A simulated panel of `kind`, registered in the test's port directory.
    void StartPanel(int kind);
    // tk358d on the panel's port with the test broker, the name "line" and a
    // log file written every second, plus `extra` options (a later --mqtt
    // replaces the test broker's address).
    void StartDaemon(const std::vector<std::string>& extra = {});
    // tk358d with exactly these options, in the test's port directory.
    void StartDaemonWith(const std::vector<std::string>& args);

    // Another tk358d on the test broker with `args` (and its own panel, --demo);
    // its output goes to <dir>/<label>.out.
    std::unique_ptr<ChildProcess> StartOther(const std::string& label,
                                             const std::vector<std::string>& args);

    std::string Base() const { return "tk358/line"; }
    std::string Output() const { return ReadFile(dir_ + "/tk358d.out"); }
    std::string LogText() const { return ReadFile(LogPath()); }
    std::string LogPath() const { return dir_ + "/pomiary.csv"; }
    // tk358d's $STATE_DIRECTORY (made by tk358d when it first writes there).
    std::string StateDir() const { return dir_ + "/state"; }

    // The next state message (after the last Clear) whose JSON satisfies `match`.
    JsonValue WaitForState(const std::function<bool(const JsonValue&)>& match,
                           std::chrono::milliseconds timeout);
    // Waits for `payload` on the availability topic.
    bool WaitForAvailability(const std::string& payload, std::chrono::milliseconds timeout);
    // Waits for `payload` on `topic`, also as a retained message a client
    // subscribing now gets.
    bool WaitForRetained(const std::string& topic, const std::string& payload,
                         std::chrono::milliseconds timeout);

    std::string dir_;
    std::string portDir_;
    std::unique_ptr<MosquittoBroker> broker_;
    std::unique_ptr<MqttListener> listener_;
    std::unique_ptr<sim::PtySimulator> panel_;
    std::unique_ptr<ChildProcess> daemon_;
    std::vector<std::string> env_;  // added to tk358d's environment
};

}  // namespace tk358::test
