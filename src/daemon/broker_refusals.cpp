// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/broker_refusals.h"

#include <mosquitto.h>

#include <algorithm>
#include <cstdio>

#include "daemon/mqtt_reason_text.h"

namespace tk358 {

namespace {

constexpr int kFirstRefusal = 0x80;

std::string Hex(int code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(code));
    return text;
}

}  // namespace

BrokerRefusals::BrokerRefusals(const DaemonLog& log, Classify classify)
    : log_(log), classify_(std::move(classify)) {}

int BrokerRefusals::Send(Request request, const std::string& topic,
                         const std::function<int(int*)>& send) {
    std::lock_guard<std::mutex> lock(pendingLock_);
    int mid = 0;
    const int rc = send(&mid);
    if (rc != MOSQ_ERR_SUCCESS) {
        return rc;
    }
    // A reused id belongs to the newer request.
    std::erase_if(pending_, [mid](const Pending& p) { return p.mid == mid; });
    if (pending_.size() >= kMaxPending) {
        pending_.pop_front();
    }
    pending_.push_back({mid, request, topic, classify_(topic)});
    return rc;
}

void BrokerRefusals::Answered(int mid, int reasonCode) {
    Pending answered;
    bool first = false;
    {
        std::lock_guard<std::mutex> lock(pendingLock_);
        const auto it = std::find_if(pending_.begin(), pending_.end(),
                                     [mid](const Pending& p) { return p.mid == mid; });
        if (it == pending_.end()) {
            return;
        }
        answered = std::move(*it);
        pending_.erase(it);
        if (reasonCode < kFirstRefusal) {
            return;
        }
        ++count_;
        first = reported_.emplace(answered.topicClass, answered.request).second;
    }
    if (!first) {
        return;
    }
    const bool publish = answered.request == Request::kPublish;
    log_.Warning(std::string("broker odmówił ") + (publish ? "publikacji" : "subskrypcji") + " (" +
                 answered.topicClass + ") " + answered.topic + ": " + MqttReasonText(reasonCode) +
                 ", kod " + Hex(reasonCode) + "; kolejne odmowy tego rodzaju są tylko liczone");
}

std::string TopicClass(const MqttTopics& topics, const std::string& discoveryPrefix,
                       const std::string& topic) {
    if (topic.starts_with(discoveryPrefix + "/")) {
        return "discovery";
    }
    const std::pair<std::string, const char*> exact[] = {
        {topics.State(), "state"},
        {topics.Info(), "info"},
        {topics.Availability(), "availability"},
        {topics.Link(), "availability"},
        {topics.Health(), "health"},
        {topics.Commands(), "commands"},
    };
    for (const auto& [name, cls] : exact) {
        if (topic == name) {
            return cls;
        }
    }
    if (topic.starts_with(topics.CommandPrefix()) || topic.starts_with(topics.Result(""))) {
        return "commands";
    }
    return "inne";
}

}  // namespace tk358
