// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as a settings file: reading must not fail, and a rewrite read
// back must give the same sections, keys and values, except that sections
// without entries are dropped.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "settings/ini_file.h"
#include "settings/ini_text.h"
#include "settings/safe_file.h"
#include "settings/utf8_text.h"

namespace {

using tk358::IniFile;
using tk358::IniSection;
using tk358::fuzz::Check;

// A scratch file of this process, on a memory file system where there is one.
const std::string& ScratchPath() {
    static const std::string path = [] {
        const char* dir = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(dir) + "/fuzz_ini_file." + std::to_string(::getpid()) + ".ini";
    }();
    return path;
}

std::vector<IniSection> WithoutEmptySections(const std::vector<IniSection>& sections) {
    std::vector<IniSection> kept;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        if (i == 0 || !sections[i].entries.empty()) {
            kept.push_back(sections[i]);
        }
    }
    return kept;
}

std::string ReadBack(const std::string& path) {
    std::string text;
    Check(tk358::ReadWholeFile(path, tk358::FileAccess::kReadOnly, text), "read back");
    return text;
}

// Adds and removes a section whose name no file can hold: the store is then
// modified and its table as it was, so a flush writes that table.
void RewriteAsRead(IniFile& ini) {
    ini.SetString("\n", "k", "v");
    Check(ini.DeleteSection("\n"), "scratch section removed");
    ini.Flush(false);
}

void ExerciseLookups(const IniFile& ini, const std::vector<IniSection>& sections) {
    int budget = 64;
    for (const IniSection& s : sections) {
        for (const tk358::IniEntry& e : s.entries) {
            if (--budget < 0) {
                return;
            }
            const std::string value = ini.GetString(s.name, e.key, "");
            Check(value.find(';') == std::string::npos, "value cut at ';'");
            ini.GetInt(s.name, e.key, 0);
            ini.GetUnsigned(s.name, e.key, 0);
            Check(tk358::EqualsIgnoreCaseUtf8(e.key, e.key), "key equals itself");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string path = ScratchPath();
    const std::string input(reinterpret_cast<const char*>(data), size);
    Check(tk358::ReplaceFileContents(path, input), "scratch file written");

    IniFile ini;
    Check(ini.Open(path, false, false, size % 2 == 1, false), "open");
    const std::vector<IniSection> read = tk358::ParseIniText(input);
    ExerciseLookups(ini, read);

    RewriteAsRead(ini);
    const std::string written = ReadBack(path);
    Check(written == tk358::FormatIniText(read), "file holds the formatted table");
    // Nothing is left pending: a file changed behind the store's back stays.
    Check(tk358::ReplaceFileContents(path, "changed elsewhere"), "scratch file changed");
    ini.Flush(false);
    Check(ReadBack(path) == "changed elsewhere", "rewritten");
    Check(tk358::ReplaceFileContents(path, written), "scratch file restored");

    Check(tk358::ParseIniText(written) == WithoutEmptySections(read), "same table after rewrite");
    IniFile again;
    Check(again.Open(path, false, false, false, false), "reopen");
    RewriteAsRead(again);
    Check(ReadBack(path) == written, "second rewrite identical");
    ::unlink(path.c_str());
    return 0;
}
