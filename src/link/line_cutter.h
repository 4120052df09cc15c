// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Cuts the panel's byte stream into lines at CR LF and dispatches each line by
// its prefix. Takes no lock of its own: the owner calls it from one thread at
// a time (the session: its port's reader thread).

#include <array>
#include <optional>
#include <string_view>

#include "link/answer_dispatcher.h"
#include "link/frame.h"

namespace tk358 {

namespace test {
struct LineCutterProbe;
}

class LineCutter {
public:
    AnswerDispatcher& Dispatcher() { return dispatcher_; }

    // Appends one byte. When the byte ends a line (the line ends with CR LF),
    // the line is copied into a zero-filled 256-byte buffer and dispatched,
    // the collected line is emptied and the decoder's result returned.
    // A line that does not fit the 256-byte buffer is dropped whole: no part
    // of it is dispatched, and collecting starts again after its CR LF.
    std::optional<int> Push(char byte);

    // Forgets the line being collected.
    void Clear();

    // The line the last Push that returned a result completed, CR LF included.
    std::string_view LastLine() const {
        return {buffer_.data(), static_cast<std::size_t>(lastLength_)};
    }

private:
    friend struct test::LineCutterProbe;

    std::optional<int> Skip(char byte);

    AnswerDispatcher dispatcher_;
    std::array<char, kLineCapacity> buffer_{};
    int length_ = 0;
    int lastLength_ = 0;
    bool dropping_ = false;  // inside a line longer than the buffer
    char lastDropped_ = 0;   // so a CR LF split by the overflow still ends that line
};

}  // namespace tk358
