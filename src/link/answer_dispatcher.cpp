// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/answer_dispatcher.h"

#include <utility>

#include "link/records.h"

namespace tk358 {

std::optional<AnswerKind> MatchAnswerKind(const AnswerLine& line) {
    for (std::size_t i = 0; i < kAnswerPrefixes.size(); ++i) {
        if (line.StartsWith(kAnswerPrefixes[i])) {
            return static_cast<AnswerKind>(i);
        }
    }
    return std::nullopt;
}

void AnswerDispatcher::Attach(AnswerKind kind, Decoder decoder) {
    decoders_[static_cast<std::size_t>(kind)] = std::move(decoder);
}

int AnswerDispatcher::Dispatch(const AnswerLine& line) const {
    const std::optional<AnswerKind> kind = MatchAnswerKind(line);
    if (!kind) {
        return kStatusOk;
    }
    const Decoder& decoder = decoders_[static_cast<std::size_t>(*kind)];
    return decoder ? decoder(line) : kStatusOk;
}

}  // namespace tk358
