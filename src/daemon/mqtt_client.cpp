#include "daemon/mqtt_client.h"

#include <mosquitto.h>

#include <algorithm>
#include <chrono>
#include <mutex>

namespace tk358 {

namespace {

constexpr int kRetainedQos = 1;  // rare and important: never lost on the way
constexpr auto kGoodbyeWait = std::chrono::seconds(3);

void InitLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

// Errors after which libmosquitto's network thread ends instead of
// reconnecting.
bool EndsNetworkThread(int rc) {
    switch (rc) {
        case MOSQ_ERR_NOMEM:
        case MOSQ_ERR_PROTOCOL:
        case MOSQ_ERR_INVAL:
        case MOSQ_ERR_NOT_FOUND:
        case MOSQ_ERR_TLS:
        case MOSQ_ERR_PAYLOAD_SIZE:
        case MOSQ_ERR_NOT_SUPPORTED:
        case MOSQ_ERR_AUTH:
        case MOSQ_ERR_ACL_DENIED:
        case MOSQ_ERR_UNKNOWN:
        case MOSQ_ERR_EAI:
        case MOSQ_ERR_PROXY:
            return true;
        default:
            return false;
    }
}

std::string Address(const MqttClientSettings& s) {
    return std::string(s.tls ? "mqtts://" : "mqtt://") + s.host + ":" + std::to_string(s.port);
}

}  // namespace

MqttClient::MqttClient(MqttClientSettings settings, const DaemonLog& log, MessageHandler onMessage)
    : settings_(std::move(settings)), log_(log), onMessage_(std::move(onMessage)) {}

MqttClient::~MqttClient() {
    if (threadRunning_) {
        mosquitto_disconnect(mosq_);
        mosquitto_loop_stop(mosq_, true);
    }
    if (mosq_ != nullptr) {
        mosquitto_destroy(mosq_);
    }
}

bool MqttClient::Configure(std::string* error) {
    const MqttClientSettings& s = settings_;
    auto fail = [error](const std::string& what, int rc) {
        *error = what + ": " + mosquitto_strerror(rc);
        return false;
    };
    int rc = mosquitto_will_set(mosq_, s.willTopic.c_str(), static_cast<int>(s.willPayload.size()),
                                s.willPayload.data(), kRetainedQos, true);
    if (rc != MOSQ_ERR_SUCCESS) {
        return fail("ostatnia wola", rc);
    }
    if (!s.user.empty()) {
        rc = mosquitto_username_pw_set(mosq_, s.user.c_str(),
                                       s.password.empty() ? nullptr : s.password.c_str());
        if (rc != MOSQ_ERR_SUCCESS) {
            return fail("użytkownik brokera", rc);
        }
    }
    if (s.tls) {
        const char* cert = s.certFile.empty() ? nullptr : s.certFile.c_str();
        const char* key = s.keyFile.empty() ? nullptr : s.keyFile.c_str();
        if (!s.caFile.empty()) {
            rc = mosquitto_tls_set(mosq_, s.caFile.c_str(), nullptr, cert, key, nullptr);
        } else {
            rc = mosquitto_int_option(mosq_, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
            if (rc == MOSQ_ERR_SUCCESS && cert != nullptr) {
                rc = mosquitto_tls_set(mosq_, nullptr, "/etc/ssl/certs", cert, key, nullptr);
            }
        }
        if (rc != MOSQ_ERR_SUCCESS) {
            return fail("TLS (pliki certyfikatów)", rc);
        }
    }
    mosquitto_reconnect_delay_set(mosq_, 1, static_cast<unsigned>(s.reconnectMaxSeconds), true);
    return true;
}

bool MqttClient::Start(std::string* error) {
    InitLibraryOnce();
    mosq_ = mosquitto_new(settings_.clientId.c_str(), true, this);
    if (mosq_ == nullptr) {
        *error = "nie można utworzyć klienta MQTT";
        return false;
    }
    if (!Configure(error)) {
        return false;
    }
    mosquitto_connect_callback_set(mosq_, &MqttClient::OnConnect);
    mosquitto_disconnect_callback_set(mosq_, &MqttClient::OnDisconnect);
    mosquitto_message_callback_set(mosq_, &MqttClient::OnMessage);
    log_.Info("łączenie z brokerem " + Address(settings_));
    // A broker that is away now is tried again by the network thread.
    const int rc = mosquitto_connect_async(mosq_, settings_.host.c_str(), settings_.port,
                                           settings_.keepAliveSeconds);
    if (rc != MOSQ_ERR_SUCCESS && rc != MOSQ_ERR_ERRNO && rc != MOSQ_ERR_EAI) {
        *error = std::string("połączenie z brokerem: ") + mosquitto_strerror(rc);
        return false;
    }
    if (const int started = mosquitto_loop_start(mosq_); started != MOSQ_ERR_SUCCESS) {
        *error = std::string("wątek sieciowy MQTT: ") + mosquitto_strerror(started);
        return false;
    }
    threadRunning_ = true;
    return true;
}

void MqttClient::OnConnect(mosquitto*, void* self, int rc) {
    static_cast<MqttClient*>(self)->HandleConnect(rc);
}

void MqttClient::OnDisconnect(mosquitto*, void* self, int rc) {
    static_cast<MqttClient*>(self)->HandleDisconnect(rc);
}

void MqttClient::OnMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* client = static_cast<MqttClient*>(self);
    if (!client->onMessage_ || message->topic == nullptr) {
        return;
    }
    const std::string payload(static_cast<const char*>(message->payload),
                              static_cast<std::size_t>(std::max(message->payloadlen, 0)));
    client->onMessage_(message->topic, payload, message->retain);
}

void MqttClient::HandleConnect(int rc) {
    if (rc != 0) {
        // Refused (credentials, identifier); the network thread tries again.
        if (rc != lastRefusal_) {
            log_.Warning("broker " + Address(settings_) +
                         " odmówił połączenia: " + mosquitto_connack_string(rc));
        }
        lastRefusal_ = rc;
        return;
    }
    lastRefusal_ = 0;
    log_.Info("połączono z brokerem " + Address(settings_));
    for (const std::string& filter : settings_.subscriptions) {
        mosquitto_subscribe(mosq_, nullptr, filter.c_str(), kRetainedQos);
    }
    std::lock_guard<std::mutex> lock(retainedLock_);
    connected_ = true;
    for (const auto& [topic, payload] : retained_) {
        PublishRetainedLocked(topic, payload);
    }
}

void MqttClient::HandleDisconnect(int rc) {
    bool was = false;
    {
        std::lock_guard<std::mutex> lock(retainedLock_);
        was = connected_.exchange(false);
    }
    if (stopping_) {
        std::lock_guard<std::mutex> lock(stopLock_);
        disconnected_ = true;
        stopWake_.notify_all();
        return;
    }
    if (EndsNetworkThread(rc)) {
        log_.Error(std::string("błąd połączenia z brokerem: ") + mosquitto_strerror(rc));
        failed_ = true;
    } else if (was) {
        log_.Warning(std::string("utracono połączenie z brokerem (") + mosquitto_strerror(rc) +
                     "); ponowne próby co najwyżej co " +
                     std::to_string(settings_.reconnectMaxSeconds) + " s");
    }
}

void MqttClient::PublishRetainedLocked(const std::string& topic, const std::string& payload) {
    mosquitto_publish(mosq_, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                      payload.data(), kRetainedQos, true);
}

void MqttClient::SetRetained(const std::string& topic, const std::string& payload) {
    std::lock_guard<std::mutex> lock(retainedLock_);
    auto it = std::find_if(retained_.begin(), retained_.end(),
                           [&topic](const auto& entry) { return entry.first == topic; });
    if (it != retained_.end() && it->second == payload) {
        return;
    }
    if (it == retained_.end()) {
        retained_.emplace_back(topic, payload);
    } else {
        it->second = payload;
    }
    if (connected_) {
        PublishRetainedLocked(topic, payload);
    }
}

bool MqttClient::Publish(const std::string& topic, const std::string& payload) {
    if (!connected_) {
        return false;
    }
    const int rc =
        mosquitto_publish(mosq_, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                          payload.data(), settings_.qos, false);
    return rc == MOSQ_ERR_SUCCESS;
}

void MqttClient::Stop(const std::string& topic, const std::string& payload) {
    if (!threadRunning_) {
        return;
    }
    stopping_ = true;
    bool goodbyeSent = false;
    {
        std::lock_guard<std::mutex> lock(retainedLock_);
        if (connected_) {
            PublishRetainedLocked(topic, payload);
            goodbyeSent = mosquitto_disconnect(mosq_) == MOSQ_ERR_SUCCESS;
        }
    }
    if (goodbyeSent) {
        std::unique_lock<std::mutex> lock(stopLock_);
        goodbyeSent = stopWake_.wait_for(lock, kGoodbyeWait, [this] { return disconnected_; });
    } else {
        mosquitto_disconnect(mosq_);
    }
    // After the goodbye the thread ends by itself; otherwise it may sit in a
    // reconnection delay or a connection attempt, which only a cancel ends.
    mosquitto_loop_stop(mosq_, !goodbyeSent);
    threadRunning_ = false;
    if (goodbyeSent) {
        log_.Info("rozłączono z brokerem " + Address(settings_));
    }
}

}  // namespace tk358
