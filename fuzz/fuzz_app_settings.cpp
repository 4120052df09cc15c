// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as tk358.ini on an arbitrary screen: loading the settings,
// placing both windows from their stored rectangles and saving them with the
// rectangle adjustment must not overflow, must give windows that fit the
// rules, and must store what is read back.

#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "present/window_placement.h"
#include "settings/app_settings.h"
#include "settings/ini_file.h"
#include "settings/safe_file.h"

namespace {

using tk358::fuzz::Check;

const std::string& ScratchPath() {
    static const std::string path = [] {
        const char* dir = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(dir) + "/fuzz_app_settings." + std::to_string(::getpid()) + ".ini";
    }();
    return path;
}

void CheckPlacement(const tk358::WindowRect& stored, const tk358::ScreenArea& area, int minWidth,
                    int minHeight) {
    const tk358::WindowPlacement p = tk358::PlaceStoredWindow(stored, area, minWidth, minHeight);
    const int64_t leastWidth = std::max(minWidth, 1);
    const int64_t leastHeight = std::max(minHeight, 1);
    Check(p.width >= leastWidth && p.height >= leastHeight, "at least the minimum size");
    Check(p.width <= std::max<int64_t>(leastWidth, area.width) &&
              p.height <= std::max<int64_t>(leastHeight, area.height),
          "at most the screen, unless the minimum is larger");
    Check(p.x >= area.left && p.y >= area.top, "title bar not above or left of the screen");
    if (p.width <= area.width) {
        Check(int64_t{p.x} + p.width <= int64_t{area.left} + area.width, "fits across");
    }
    if (p.height <= area.height) {
        Check(int64_t{p.y} + p.height <= int64_t{area.top} + area.height, "fits down");
    }
    // A window placed and stored again is placed where it was.
    const tk358::WindowRect again = tk358::StoredRectOf(p);
    if (int64_t{again.right} - again.left == p.width &&
        int64_t{again.bottom} - again.top == p.height) {
        Check(tk358::PlaceStoredWindow(again, area, minWidth, minHeight) == p, "stable");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int screenWidth = input.ConsumeIntegral<int>();
    const int screenHeight = input.ConsumeIntegral<int>();
    const tk358::ScreenArea area{input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>(),
                                 input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>()};
    const int minWidth = input.ConsumeIntegral<int>();
    const int minHeight = input.ConsumeIntegral<int>();
    const std::string path = ScratchPath();
    Check(tk358::ReplaceFileContents(path, input.ConsumeRemainingBytesAsString()), "written");

    tk358::AppSettings settings = tk358::AppSettings::BuiltIn();
    {
        tk358::IniFile ini;
        Check(ini.Open(path, false, false, true, false), "open");
        Check(tk358::LoadAppSettings(ini, settings), "loaded");
        CheckPlacement(settings.window, area, minWidth, minHeight);
        CheckPlacement(settings.trend.window, area, minWidth, minHeight);
        tk358::SaveAppSettings(ini, settings, screenWidth, screenHeight);
        ini.Flush(false);
        Check(ini.FlushError() == 0, "saved");
    }
    tk358::IniFile saved;
    Check(saved.Open(path, false, false, true, false), "reopen");
    tk358::AppSettings reread = tk358::AppSettings::BuiltIn();
    Check(tk358::LoadAppSettings(saved, reread), "reloaded");
    Check(reread.window == tk358::AdjustWindowRect(settings.window, screenWidth, screenHeight),
          "main window stored adjusted");
    Check(reread.trend.window ==
              tk358::AdjustWindowRect(settings.trend.window, screenWidth, screenHeight),
          "trend window stored adjusted");
    Check(reread.portNr == settings.portNr && reread.log.interval == settings.log.interval,
          "numbers stored as read");
    ::unlink(path.c_str());
    return 0;
}
