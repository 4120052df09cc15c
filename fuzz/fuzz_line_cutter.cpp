// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes from the panel: the cutter must never read or write out of
// bounds, whatever the lines look like, and every field reader must stay
// inside the answer copy at any position.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "link/frame.h"
#include "link/line_cutter.h"
#include "link/records.h"
#include "support/line_cutter_probe.h"

namespace {

volatile double sink = 0;

int ReadEverywhere(const tk358::AnswerLine& line) {
    double sum = 0;
    for (int pos = -20; pos < tk358::kLineCapacity + 20; pos += 3) {
        sum += static_cast<double>(line.Unsigned(pos, 4 + pos % 13));
        sum += static_cast<double>(line.Signed(pos, pos % 17));
        sum += line.Field32(pos);
        sum += line.Float(pos);
        sum += line.Bit(pos, pos & 3) ? 1 : 0;
    }
    sink = sink + sum;
    if (line.length < 9) {
        return tk358::kStatusFailed;
    }
    return line.Bit(8, 0) ? tk358::kStatusBusy : tk358::kStatusOk;
}

void CheckRequest(const uint8_t* data, std::size_t size) {
    char buffer[tk358::kLineCapacity];
    std::memset(buffer, 0, sizeof buffer);
    const std::size_t n = size < sizeof buffer ? size : sizeof buffer;
    std::memcpy(buffer, data, n);
    const int capacity = size > 0 ? data[0] : 0;
    const int length = tk358::AppendChecksum(buffer, static_cast<int>(n), capacity);
    if (length != 0 && (length != static_cast<int>(n) + 4 || buffer[length - 1] != '\n')) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static tk358::LineCutter cutter = [] {
        tk358::LineCutter c;
        for (std::size_t i = 0; i < tk358::kAnswerKindCount; ++i) {
            c.Dispatcher().Attach(static_cast<tk358::AnswerKind>(i), ReadEverywhere);
        }
        return c;
    }();
    cutter.Clear();
    for (std::size_t i = 0; i < size; ++i) {
        const std::optional<int> result = cutter.Push(static_cast<char>(data[i]));
        if (result && *result != tk358::kStatusOk && *result != tk358::kStatusBusy &&
            *result != tk358::kStatusFailed) {
            __builtin_trap();
        }
        if (const int length = tk358::test::LineCutterProbe::Length(cutter);
            length < 0 || length > tk358::kLineCapacity) {
            __builtin_trap();
        }
    }
    CheckRequest(data, size);
    const uint32_t pattern = size >= 4 ? static_cast<uint32_t>(data[0]) << 24 |
                                             static_cast<uint32_t>(data[1]) << 16 |
                                             static_cast<uint32_t>(data[2]) << 8 | data[3]
                                       : 0;
    // Every pattern with a nonzero exponent survives decoding and encoding.
    const uint32_t exponent = (pattern >> 23) & 0xFFu;
    if (exponent != 0 && pattern != 0x7FFFFFFFu &&
        tk358::EncodeFloat(tk358::DecodeFloat(pattern)) != pattern) {
        __builtin_trap();
    }
    return 0;
}
