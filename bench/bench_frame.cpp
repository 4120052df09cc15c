// SPDX-License-Identifier: GPL-3.0-or-later
// Throughput of the frame codec: lines cut and dispatched, checksums appended,
// requests built. The panel line runs at 9600 baud, about 960 bytes a second.

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "link/frame.h"
#include "link/line_cutter.h"
#include "link/records.h"

namespace {

// Status lines as a panel sends them, one of each common kind.
const char* const kStatusLines[] = {
    "020200:0001000000000008FC0000000000000000000000000000\r\n",
    "028000:00000000009C4\r\n",
    "028800:0000441200000041A000004120000041200000412000004120000041200000412000000000A\r\n",
    "028900:0042C80000000000640000012C0010010000\r\n",
    "029800:01A2\r\n",
};

tk358::LineCutter MakeCutter(double& sink) {
    tk358::LineCutter cutter;
    auto decode = [&sink](const tk358::AnswerLine& line) {
        if (line.length < 12) {
            return tk358::kStatusFailed;
        }
        sink += static_cast<double>(line.Signed(10, 8)) + line.Float(13) + line.Bit(7, 0);
        return tk358::kStatusOk;
    };
    for (std::size_t i = 0; i < tk358::kAnswerKindCount; ++i) {
        cutter.Dispatcher().Attach(static_cast<tk358::AnswerKind>(i), decode);
    }
    return cutter;
}

void BM_CutAndDispatchLines(benchmark::State& state) {
    std::string stream;
    for (const char* line : kStatusLines) {
        stream += line;
    }
    double sink = 0;
    tk358::LineCutter cutter = MakeCutter(sink);
    int64_t lines = 0;
    for (auto _ : state) {
        for (char byte : stream) {
            if (cutter.Push(byte)) {
                ++lines;
            }
        }
    }
    benchmark::DoNotOptimize(sink);
    state.SetItemsProcessed(lines);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(stream.size()));
}
BENCHMARK(BM_CutAndDispatchLines);

void BM_AppendChecksum(benchmark::State& state) {
    char buffer[tk358::kLineCapacity];
    std::memcpy(buffer, "028700005A00F8", 14);
    for (auto _ : state) {
        benchmark::DoNotOptimize(tk358::AppendChecksum(buffer, 14, tk358::kLineCapacity));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_AppendChecksum);

void BM_BuildRequestWithValues(benchmark::State& state) {
    uint32_t value = 0;
    for (auto _ : state) {
        const tk358::RequestFrame frame = tk358::BuildRequest(
            "028700", tk358::HexText(90, 4) + tk358::HexText(value & 1, 2) + "F8");
        benchmark::DoNotOptimize(frame.length);
        ++value;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_BuildRequestWithValues);

void BM_EncodeFloat(benchmark::State& state) {
    double x = 0.1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tk358::EncodeFloat(x));
        x += 0.37;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_EncodeFloat);

}  // namespace

BENCHMARK_MAIN();
