// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/mqtt_client.h"

#include <mosquitto.h>
#include <mqtt_protocol.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>

namespace tk358 {

namespace {

constexpr int kRetainedQos = 1;  // rare and important: never lost on the way
constexpr auto kGoodbyeWait = std::chrono::seconds(3);
constexpr const char* kOwnerProperty = "tk358d-owner";
constexpr std::size_t kMaxErrorText = 300;

void InitLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

std::string Address(const MqttClientSettings& s) {
    return std::string(s.tls ? "mqtts://" : "mqtt://") + s.host + ":" + std::to_string(s.port);
}

// "<client id>#<process id>": which process published an "online".
std::string OwnerTag(const std::string& clientId) {
    return clientId + "#" + std::to_string(::getpid());
}

// Holds an abstract local socket named after `identity` for as long as the
// process runs: a second process on this host with the same broker, topic
// prefix and name cannot take it. -1 when it is taken.
int ClaimLocally(const std::string& identity) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -2;  // no claim possible: left to the broker's check
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string name = "tk358d " + std::to_string(std::hash<std::string>{}(identity));
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        const bool taken = errno == EADDRINUSE;
        ::close(fd);
        return taken ? -1 : -2;
    }
    return fd;
}

std::string PropertyValue(const mosquitto_property* properties, const char* key) {
    char* name = nullptr;
    char* value = nullptr;
    std::string found;
    for (const mosquitto_property* p = mosquitto_property_read_string_pair(
             properties, MQTT_PROP_USER_PROPERTY, &name, &value, false);
         p != nullptr;
         p = mosquitto_property_read_string_pair(p, MQTT_PROP_USER_PROPERTY, &name, &value, true)) {
        if (found.empty() && std::string_view(name) == key) {
            found = value;
        }
        std::free(name);
        std::free(value);
        name = value = nullptr;
    }
    return found;
}

}  // namespace

MqttClient::MqttClient(MqttClientSettings settings, const DaemonLog& log, MessageHandler onMessage)
    : settings_(std::move(settings)),
      ownerTag_(OwnerTag(settings_.clientId)),
      log_(log),
      onMessage_(std::move(onMessage)),
      refusals_(
          log, settings_.topicClass ? settings_.topicClass
                                    : [](const std::string& topic) { return topic; }) {}

MqttClient::~MqttClient() {
    if (threadRunning_) {
        stopping_ = true;
        mosquitto_disconnect(mosq_);
        ::pthread_cancel(thread_);
        ::pthread_join(thread_, nullptr);
    }
    if (mosq_ != nullptr) {
        mosquitto_destroy(mosq_);
    }
    if (claim_ >= 0) {
        ::close(claim_);
    }
}

bool MqttClient::Configure(std::string* error) {
    const MqttClientSettings& s = settings_;
    auto fail = [error](const std::string& what, int rc) {
        *error = what + ": " + mosquitto_strerror(rc);
        return false;
    };
    mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
    mosquitto_threaded_set(mosq_, true);
    int rc =
        mosquitto_will_set_v5(mosq_, s.willTopic.c_str(), static_cast<int>(s.willPayload.size()),
                              s.willPayload.data(), kRetainedQos, true, nullptr);
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
    // Per broker: the same topics on two brokers are not shared.
    claim_ = ClaimLocally(Address(settings_) + " " + settings_.clientId);
    if (claim_ == -1) {
        ReportSharedIdentity("na tym komputerze");
        error->clear();
        return false;
    }
    InitLibraryOnce();
    mosq_ = mosquitto_new(settings_.clientId.c_str(), true, this);
    if (mosq_ == nullptr) {
        *error = "nie można utworzyć klienta MQTT";
        return false;
    }
    if (!Configure(error)) {
        return false;
    }
    mosquitto_connect_v5_callback_set(mosq_, &MqttClient::OnConnect);
    mosquitto_disconnect_v5_callback_set(mosq_, &MqttClient::OnDisconnect);
    mosquitto_subscribe_v5_callback_set(mosq_, &MqttClient::OnSubscribe);
    mosquitto_publish_v5_callback_set(mosq_, &MqttClient::OnPublish);
    mosquitto_message_v5_callback_set(mosq_, &MqttClient::OnMessage);
    mosquitto_log_callback_set(mosq_, &MqttClient::OnLog);
    log_.Info("łączenie z brokerem " + Address(settings_));
    // A broker that is away now is tried again by the network thread.
    const int rc = mosquitto_connect_bind_async(mosq_, settings_.host.c_str(), settings_.port,
                                                settings_.keepAliveSeconds, nullptr);
    if (rc != MOSQ_ERR_SUCCESS && rc != MOSQ_ERR_ERRNO && rc != MOSQ_ERR_EAI) {
        *error = "połączenie z brokerem " + Address(settings_) + ": " + mosquitto_strerror(rc);
        if (const std::string detail = TakeErrorText(); !detail.empty()) {
            *error += " (" + detail + ")";
        }
        return false;
    }
    if (const int started = ::pthread_create(&thread_, nullptr, &MqttClient::ThreadMain, this);
        started != 0) {
        *error = std::string("wątek sieciowy MQTT: ") + std::strerror(started);
        return false;
    }
    threadRunning_ = true;
    return true;
}

