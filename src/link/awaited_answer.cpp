// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/awaited_answer.h"

#include "link/shared_line_socket.h"

namespace tk358 {

void AwaitedAnswer::AwaitCommand(std::string_view command, int parameterCode) {
    std::lock_guard<std::mutex> lock(lock_);
    command_ = command;
    parameterCode_ = parameterCode;
    linePrefix_.clear();
    outcome_ = Outcome::kNone;
}

void AwaitedAnswer::AwaitLine(std::string_view prefix) {
    std::lock_guard<std::mutex> lock(lock_);
    command_.clear();
    parameterCode_ = -1;
    linePrefix_ = prefix;
    outcome_ = Outcome::kNone;
}

void AwaitedAnswer::Disarm() {
    std::lock_guard<std::mutex> lock(lock_);
    command_.clear();
    linePrefix_.clear();
}

// An answer's prefix is its request's code followed by ':'.
void AwaitedAnswer::OfferAnswer(std::string_view answerPrefix, int parameterCode) {
    std::lock_guard<std::mutex> lock(lock_);
    if (command_.empty() || answerPrefix.size() != command_.size() + 1 ||
        !answerPrefix.starts_with(command_) ||
        (parameterCode_ >= 0 && parameterCode != parameterCode_)) {
        return;
    }
    SettleLocked(Outcome::kAnswered);
}

bool AwaitedAnswer::LineMatchesLocked(std::string_view line) const {
    return !linePrefix_.empty() && line.starts_with(linePrefix_);
}

bool AwaitedAnswer::IsAwaitedLine(std::string_view line) const {
    std::lock_guard<std::mutex> lock(lock_);
    return LineMatchesLocked(line);
}

void AwaitedAnswer::OfferLine(std::string_view line) {
    std::lock_guard<std::mutex> lock(lock_);
    if (LineMatchesLocked(line)) {
        SettleLocked(Outcome::kAnswered);
    } else if (!command_.empty() && RefusedCommand(line) == command_) {
        SettleLocked(Outcome::kRefused);
    }
}

void AwaitedAnswer::SettleLocked(Outcome outcome) {
    if (outcome_ != Outcome::kNone) {
        return;
    }
    outcome_ = outcome;
    command_.clear();
    linePrefix_.clear();
    settled_.notify_all();
}

AwaitedAnswer::Outcome AwaitedAnswer::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(lock_);
    settled_.wait_for(lock, timeout, [this] { return outcome_ != Outcome::kNone; });
    return outcome_;
}

}  // namespace tk358
