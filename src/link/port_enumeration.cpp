// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_enumeration.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <set>
#include <vector>

#include "link/port_map.h"
#include "link/tty_sysfs.h"

namespace tk358 {

namespace fs = std::filesystem;

namespace {

std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) {
        if (part.empty()) {
            continue;
        }
        text += text.empty() ? "" : ", ";
        text += part;
    }
    return text;
}

// "→ <target>", and when the link ends at a tty of the device directory, that
// tty's hardware and its device path.
std::string DirectoryLinkText(const PortEnumerationRoots& roots, const fs::path& entry,
                              const fs::path& target) {
    std::vector<std::string> parts = {"→ " + target.string()};
    std::error_code entryError;
    std::error_code devError;
    const fs::path resolved = fs::canonical(entry, entryError);
    const fs::path devices = fs::canonical(roots.devRoot, devError);
    if (!entryError && !devError && resolved.parent_path() == devices) {
        const std::string name = resolved.filename().string();
        const std::string devicePath = "/dev/" + name;
        parts.push_back(TtyHardwareText(roots.sysRoot, name, false));
        parts.push_back(devicePath != target.string() ? devicePath : std::string());
    }
    return Joined(parts);
}

// Entries of the port directory. Numbers whose entry cannot be opened as a
// port (dangling link, directory) go to `hidden`.
void AddDirectoryPorts(const PortEnumerationRoots& roots, FoundPorts& ports,
                       std::set<int>& hidden) {
    if (roots.portDirectory.empty()) {
        return;
    }
    std::error_code error;
    fs::directory_iterator it(roots.portDirectory, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const fs::path entry = it->path();
        const int number = EntryPortNumber(entry.filename().string());
        std::error_code statError;
        const fs::file_status target = fs::status(entry, statError);
        if (number == 0) {
            continue;
        }
        if (statError || fs::is_directory(target)) {
            hidden.insert(number);
            continue;
        }
        std::error_code linkError;
        const fs::path link = fs::read_symlink(entry, linkError);
        if (!linkError && fs::is_socket(target)) {
            // A line shared by tk358d: named, never connected to (that would
            // take the one client's place).
            ports[number] = "tk358d: " + link.filename().string();
            continue;
        }
        ports[number] = linkError ? entry.string() : DirectoryLinkText(roots, entry, link);
    }
}

std::string TableDeviceText(const PortEnumerationRoots& roots, const std::string& name,
                            int number) {
    const std::string stableName =
        StableNameFor(roots.byIdDirectory, (fs::path(roots.devRoot) / name).string());
    return Joined({TtyHardwareText(roots.sysRoot, name, stableName.empty()),
                   TableDevicePath(number), stableName});
}

// Real serial ports of the fixed table that have a device node.
void AddTablePorts(const PortEnumerationRoots& roots, FoundPorts& ports,
                   const std::set<int>& hidden) {
    std::error_code error;
    fs::directory_iterator it(fs::path(roots.sysRoot) / "class" / "tty", error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        const int number = TablePortNumber("/dev/" + name);
        if (number == 0 || ports.count(number) != 0 || hidden.count(number) != 0) {
            continue;
        }
        std::error_code nodeError;
        if (!IsRealSerialPort(roots.sysRoot, name) ||
            !fs::exists(fs::path(roots.devRoot) / name, nodeError)) {
            continue;
        }
        ports[number] = TableDeviceText(roots, name, number);
    }
}

void AppendOneLine(std::string& text, std::string_view description) {
    for (const char c : description) {
        const auto byte = static_cast<unsigned char>(c);
        text += byte < 0x20 || byte == 0x7f ? ' ' : c;
    }
}

}  // namespace

PortEnumerationRoots SystemPortEnumerationRoots() {
    PortEnumerationRoots roots;
    roots.portDirectory = TrustedPortDirectory();
    return roots;
}

FoundPorts FindComPorts(const PortEnumerationRoots& roots) {
    FoundPorts ports;
    std::set<int> hidden;
    AddDirectoryPorts(roots, ports, hidden);
    AddTablePorts(roots, ports, hidden);
    return ports;
}

std::string_view WithoutPortNameSuffix(std::string_view description) {
    constexpr std::string_view kOpening = " (COM";
    const std::size_t at = description.rfind(kOpening);
    if (at == std::string_view::npos || description.back() != ')') {
        return description;
    }
    const std::string_view digits =
        description.substr(at + kOpening.size(), description.size() - at - kOpening.size() - 1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return description;
    }
    return description.substr(0, at);
}

std::string PortListingText(const FoundPorts& ports) {
    std::string text;
    for (const auto& [number, description] : ports) {
        if (number < 1 || number > kMaxPortNumber) {
            continue;
        }
        text += "COM" + std::to_string(number);
        if (!description.empty()) {
            text += ':';
            AppendOneLine(text, WithoutPortNameSuffix(description));
        }
        text += '\n';
    }
    return text;
}

bool EnumerateComPorts(const PortEnumerationRoots& roots, int& count, std::string& text) {
    count = 0;
    try {
        const FoundPorts ports = FindComPorts(roots);
        std::string listing = PortListingText(ports);
        text = std::move(listing);
        count = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool EnumerateComPorts(int& count, std::string& text) {
    return EnumerateComPorts(SystemPortEnumerationRoots(), count, text);
}

}  // namespace tk358