void* MqttClient::ThreadMain(void* self) {
    static_cast<MqttClient*>(self)->RunNetwork();
    return nullptr;
}

// libmosquitto's loop reconnects by itself after a lost connection and ends
// on the errors it does not retry (TLS, protocol). A refusal of the
// credentials ends it too under MQTT 5; that one is tried again here, as a
// broker whose password file is being fixed should be.
void MqttClient::RunNetwork() {
    int refusals = 0;
    for (;;) {
        const int rc = mosquitto_loop_forever(mosq_, -1, 1);
        if (stopping_ || failure_ != Failure::kNone) {
            return;
        }
        {
            std::lock_guard<std::mutex> lock(retainedLock_);
            connected_ = false;
        }
        if (TryOlderProtocol(rc)) {
            refusals = 0;
        } else if (lastRefusal_ == 0) {
            ReportConnectionEnd(rc);
            return;
        }
        ++refusals;
        const int delay = std::min(refusals * refusals, settings_.reconnectMaxSeconds);
        {
            std::unique_lock<std::mutex> lock(stopLock_);
            if (stopWake_.wait_for(lock, std::chrono::seconds(delay),
                                   [this] { return stopping_.load(); })) {
                return;
            }
        }
        mosquitto_reconnect_async(mosq_);
    }
}

void MqttClient::ReportConnectionEnd(int rc) {
    std::string reason = mosquitto_strerror(rc);
    if (const std::string detail = TakeErrorText(); !detail.empty()) {
        reason += " (" + detail + ")";
    }
    log_.Error("błąd połączenia z brokerem " + Address(settings_) + ": " + reason);
    failure_ = Failure::kConnection;
}

// A broker that knows only MQTT 3.1.1 refuses the MQTT 5 connection (or
// answers in a form MQTT 5 cannot read) before any connection succeeded.
bool MqttClient::TryOlderProtocol(int rc) {
    const bool refused = lastRefusal_ == 1 || lastRefusal_ == MQTT_RC_UNSUPPORTED_PROTOCOL_VERSION;
    const bool unreadable =
        lastRefusal_ == 0 && (rc == MOSQ_ERR_PROTOCOL || rc == MOSQ_ERR_MALFORMED_PACKET);
    if (everConnected_ || v311_ || !(refused || unreadable)) {
        return false;
    }
    v311_ = true;
    lastRefusal_ = 0;
    TakeErrorText();
    mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    log_.Warning("broker " + Address(settings_) +
                 " nie przyjął MQTT 5; połączenie przez MQTT 3.1.1 (polecenia zachowane "
                 "rozpoznawane tylko przy subskrypcji)");
    return true;
}

void MqttClient::OnConnect(mosquitto*, void* self, int rc, int, const mosquitto_property*) {
    static_cast<MqttClient*>(self)->HandleConnect(rc);
}

void MqttClient::OnDisconnect(mosquitto*, void* self, int rc, const mosquitto_property*) {
    static_cast<MqttClient*>(self)->HandleDisconnect(rc);
}

// One filter per subscription: the first granted code is its answer.
void MqttClient::OnSubscribe(mosquitto*, void* self, int mid, int count, const int* granted,
                             const mosquitto_property*) {
    auto* client = static_cast<MqttClient*>(self);
    client->refusals_.Answered(mid, count > 0 && granted != nullptr ? granted[0] : 0);
    client->HandleSubscribed(mid);
}

