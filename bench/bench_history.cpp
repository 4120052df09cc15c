// SPDX-License-Identifier: GPL-3.0-or-later
// The history from measurement logs on generated files in the log's own
// format (several locales and separators): the reader's learned fast path
// against strptime on every line, a year of 10-s lines loaded and drawn, the
// private memory of a year of 1-s lines, and the back-fill of a day at start.
//
//   bench_history DIR [--big]   (files are written to DIR and removed after)
//   bench_history DIR --keep    (only writes and loads the year of 10-s lines,
//                                left in DIR for bench/history_plot.sh)

#include <locale.h>
#include <time.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "log/locale_format.h"
#include "log/log_line.h"
#include "log/log_reader.h"
#include "monitor/trend_chart.h"
#include "trend/trend_backfill.h"
#include "trend/trend_history.h"

namespace {

using namespace tk358;
using Clock = std::chrono::steady_clock;

constexpr int64_t kStart = 1'767'222'000;  // 2026-01-01 00:00 in Warsaw

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// CPU time of the process: the machine is shared, so wall times run long.
double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct Variant {
    const char* name;
    const char* locale;
    int separatorCode;
    int decimalCode;
    const char* userDecimal;
};

const Variant kVariants[] = {
    {"pl_PL ; ,", "pl_PL.UTF-8", 0, 0, ","},
    {"pl_PL , , (quoted date)", "pl_PL.UTF-8", 2, 1, ","},
    {"C , .", "C", 0, 0, "."},
    {"C tab .", "C", 1, 2, "."},
};

// `count` lines every `step` seconds written by the log's own line builder.
void WriteLog(const std::string& path, const Variant& v, int64_t count, int64_t step,
              int64_t start = kStart) {
    locale_t loc = newlocale(LC_TIME_MASK, v.locale, static_cast<locale_t>(0));
    locale_t old = uselocale(loc);
    std::time_t now = static_cast<std::time_t>(start);
    const std::string decimal = v.userDecimal;
    LogLineBuilder builder(
        LogEnvironment{[decimal] { return decimal; }, [&now] { return FormatLocalDateTime(now); }});
    LogLineOptions options;
    options.separatorCode = v.separatorCode;
    options.decimalCode = v.decimalCode;
    options.secondSetpoint = false;
    LogReadings r;
    r.connected = true;
    r.temperature.valid = 1;
    r.setpoint.valid = 1;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string chunk;
    for (int64_t i = 0; i < count; ++i, now += step) {
        r.temperature.temperature = 20.0 + static_cast<double>(i % 977) / 97.7;
        r.setpoint.setpoint = 2100 + static_cast<int32_t>((i / 3600) % 2) * 100;
        const LogLine line = builder.Build(options, r);
        builder.Written(line);
        chunk += line.text;
        if (chunk.size() > (1 << 20)) {
            out << chunk;
            chunk.clear();
        }
    }
    out << chunk;
    uselocale(old);
    freelocale(loc);
}

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

// Lines a second on one core: the reader, and strptime("%c") with mktime.
void ParseRates(const std::string& dir) {
    std::printf("%-26s %14s %14s %7s\n", "parse, 1 M lines", "reader/s", "strptime/s", "ratio");
    for (const Variant& v : kVariants) {
        const std::string path = dir + "/rate.log";
        WriteLog(path, v, 1'000'000, 1);
        const std::vector<std::string> lines = Lines(path);
        std::filesystem::remove(path);
        LogReader reader;
        LogRecord record;
        auto start = Clock::now();
        for (const std::string& line : lines) {
            reader.Read(line, record);
        }
        const double fast = static_cast<double>(lines.size()) / Seconds(start);
        locale_t loc = newlocale(LC_TIME_MASK, v.locale, static_cast<locale_t>(0));
        locale_t old = uselocale(loc);
        start = Clock::now();
        int64_t sum = 0;
        for (const std::string& line : lines) {
            const char* text = line.c_str() + (line[0] == '"' ? 1 : 0);
            std::tm tm{};
            tm.tm_isdst = -1;
            if (strptime(text, "%c", &tm) != nullptr) {
                sum += std::mktime(&tm);
            }
        }
        const double slow = static_cast<double>(lines.size()) / Seconds(start);
        uselocale(old);
        freelocale(loc);
        std::printf("%-26s %14.0f %14.0f %7.1f  (%llu read, %llu skipped, %lld)\n", v.name, fast,
                    slow, fast / slow, static_cast<unsigned long long>(reader.Stats().records),
                    static_cast<unsigned long long>(reader.Stats().skipped),
                    static_cast<long long>(sum % 7));
    }
}

long RssAnonKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("RssAnon:", 0) == 0) {
            return std::stol(line.substr(8));
        }
    }
    return -1;
}

