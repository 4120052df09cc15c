// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/mqtt_listener.h"

#include <mosquitto.h>
#include <mqtt_protocol.h>

#include <algorithm>
#include <mutex>

namespace tk358::test {

MqttListener::MqttListener() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
    mosq_ = mosquitto_new(nullptr, true, this);
    mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
    mosquitto_connect_callback_set(mosq_, &MqttListener::OnConnect);
    mosquitto_subscribe_callback_set(mosq_, &MqttListener::OnSubscribe);
    mosquitto_message_v5_callback_set(mosq_, &MqttListener::OnMessage);
    mosquitto_reconnect_delay_set(mosq_, 1, 1, false);
}

MqttListener::~MqttListener() {
    mosquitto_disconnect(mosq_);
    mosquitto_loop_stop(mosq_, false);
    mosquitto_destroy(mosq_);
}

bool MqttListener::Start(int port, const std::string& filter) {
    filter_ = filter;
    if (mosquitto_connect(mosq_, "127.0.0.1", port, 30) != MOSQ_ERR_SUCCESS) {
        return false;
    }
    // The callbacks may run from here on: set up before the thread starts.
    if (mosquitto_loop_start(mosq_) != MOSQ_ERR_SUCCESS) {
        return false;
    }
    std::unique_lock<std::mutex> lock(lock_);
    return changed_.wait_for(lock, std::chrono::seconds(10), [this] { return subscribed_; });
}

void MqttListener::OnConnect(mosquitto* mosq, void* self, int rc) {
    if (rc == 0) {
        auto* listener = static_cast<MqttListener*>(self);
        mosquitto_subscribe(mosq, nullptr, listener->filter_.c_str(), 1);
    }
}

void MqttListener::OnSubscribe(mosquitto*, void* self, int, int, const int*) {
    auto* listener = static_cast<MqttListener*>(self);
    std::lock_guard<std::mutex> lock(listener->lock_);
    listener->subscribed_ = true;
    listener->changed_.notify_all();
}

void MqttListener::OnMessage(mosquitto*, void* self, const mosquitto_message* message,
                             const mosquitto_property* properties) {
    auto* listener = static_cast<MqttListener*>(self);
    ReceivedMessage m;
    m.topic = message->topic;
    m.payload.assign(static_cast<const char*>(message->payload),
                     static_cast<std::size_t>(std::max(message->payloadlen, 0)));
    m.retained = message->retain;
    uint32_t expiry = 0;
    if (mosquitto_property_read_int32(properties, MQTT_PROP_MESSAGE_EXPIRY_INTERVAL, &expiry,
                                      false) != nullptr) {
        m.expirySeconds = static_cast<int>(expiry);
    }
    m.at = std::chrono::steady_clock::now();
    std::lock_guard<std::mutex> lock(listener->lock_);
    listener->messages_.push_back(std::move(m));
    listener->changed_.notify_all();
}

std::vector<ReceivedMessage> MqttListener::Messages() const {
    std::lock_guard<std::mutex> lock(lock_);
    return messages_;
}

std::vector<ReceivedMessage> MqttListener::On(const std::string& topic) const {
    std::vector<ReceivedMessage> out;
    for (ReceivedMessage& m : Messages()) {
        if (m.topic == topic) {
            out.push_back(std::move(m));
        }
    }
    return out;
}

ReceivedMessage MqttListener::WaitFor(const std::string& topic,
                                      const std::function<bool(const ReceivedMessage&)>& match,
                                      std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(lock_);
    ReceivedMessage found;
    changed_.wait_for(lock, timeout, [&] {
        for (const ReceivedMessage& m : messages_) {
            if (m.topic == topic && match(m)) {
                found = m;
                return true;
            }
        }
        return false;
    });
    return found;
}

void MqttListener::Clear() {
    std::lock_guard<std::mutex> lock(lock_);
    messages_.clear();
}

bool MqttListener::Publish(const std::string& topic, const std::string& payload, bool retained) {
    return mosquitto_publish(mosq_, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                             payload.data(), 1, retained) == MOSQ_ERR_SUCCESS;
}

bool MqttListener::PublishWithProperty(const std::string& topic, const std::string& payload,
                                       bool retained, const std::string& name,
                                       const std::string& value) {
    mosquitto_property* properties = nullptr;
    mosquitto_property_add_string_pair(&properties, MQTT_PROP_USER_PROPERTY, name.c_str(),
                                       value.c_str());
    const int rc =
        mosquitto_publish_v5(mosq_, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                             payload.data(), 1, retained, properties);
    mosquitto_property_free_all(&properties);
    return rc == MOSQ_ERR_SUCCESS;
}

}  // namespace tk358::test