void MqttClient::OnPublish(mosquitto*, void* self, int mid, int reason, const mosquitto_property*) {
    static_cast<MqttClient*>(self)->refusals_.Answered(mid, reason);
}

void MqttClient::OnLog(mosquitto*, void* self, int level, const char* text) {
    if (level != MOSQ_LOG_ERR || text == nullptr) {
        return;
    }
    auto* client = static_cast<MqttClient*>(self);
    std::string_view line(text);
    if (line.starts_with("Error: ")) {
        line.remove_prefix(7);
    }
    std::lock_guard<std::mutex> lock(client->errorLock_);
    if (client->errorText_.size() < kMaxErrorText) {
        client->errorText_ += (client->errorText_.empty() ? "" : "; ") + std::string(line);
    }
}

std::string MqttClient::TakeErrorText() {
    std::lock_guard<std::mutex> lock(errorLock_);
    return std::exchange(errorText_, {});
}

void MqttClient::OnMessage(mosquitto*, void* self, const mosquitto_message* message,
                           const mosquitto_property* properties) {
    auto* client = static_cast<MqttClient*>(self);
    if (message->topic == nullptr || client->failure_ != Failure::kNone ||
        client->HandleOwnMessage(*message, properties) || !client->onMessage_) {
        return;
    }
    const std::string payload(static_cast<const char*>(message->payload),
                              static_cast<std::size_t>(std::max(message->payloadlen, 0)));
    client->onMessage_(message->topic, payload, message->retain);
}

// The availability replayed at subscription, and Home Assistant's status.
bool MqttClient::HandleOwnMessage(const mosquitto_message& message,
                                  const mosquitto_property* properties) {
    const std::string_view topic(message.topic);
    const std::string_view payload(static_cast<const char*>(message.payload),
                                   static_cast<std::size_t>(std::max(message.payloadlen, 0)));
    if (topic == settings_.willTopic) {
        const std::string owner = PropertyValue(properties, kOwnerProperty);
        // The same client id is this process, or one that ended on this
        // host without its will having been published yet.
        const bool other = !owner.empty() && !owner.starts_with(settings_.clientId + "#");
        if (message.retain && payload == settings_.onlinePayload && other && !connected_ &&
            failure_ == Failure::kNone) {
            ReportSharedIdentity(owner.substr(0, owner.rfind('#')));
            mosquitto_disconnect(mosq_);  // a clean goodbye: no last will on the other's topic
        }
        return true;
    }
    if (!settings_.birthTopic.empty() && topic == settings_.birthTopic) {
        // The replay at subscription is an old birth; only a new one asks again.
        if (!message.retain && payload == "online") {
            std::lock_guard<std::mutex> lock(retainedLock_);
            if (connected_) {
                PublishAllRetainedLocked();
            }
        }
        return true;
    }
    return false;
}

void MqttClient::ReportSharedIdentity(const std::string& other) {
    log_.Error("tematów " + settings_.willTopic.substr(0, settings_.willTopic.rfind('/')) +
               " używa już inny proces tk358d (" + other +
               "); jeden prefiks tematów (--topic) z jedną nazwą (--name) może mieć tylko "
               "jeden proces");
    failure_ = Failure::kSharedIdentity;
}

void MqttClient::HandleConnect(int rc) {
    if (rc != 0) {
        // Refused (credentials, identifier); tried again.
        if (rc != lastRefusal_) {
            log_.Warning("broker " + Address(settings_) +
                         " odmówił połączenia: " + mosquitto_reason_string(rc));
        }
        lastRefusal_ = rc;
        return;
    }
    lastRefusal_ = 0;
    everConnected_ = true;
    TakeErrorText();
    log_.Info("połączono z brokerem " + Address(settings_));
    // The availability first: its retained message has arrived when the last
    // subscription is acknowledged, and only then is anything published.
    Subscribe(settings_.willTopic, 0);
    if (!settings_.birthTopic.empty()) {
        Subscribe(settings_.birthTopic, 0);
    }
    checkMid_ = -1;
    for (const MqttSubscription& s : settings_.subscriptions) {
        const int options = s.retainAsPublished && !v311_ ? MQTT_SUB_OPT_RETAIN_AS_PUBLISHED : 0;
        checkMid_ = Subscribe(s.filter, options);
    }
    if (settings_.subscriptions.empty()) {
        HandleSubscribed(checkMid_);
    }
}

