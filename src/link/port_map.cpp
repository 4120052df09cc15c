// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_map.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>

namespace tk358 {

namespace {

constexpr int kTableBlock = 32;
constexpr std::array<std::string_view, 4> kTableFamilies = {"/dev/ttyS", "/dev/ttyUSB",
                                                            "/dev/ttyACM", "/dev/ttyAMA"};

// A decimal number with no sign, no leading zero and nothing after it; -1 otherwise.
int ParsePlainNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 3 || (digits.size() > 1 && digits[0] == '0')) {
        return -1;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        return -1;
    }
    return value;
}

bool IsSet(const char* value) {
    return value != nullptr && value[0] != '\0';
}

// One line on standard error per ignored directory, not one per lookup.
void WarnIgnoredOnce(const std::string& directory) {
    // warnedLock: the set of directories already reported, shared by every
    // thread that looks a port up.
    static std::mutex warnedLock;
    static std::set<std::string> warned;
    std::lock_guard<std::mutex> lock(warnedLock);
    if (warned.insert(directory).second) {
        std::fprintf(stderr,
                     "tk358: katalog portów %s pominięty: nie należy do użytkownika albo mogą "
                     "do niego pisać inni\n",
                     directory.c_str());
    }
}

}  // namespace

std::string PortDirectoryFrom(const char* tk358PortDir, const char* xdgRuntimeDir, unsigned uid) {
    if (IsSet(tk358PortDir)) {
        return tk358PortDir;
    }
    if (IsSet(xdgRuntimeDir)) {
        return std::string(xdgRuntimeDir) + "/tk358/ports";
    }
    return "/tmp/tk358-" + std::to_string(uid) + "/ports";
}

std::string PortDirectory() {
    return PortDirectoryFrom(std::getenv("TK358_PORT_DIR"), std::getenv("XDG_RUNTIME_DIR"),
                             static_cast<unsigned>(getuid()));
}

PortDirectoryTrust CheckPortDirectory(const std::string& directory, unsigned uid) {
    struct stat info {};
    if (directory.empty() || stat(directory.c_str(), &info) != 0) {
        const bool missing = directory.empty() || errno == ENOENT || errno == ENOTDIR;
        return missing ? PortDirectoryTrust::kMissing : PortDirectoryTrust::kForeign;
    }
    const bool own =
        S_ISDIR(info.st_mode) && info.st_uid == uid && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
    return own ? PortDirectoryTrust::kOwn : PortDirectoryTrust::kForeign;
}

std::string TrustedPortDirectory() {
    const std::string directory = PortDirectory();
    switch (CheckPortDirectory(directory, static_cast<unsigned>(geteuid()))) {
        case PortDirectoryTrust::kOwn:
            return directory;
        case PortDirectoryTrust::kForeign:
            WarnIgnoredOnce(directory);
            return {};
        case PortDirectoryTrust::kMissing:
            break;
    }
    return {};
}

std::string TableDevicePath(int portNumber) {
    if (portNumber < 1 || portNumber > kTableBlock * static_cast<int>(kTableFamilies.size())) {
        return {};
    }
    const int index = portNumber - 1;
    return std::string(kTableFamilies[static_cast<std::size_t>(index / kTableBlock)]) +
           std::to_string(index % kTableBlock);
}

int TablePortNumber(std::string_view devicePath) {
    for (std::size_t family = 0; family < kTableFamilies.size(); ++family) {
        const std::string_view prefix = kTableFamilies[family];
        if (devicePath.substr(0, prefix.size()) != prefix) {
            continue;
        }
        const int index = ParsePlainNumber(devicePath.substr(prefix.size()));
        if (index >= 0 && index < kTableBlock) {
            return static_cast<int>(family) * kTableBlock + index + 1;
        }
    }
    return 0;
}

int EntryPortNumber(std::string_view entryName) {
    if (entryName.substr(0, 3) != "COM") {
        return 0;
    }
    const int n = ParsePlainNumber(entryName.substr(3));
    return n >= 1 && n <= kMaxPortNumber ? n : 0;
}

std::string DevicePathForPort(int portNumber, const std::string& portDirectory) {
    if (portNumber < 1 || portNumber > kMaxPortNumber) {
        return {};
    }
    if (!portDirectory.empty()) {
        const std::string entry = portDirectory + "/COM" + std::to_string(portNumber);
        struct stat info {};
        if (lstat(entry.c_str(), &info) == 0) {
            return entry;
        }
    }
    return TableDevicePath(portNumber);
}

std::string DevicePathForPort(int portNumber) {
    return DevicePathForPort(portNumber, TrustedPortDirectory());
}

}  // namespace tk358
