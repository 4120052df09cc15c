// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/line_cutter.h"

#include <string_view>

namespace tk358 {

std::optional<int> LineCutter::Push(char byte) {
    if (dropping_) {
        return Skip(byte);
    }
    if (length_ == kLineCapacity) {
        dropping_ = true;
        lastDropped_ = buffer_[kLineCapacity - 1];
        length_ = 0;
        return Skip(byte);
    }
    buffer_[static_cast<std::size_t>(length_++)] = byte;
    if (length_ < 2 || buffer_[static_cast<std::size_t>(length_ - 2)] != '\r' || byte != '\n') {
        return std::nullopt;
    }
    const AnswerLine line =
        AnswerLine::From(std::string_view(buffer_.data(), static_cast<std::size_t>(length_)));
    lastLength_ = length_;
    length_ = 0;
    return dispatcher_.Dispatch(line);
}

std::optional<int> LineCutter::Skip(char byte) {
    if (lastDropped_ == '\r' && byte == '\n') {
        dropping_ = false;
        lastDropped_ = 0;
    } else {
        lastDropped_ = byte;
    }
    return std::nullopt;
}

void LineCutter::Clear() {
    length_ = 0;
    dropping_ = false;
    lastDropped_ = 0;
}

}  // namespace tk358