void MqttClient::HandleSubscribed(int mid) {
    if (mid != checkMid_ || failure_ != Failure::kNone) {
        return;
    }
    std::lock_guard<std::mutex> lock(retainedLock_);
    connected_ = true;
    PublishAllRetainedLocked();
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
    if (was) {
        log_.Warning(std::string("utracono połączenie z brokerem (") + mosquitto_strerror(rc) +
                     "); ponowne próby co najwyżej co " +
                     std::to_string(settings_.reconnectMaxSeconds) + " s");
    }
}

// The subscription's message id.
int MqttClient::Subscribe(const std::string& filter, int options) {
    int mid = -1;
    refusals_.Send(BrokerRefusals::Request::kSubscribe, filter, [&](int* sent) {
        const int rc =
            mosquitto_subscribe_v5(mosq_, sent, filter.c_str(), kRetainedQos, options, nullptr);
        mid = *sent;
        return rc;
    });
    return mid;
}

void MqttClient::PublishRetainedLocked(const std::string& topic, const std::string& payload) {
    mosquitto_property* properties = nullptr;
    if (topic == settings_.willTopic && payload == settings_.onlinePayload && !v311_) {
        mosquitto_property_add_string_pair(&properties, MQTT_PROP_USER_PROPERTY, kOwnerProperty,
                                           ownerTag_.c_str());
    }
    refusals_.Send(BrokerRefusals::Request::kPublish, topic, [&](int* mid) {
        return mosquitto_publish_v5(mosq_, mid, topic.c_str(), static_cast<int>(payload.size()),
                                    payload.data(), kRetainedQos, true, properties);
    });
    mosquitto_property_free_all(&properties);
}

void MqttClient::PublishAllRetainedLocked() {
    for (const auto& [topic, payload] : retained_) {
        PublishRetainedLocked(topic, payload);
    }
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

// A refusal by the broker is logged with the other refusals.
void MqttClient::ClearRetained(const std::string& topic) {
    const int rc = refusals_.Send(BrokerRefusals::Request::kPublish, topic, [&](int* mid) {
        return mosquitto_publish_v5(mosq_, mid, topic.c_str(), 0, nullptr, kRetainedQos, true,
                                    nullptr);
    });
    if (rc != MOSQ_ERR_SUCCESS && !clearFailureLogged_) {
        clearFailureLogged_ = true;
        log_.Warning("nie można usunąć zachowanego polecenia " + topic + ": " +
                     mosquitto_strerror(rc));
    }
}

bool MqttClient::Publish(const std::string& topic, const std::string& payload, int expirySeconds) {
    if (!connected_) {
        return false;
    }
    mosquitto_property* properties = nullptr;
    if (expirySeconds > 0 && !v311_) {
        mosquitto_property_add_int32(&properties, MQTT_PROP_MESSAGE_EXPIRY_INTERVAL,
                                     static_cast<uint32_t>(expirySeconds));
    }
    auto send = [&](int* mid) {
        return mosquitto_publish_v5(mosq_, mid, topic.c_str(), static_cast<int>(payload.size()),
                                    payload.data(), settings_.qos, false, properties);
    };
    // A QoS 0 message gets no answer, so a refusal of it cannot be seen.
    const int rc = settings_.qos > 0
                       ? refusals_.Send(BrokerRefusals::Request::kPublish, topic, send)
                       : send(nullptr);
    mosquitto_property_free_all(&properties);
    return rc == MOSQ_ERR_SUCCESS;
}

void MqttClient::Stop(const std::string& topic, const std::string& payload) {
    if (!threadRunning_) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(stopLock_);
        stopping_ = true;
    }
    stopWake_.notify_all();
    bool goodbyeSent = false;
    {
        std::lock_guard<std::mutex> lock(retainedLock_);
        if (connected_ && failure_ == Failure::kNone) {
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
    if (!goodbyeSent) {
        // The thread may sit in a reconnection delay or a connection attempt,
        // which only a cancel ends (an ended thread ignores it).
        ::pthread_cancel(thread_);
    }
    ::pthread_join(thread_, nullptr);
    threadRunning_ = false;
    if (goodbyeSent) {
        log_.Info("rozłączono z brokerem " + Address(settings_));
    }
}

}  // namespace tk358
