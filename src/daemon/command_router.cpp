// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/command_router.h"

#include <utility>

namespace tk358 {

namespace {

// A payload in a log line: cut short, so a large message cannot flood the log.
std::string Shown(const std::string& payload) {
    constexpr std::size_t kMax = 40;
    return payload.size() <= kMax ? payload : payload.substr(0, kMax) + "...";
}

}  // namespace

CommandRouter::CommandRouter(MqttTopics topics, bool writesAllowed, const DaemonLog& log,
                             Submit submit, PublishResult publish, ClearRetained clear)
    : topics_(std::move(topics)),
      writesAllowed_(writesAllowed),
      log_(log),
      submit_(std::move(submit)),
      publish_(std::move(publish)),
      clear_(std::move(clear)) {}

void CommandRouter::OnMessage(const std::string& topic, const std::string& payload, bool retained) {
    const std::string prefix = topics_.CommandPrefix();
    if (!topic.starts_with(prefix)) {
        return;
    }
    const std::string command = topic.substr(prefix.size());
    if (retained) {
        // The empty message is the removal itself, coming back.
        if (!payload.empty()) {
            log_.Warning("zachowane (retained) polecenie " + command + " \"" + Shown(payload) +
                         "\" nie jest wykonywane; usuwam je z brokera");
            clear_(topic);
        }
        return;
    }
    CommandDecision d = DecideCommand(command, payload, retained, writesAllowed_);
    switch (d.kind) {
        case CommandDecision::Kind::kIgnore:
            log_.Warning("pominięto wiadomość na " + topic + ": " + d.reason);
            return;
        case CommandDecision::Kind::kRefuse:
            log_.Warning(command + " \"" + Shown(payload) + "\" odrzucone: " + d.reason);
            break;
        case CommandDecision::Kind::kWrite:
            if (submit_(d.request)) {
                return;
            }
            d.reason = "Poprzednie zapisy jeszcze trwają albo tk358d kończy pracę";
            log_.Warning(command + " \"" + Shown(payload) + "\" odrzucone: " + d.reason);
            break;
    }
    publish_(topics_.Result(command), BuildResultPayload(d.request, d.reason));
}

}  // namespace tk358
