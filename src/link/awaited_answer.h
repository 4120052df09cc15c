// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one answer the exchange under way waits for, and its wake-up. The
// session arms it before each attempt and disarms it when the exchange ends;
// the reader thread offers it every decoded answer and every whole line.
// The first outcome wins: a line arriving after it changes nothing.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>

namespace tk358 {

class AwaitedAnswer {
public:
    enum class Outcome {
        kNone,      // not come yet: the attempt timed out
        kAnswered,  // the awaited answer was decoded, or the relayed line came
        kRefused,   // a shared line's daemon refused the command
    };

    // Awaits a good answer to `command` (a request's six-character code);
    // for a parameter read also naming `parameterCode` (-1: any).
    void AwaitCommand(std::string_view command, int parameterCode = -1);
    // Awaits the first line that starts with `prefix`; refusals do not count.
    void AwaitLine(std::string_view prefix);
    void Disarm();

    // A line decoded well, its kind's prefix ("028600:") and the parameter
    // code it names (-1: none).
    void OfferAnswer(std::string_view answerPrefix, int parameterCode);
    // Whether `line` is the awaited relayed line.
    bool IsAwaitedLine(std::string_view line) const;
    // Every whole line: the awaited relayed line, or a refusal of the command.
    void OfferLine(std::string_view line);

    // The outcome once it is there, or kNone after `timeout`.
    Outcome WaitFor(std::chrono::milliseconds timeout);

private:
    void SettleLocked(Outcome outcome);
    bool LineMatchesLocked(std::string_view line) const;

    // Guards every member; never held while another lock is taken.
    mutable std::mutex lock_;
    std::condition_variable settled_;
    std::string command_;     // empty: no command awaited
    int parameterCode_ = -1;  // with command_
    std::string linePrefix_;  // empty: no relayed line awaited
    Outcome outcome_ = Outcome::kNone;
};

}  // namespace tk358