// Loads a file as the chart window does and draws it whole at 1200x600.
void LoadAndDraw(const std::string& path, const char* what) {
    const long before = RssAnonKb();
    const auto start = Clock::now();
    const double cpu = CpuSeconds();
    TrendHistory history({path});
    history.Load();
    const double loaded = Seconds(start);
    const TrendRecorder none(1, 1);
    TrendChart chart(none);
    chart.resize(1200, 600);
    chart.ShowSource(&history);
    QImage image(1200, 600, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        chart.Draw(painter, image.size());
    }
    const double drawn = Seconds(start);
    const double drawnCpu = CpuSeconds() - cpu;
    const long after = RssAnonKb();
    std::printf(
        "%s: %llu lines, %zu blocks; loaded %.2f s, drawn whole %.2f s wall, %.2f s CPU; "
        "RssAnon +%.1f MB\n",
        what, static_cast<unsigned long long>(history.Records()), history.Blocks(), loaded, drawn,
        drawnCpu, static_cast<double>(after - before) / 1024.0);
    const auto zoom = Clock::now();
    chart.ShowRange(history.NewestTime() - 600, history.NewestTime());
    {
        QPainter painter(&image);
        chart.Draw(painter, image.size());
    }
    std::printf("%s: a 10-minute zoom read again and drawn in %.1f ms\n", what,
                Seconds(zoom) * 1000);
}

void Backfill(const std::string& dir) {
    const std::string path = dir + "/backfill.log";
    const int64_t now = kStart + 2 * 86400;
    WriteLog(path, kVariants[0], 2 * 86400, 1);
    for (int run = 0; run < 3; ++run) {
        TrendRecorder recorder;
        const auto start = Clock::now();
        const double cpu = CpuSeconds();
        const BackfillResult r = BackfillFromLog(recorder, path, now);
        std::printf(
            "back-fill of 24 h of 1-s lines: %zu lines, %zu samples in %.1f ms wall, "
            "%.1f ms CPU\n",
            r.lines, r.samples, Seconds(start) * 1000, (CpuSeconds() - cpu) * 1000);
    }
    std::filesystem::remove(path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_history DIR [--big]\n");
        return 2;
    }
    setenv("TZ", "Europe/Warsaw", 1);
    tzset();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string dir = argv[1];
    const bool big = argc > 2 && std::strcmp(argv[2], "--big") == 0;
    const bool keep = argc > 2 && std::strcmp(argv[2], "--keep") == 0;
    if (!keep) {
        ParseRates(dir);
        Backfill(dir);
    }
    const std::string year = dir + "/year-10s.log";
    const auto written = Clock::now();
    WriteLog(year, kVariants[0], 3'153'600, 10);
    std::printf("(a year of 10-s lines written in %.1f s, %.0f MB)\n", Seconds(written),
                static_cast<double>(std::filesystem::file_size(year)) / 1e6);
    LoadAndDraw(year, "year of 10-s lines");
    if (!keep) {
        std::filesystem::remove(year);
    }
    if (big) {
        const std::string huge = dir + "/year-1s.log";
        WriteLog(huge, kVariants[3], 31'536'000, 1);
        std::printf("(a year of 1-s lines: %.0f MB)\n",
                    static_cast<double>(std::filesystem::file_size(huge)) / 1e6);
        LoadAndDraw(huge, "year of 1-s lines");
        std::filesystem::remove(huge);
    }
    return 0;
}
