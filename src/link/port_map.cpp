#include "link/port_map.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <cstdlib>

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
    return DevicePathForPort(portNumber, PortDirectory());
}

}  // namespace tk358
