// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A test's MQTT 5 client: subscribes to everything on the test broker, keeps
// every message with the time it arrived, reconnects by itself after the
// broker comes back, and publishes commands.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct mosquitto;
struct mosquitto_message;
struct mqtt5__property;

namespace tk358::test {

struct ReceivedMessage {
    std::string topic;
    std::string payload;
    bool retained = false;
    int expirySeconds = 0;  // the message expiry left when it arrived; 0: none
    std::chrono::steady_clock::time_point at;
};

class MqttListener {
public:
    MqttListener();
    ~MqttListener();
    MqttListener(const MqttListener&) = delete;
    MqttListener& operator=(const MqttListener&) = delete;

    // Connects to 127.0.0.1:`port` and subscribes to `filter`; waits for the
    // subscription to be made.
    bool Start(int port, const std::string& filter = "#");

    std::vector<ReceivedMessage> Messages() const;
    std::vector<ReceivedMessage> On(const std::string& topic) const;
    // Waits until a message on `topic` satisfies `match` (arrived since the
    // last Clear); returns it, or an empty message with an empty topic.
    ReceivedMessage WaitFor(const std::string& topic,
                            const std::function<bool(const ReceivedMessage&)>& match,
                            std::chrono::milliseconds timeout) const;
    void Clear();

    bool Publish(const std::string& topic, const std::string& payload, bool retained = false);
    // The same with one MQTT 5 user property.
    bool PublishWithProperty(const std::string& topic, const std::string& payload, bool retained,
                             const std::string& name, const std::string& value);

private:
    static void OnConnect(mosquitto*, void* self, int rc);
    static void OnSubscribe(mosquitto*, void* self, int mid, int count, const int* granted);
    static void OnMessage(mosquitto*, void* self, const mosquitto_message* message,
                          const mqtt5__property* properties);

    mosquitto* mosq_ = nullptr;
    std::string filter_;
    mutable std::mutex lock_;  // messages_ and subscribed_
    mutable std::condition_variable changed_;
    std::vector<ReceivedMessage> messages_;
    bool subscribed_ = false;
};

}  // namespace tk358::test
