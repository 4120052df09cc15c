// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the broker refused: a reason code of 0x80 or more in its answer to a
// publication (PUBACK, MQTT 5) or a subscription (SUBACK). An answer carries
// only a message id, so the topic of every request that will be answered is
// kept under its id from the moment it is sent until the answer comes. The
// first refusal of each class of topics (discovery, state, ...) is logged
// with its topic and reason; later ones are only counted, so an ACL that
// denies a whole group does not fill the journal. The class is taken when the
// request is sent.

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#include "daemon/daemon_log.h"
#include "daemon/mqtt_topics.h"

namespace tk358 {

class BrokerRefusals {
public:
    // The class of a topic, named in the log line.
    using Classify = std::function<std::string(const std::string& topic)>;
    enum class Request { kPublish, kSubscribe };

    BrokerRefusals(const DaemonLog& log, Classify classify);

    // Sends a request with `send`, which gets the place for the message id
    // and returns libmosquitto's result, and keeps `topic` under that id.
    // The id is kept before the answer can be handled, whichever thread sends.
    int Send(Request request, const std::string& topic, const std::function<int(int*)>& send);

    // The broker's answer to message `mid`; on the network thread. Answers
    // to requests not kept (QoS 0, which libmosquitto reports as sent) are
    // ignored.
    void Answered(int mid, int reasonCode);

    // Refusals so far, of every class.
    int64_t Count() const { return count_.load(); }

    // Ids waiting for an answer at most: a request whose answer is lost with
    // its connection would stay forever otherwise.
    static constexpr std::size_t kMaxPending = 256;

private:
    struct Pending {
        int mid;
        Request request;
        std::string topic;
        std::string topicClass;
    };

    const DaemonLog& log_;
    const Classify classify_;
    // pendingLock: the ids in flight and the classes reported already. Held
    // around the send, so an answer waits until its id is kept; never while
    // logging.
    std::mutex pendingLock_;
    std::deque<Pending> pending_;  // in the order sent
    std::set<std::pair<std::string, Request>> reported_;
    std::atomic<int64_t> count_{0};
};

// The class of `topic` among tk358d's topics: "discovery" (below the
// discovery prefix), "state", "info", "availability", "health", "commands"
// (commands and their results), or "inne".
std::string TopicClass(const MqttTopics& topics, const std::string& discoveryPrefix,
                       const std::string& topic);

}  // namespace tk358
