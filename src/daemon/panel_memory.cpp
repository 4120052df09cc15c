// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/panel_memory.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tk358 {

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

std::string StateDirectory() {
    // systemd joins the directories of several StateDirectory= with ':'.
    const std::string state = Env("STATE_DIRECTORY");
    if (!state.empty()) {
        return state.substr(0, state.find(':'));
    }
    const std::string xdg = Env("XDG_STATE_HOME");
    if (!xdg.empty() && xdg.front() == '/') {
        return xdg + "/tk358d";
    }
    const std::string home = Env("HOME");
    if (!home.empty() && home.front() == '/') {
        return home + "/.local/state/tk358d";
    }
    return {};
}

std::optional<PanelIdentity> PanelMemory::Load() const {
    if (path_.empty()) {
        return std::nullopt;
    }
    std::ifstream in(path_);
    PanelIdentity id;
    bool haveKind = false;
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        const std::string key = line.substr(0, eq);
        char* end = nullptr;
        const long value = std::strtol(line.c_str() + eq + 1, &end, 10);
        if (end == line.c_str() + eq + 1) {
            continue;
        }
        if (key == "kind" && value >= 0 && value < kUnknownDevice) {
            id.deviceType = static_cast<uint8_t>(value);
            haveKind = true;
        } else if (key == "serial") {
            id.serialNumber = static_cast<uint16_t>(value);
        } else if (key == "noNumber") {
            id.noNumber = value != 0 ? 1 : 0;
        } else if (key == "hardware") {
            id.hardwareVariant = static_cast<uint16_t>(value);
        } else if (key == "firmware") {
            id.firmwareVersion = static_cast<int32_t>(value);
        }
    }
    if (!haveKind) {
        return std::nullopt;
    }
    id.identified = 1;
    return id;
}

std::string PanelMemory::Save(const PanelIdentity& id) const {
    if (path_.empty()) {
        return {};
    }
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ec);
    std::ostringstream text;
    text << "kind=" << int{id.deviceType} << "\nserial=" << id.serialNumber
         << "\nnoNumber=" << int{id.noNumber} << "\nhardware=" << id.hardwareVariant
         << "\nfirmware=" << id.firmwareVersion << "\n";
    // A new file renamed over the old one: a crash never leaves half a file.
    const std::string temporary = path_ + ".new";
    std::FILE* file = std::fopen(temporary.c_str(), "w");
    if (file == nullptr) {
        return std::strerror(errno);
    }
    const std::string contents = text.str();
    const bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    const int writeError = errno;
    if (std::fclose(file) != 0 || !written) {
        const int error = written ? errno : writeError;
        std::remove(temporary.c_str());
        return std::strerror(error);
    }
    if (std::rename(temporary.c_str(), path_.c_str()) != 0) {
        const int error = errno;
        std::remove(temporary.c_str());
        return std::strerror(error);
    }
    return {};
}

bool PanelMemory::SamePanel(const PanelIdentity& a, const PanelIdentity& b) {
    return a.deviceType == b.deviceType && a.serialNumber == b.serialNumber &&
           a.noNumber == b.noNumber && a.hardwareVariant == b.hardwareVariant &&
           a.firmwareVersion == b.firmwareVersion;
}

}  // namespace tk358
