#pragma once

// The broker connection of tk358d, on libmosquitto. Its own network thread
// connects, reconnects with a growing delay (1 s, 4 s, 9 s ... up to the
// maximum) and delivers the command messages; the callers' threads only
// queue messages, so nothing that talks to the panel ever waits for the
// network.
//
// Retained messages (availability, info, discovery) are kept and published
// again after every reconnection, since a restarted broker may have lost
// them. Other messages are published only while connected: the panel's
// readings are not worth delivering late, and the measurement log keeps the
// record meanwhile.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "daemon/daemon_log.h"

struct mosquitto;
struct mosquitto_message;

namespace tk358 {

struct MqttClientSettings {
    std::string host;
    int port = 1883;
    bool tls = false;
    std::string caFile;  // empty with tls: the system's certificates
    std::string certFile;
    std::string keyFile;
    std::string user;
    std::string password;
    std::string clientId;
    int keepAliveSeconds = 30;
    int qos = 0;  // of the messages that are not retained
    int reconnectMaxSeconds = 30;
    std::string willTopic;                   // the last will, retained: published when the
    std::string willPayload;                 // connection breaks without a goodbye
    std::vector<std::string> subscriptions;  // (re)made on every connection
};

class MqttClient {
public:
    // topic, payload, retained flag; called on the network thread.
    using MessageHandler = std::function<void(const std::string&, const std::string&, bool)>;

    MqttClient(MqttClientSettings settings, const DaemonLog& log, MessageHandler onMessage);
    ~MqttClient();
    MqttClient(const MqttClient&) = delete;
    MqttClient& operator=(const MqttClient&) = delete;

    // Sets the client up and starts connecting in the background. False, with
    // the reason in `error`, when the settings cannot work (a TLS file that
    // cannot be read, for instance); a broker that is away is not an error.
    bool Start(std::string* error);

    // Keeps `payload` as the retained message of `topic` and publishes it now
    // when connected (only when it changed). An empty payload removes the
    // topic's retained message at the broker.
    void SetRetained(const std::string& topic, const std::string& payload);

    // Queues a message that is not retained; false when it is dropped because
    // the broker is away.
    bool Publish(const std::string& topic, const std::string& payload);

    bool Connected() const { return connected_.load(); }

    // True after an error that ended the network thread (a TLS or protocol
    // error of an established connection): no more reconnections are made,
    // and the owner ends the program so that its supervisor starts it anew.
    bool Failed() const { return failed_.load(); }

    // Publishes `payload` retained on `topic` (the goodbye, "offline"),
    // disconnects and ends the network thread. Waits at most a few seconds.
    void Stop(const std::string& topic, const std::string& payload);

private:
    static void OnConnect(mosquitto*, void* self, int rc);
    static void OnDisconnect(mosquitto*, void* self, int rc);
    static void OnMessage(mosquitto*, void* self, const mosquitto_message* message);

    bool Configure(std::string* error);
    void HandleConnect(int rc);
    void HandleDisconnect(int rc);
    void PublishRetainedLocked(const std::string& topic, const std::string& payload);

    const MqttClientSettings settings_;
    const DaemonLog& log_;
    MessageHandler onMessage_;
    mosquitto* mosq_ = nullptr;
    bool threadRunning_ = false;  // owner's thread only

    // retainedLock: the retained messages and the connected flag change
    // together, so that a message set while the connection comes up is
    // published exactly once. Held only around queueing calls, never while
    // waiting for the network.
    std::mutex retainedLock_;
    std::vector<std::pair<std::string, std::string>> retained_;  // in the order first set
    std::atomic<bool> connected_{false};

    std::atomic<bool> stopping_{false};
    std::atomic<bool> failed_{false};
    int lastRefusal_ = 0;  // network thread only

    // stopLock: the goodbye's disconnection, awaited by Stop.
    std::mutex stopLock_;
    std::condition_variable stopWake_;
    bool disconnected_ = false;
};

}  // namespace tk358
