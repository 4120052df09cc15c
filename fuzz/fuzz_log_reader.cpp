// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes read as a measurement log: the reader must never fail on
// any line, every reading it gives must carry a value or a gap, never junk,
// and a reader put back into the state of a line must read it the same way
// again (the chart re-reads lines that way).

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "log/log_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tk358;
    const LogReaderOptions options{{"C", "pl_PL.UTF-8"}};
    LogReader reader(options);
    std::string_view text(reinterpret_cast<const char*>(data), size);
    uint64_t lines = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lines;
        const LogReaderState before = reader.State();
        LogRecord record;
        if (reader.Read(line, record) != LogReader::Line::kRecord) {
            continue;
        }
        for (float v : record.values) {
            fuzz::Check(std::isnan(v) || std::abs(v) < 1e9f, "a value out of any range");
        }
        LogReader again(options);
        again.SetState(before);
        LogRecord second;
        fuzz::Check(again.Read(line, second) == LogReader::Line::kRecord,
                    "a line read once is not read again from its state");
        fuzz::Check(second.time == record.time, "a line read again gives another time");
    }
    const LogReadStats& s = reader.Stats();
    fuzz::Check(s.records + s.headers + s.skipped <= lines, "more lines counted than read");
    return 0;
}
