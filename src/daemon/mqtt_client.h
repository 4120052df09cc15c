// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The broker connection of tk358d, on libmosquitto with MQTT 5. Its own
// network thread connects, reconnects with a growing delay (1 s, 4 s, 9 s ...
// up to the maximum) and delivers the command messages; the callers' threads
// only queue messages, so nothing that talks to the panel ever waits for the
// network.
//
// Retained messages (availability, info, discovery) are kept and published
// again after every reconnection, since a restarted broker may have lost
// them, and whenever Home Assistant says it has (re)started. Other messages
// are published only while connected: the panel's readings are not worth
// delivering late, and the measurement log keeps the record meanwhile.
//
// One process per topic prefix and name: on this host a local claim on the
// client id says so at the start; on the broker, before anything is published
// on a connection, the retained availability is checked: an "online" that
// another client left there means that two processes share these topics, and
// this one gives way.

#include <pthread.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "daemon/broker_refusals.h"
#include "daemon/daemon_log.h"

struct mosquitto;
struct mosquitto_message;
struct mqtt5__property;
typedef struct mqtt5__property mosquitto_property;

namespace tk358 {

struct MqttSubscription {
    std::string filter;
    // The retain flag as the publisher set it, also on messages published
    // while subscribed (MQTT 5): a retained command is recognised whenever
    // it arrives.
    bool retainAsPublished = false;
};

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
    int reconnectMaxSeconds = 10;
    std::string willTopic;      // the availability topic; the last will, retained,
    std::string willPayload;    // is published when the connection breaks without a goodbye
    std::string onlinePayload;  // of willTopic while this process owns it
    std::vector<MqttSubscription> subscriptions;  // (re)made on every connection
    // Home Assistant's status topic: its "online" asks for every retained
    // message again. Empty: none.
    std::string birthTopic;
    // The class of a topic in the log line of a refusal; none: the topic.
    BrokerRefusals::Classify topicClass;
};

class MqttClient {
public:
    // topic, payload, retained flag; called on the network thread.
    using MessageHandler = std::function<void(const std::string&, const std::string&, bool)>;

    enum class Failure {
        kNone,
        kConnection,      // the network thread ended: TLS, protocol, ...
        kSharedIdentity,  // another process publishes on the same topics
    };

    MqttClient(MqttClientSettings settings, const DaemonLog& log, MessageHandler onMessage);
    ~MqttClient();
    MqttClient(const MqttClient&) = delete;
    MqttClient& operator=(const MqttClient&) = delete;

    // Sets the client up and starts connecting in the background. False, with
    // the reason in `error`, when the settings cannot work (a TLS file that
    // cannot be read, for instance); a broker that is away is not an error.
    // False with `error` empty (logged already) when another process of this
    // host has the same client id.
    bool Start(std::string* error);

    // Keeps `payload` as the retained message of `topic` and publishes it now
    // when connected (only when it changed). An empty payload removes the
    // topic's retained message at the broker.
    void SetRetained(const std::string& topic, const std::string& payload);

    // Removes the retained message of `topic` once, now (a retained command).
    void ClearRetained(const std::string& topic);

    // Queues a message that is not retained; false when it is dropped because
    // the broker is away. `expirySeconds` > 0: the broker drops it when it
    // could not deliver it within that time (MQTT 5 message expiry).
    bool Publish(const std::string& topic, const std::string& payload, int expirySeconds = 0);

    bool Connected() const { return connected_.load(); }

    // Publications and subscriptions the broker refused so far (only those
    // it answers: QoS 1 and above, and subscriptions); the first of each
    // class of topics is logged.
    int64_t Refusals() const { return refusals_.Count(); }

    // Set once the network thread has ended on an error that libmosquitto
    // does not retry, or this process found its topics in use by another;
    // the owner ends the program then (the error is logged already).
    Failure Failed() const { return failure_.load(); }

    // Publishes `payload` retained on `topic` (the goodbye, "offline"),
    // disconnects and ends the network thread. Waits at most a few seconds.
    // No goodbye after a shared identity: the topics belong to the other.
    void Stop(const std::string& topic, const std::string& payload);

private:
    static void* ThreadMain(void* self);
    static void OnConnect(mosquitto*, void* self, int rc, int flags, const mosquitto_property*);
    static void OnDisconnect(mosquitto*, void* self, int rc, const mosquitto_property*);
    static void OnSubscribe(mosquitto*, void* self, int mid, int count, const int* granted,
                            const mosquitto_property*);
    static void OnPublish(mosquitto*, void* self, int mid, int reason, const mosquitto_property*);
    static void OnMessage(mosquitto*, void* self, const mosquitto_message* message,
                          const mosquitto_property* properties);
    static void OnLog(mosquitto*, void* self, int level, const char* text);

    bool Configure(std::string* error);
    void RunNetwork();
    void HandleConnect(int rc);
    void HandleDisconnect(int rc);
    void HandleSubscribed(int mid);
    bool HandleOwnMessage(const mosquitto_message& message, const mosquitto_property* properties);
    void ReportSharedIdentity(const std::string& other);
    void ReportConnectionEnd(int rc);
    bool TryOlderProtocol(int rc);
    void PublishRetainedLocked(const std::string& topic, const std::string& payload);
    void PublishAllRetainedLocked();
    int Subscribe(const std::string& filter, int options);
    std::string TakeErrorText();

    const MqttClientSettings settings_;
    const std::string ownerTag_;  // client id and process id, on our "online"
    const DaemonLog& log_;
    MessageHandler onMessage_;
    mosquitto* mosq_ = nullptr;
    int claim_ = -1;  // the local claim on the client id
    pthread_t thread_{};
    bool threadRunning_ = false;  // owner's thread only

    // retainedLock: the retained messages and the connected flag change
    // together, so that a message set while the connection comes up is
    // published exactly once. Held only around queueing calls, never while
    // waiting for the network.
    std::mutex retainedLock_;
    std::vector<std::pair<std::string, std::string>> retained_;  // in the order first set
    std::atomic<bool> connected_{false};

    std::atomic<bool> stopping_{false};
    std::atomic<bool> v311_{false};  // the broker knows only MQTT 3.1.1
    std::atomic<Failure> failure_{Failure::kNone};
    // Network thread only.
    int lastRefusal_ = 0;
    bool everConnected_ = false;
    int checkMid_ = -1;  // the subscription whose acknowledgement ends the ownership check
    bool clearFailureLogged_ = false;

    BrokerRefusals refusals_;  // any thread: it has a lock of its own

    std::mutex errorLock_;  // errorText_: from libmosquitto's error log lines
    std::string errorText_;

    // stopLock: the goodbye's disconnection, awaited by Stop.
    std::mutex stopLock_;
    std::condition_variable stopWake_;
    bool disconnected_ = false;
};

}  // namespace tk358
