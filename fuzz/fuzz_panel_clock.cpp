// SPDX-License-Identifier: GPL-3.0-or-later
// The panel clock's seconds count and calendar time: every count decodes to a
// valid date that encodes back to the same count, and every time the encoder
// accepts decodes back to itself.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

#include "fuzz_check.h"
#include "link/panel_clock.h"

namespace {

using tk358::fuzz::Check;

bool SameCalendarTime(const tk358::SystemTime& a, const tk358::SystemTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const uint32_t seconds = input.ConsumeIntegral<uint32_t>();
    const tk358::SystemTime decoded = tk358::DecodePanelSeconds(seconds);
    Check(decoded.month >= 1 && decoded.month <= 12 && decoded.day >= 1 && decoded.day <= 31 &&
              decoded.hour < 24 && decoded.minute < 60 && decoded.second < 60 &&
              decoded.dayOfWeek < 7 && decoded.milliseconds == 0,
          "decoded fields in range");
    const std::optional<uint32_t> back = tk358::EncodePanelSeconds(decoded);
    Check(back.has_value() && *back == seconds, "count survives decoding and encoding");

    tk358::SystemTime t;
    t.year = input.ConsumeIntegral<uint16_t>();
    t.month = input.ConsumeIntegral<uint16_t>();
    t.dayOfWeek = input.ConsumeIntegral<uint16_t>();
    t.day = input.ConsumeIntegral<uint16_t>();
    t.hour = input.ConsumeIntegral<uint16_t>();
    t.minute = input.ConsumeIntegral<uint16_t>();
    t.second = input.ConsumeIntegral<uint16_t>();
    t.milliseconds = input.ConsumeIntegral<uint16_t>();
    if (const std::optional<uint32_t> count = tk358::EncodePanelSeconds(t)) {
        const tk358::SystemTime again = tk358::DecodePanelSeconds(*count);
        Check(SameCalendarTime(again, t), "accepted time survives encoding and decoding");
    }
    tk358::PanelDayOfWeek(input.ConsumeIntegral<int>());
    return 0;
}
