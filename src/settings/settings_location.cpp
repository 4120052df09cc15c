// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_location.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace tk358 {
namespace {

std::string EnvOrEmpty(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string HomeFromPasswd() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* result = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) != 0 ||
        result == nullptr || result->pw_dir == nullptr) {
        return {};
    }
    return result->pw_dir;
}

// Creates `dir` and its missing parents, each new one private to the user.
void MakeDirectories(const std::string& dir) {
    for (std::size_t pos = 1; pos <= dir.size(); ++pos) {
        if (pos == dir.size() || dir[pos] == '/') {
            const std::string part = dir.substr(0, pos);
            if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
                return;
            }
        }
    }
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

SettingsEnvironment SettingsEnvironment::FromProcess() {
    SettingsEnvironment env;
    std::vector<char> buffer(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n > 0 && static_cast<std::size_t>(n) < buffer.size()) {
        env.exePath.assign(buffer.data(), static_cast<std::size_t>(n));
    }
    env.xdgConfigHome = EnvOrEmpty("XDG_CONFIG_HOME");
    env.home = EnvOrEmpty("HOME");
    if (env.home.empty()) {
        env.home = HomeFromPasswd();
    }
    return env;
}

std::string SettingsFilePath(const SettingsEnvironment& env) {
    const std::size_t slash = env.exePath.rfind('/');
    if (slash != std::string::npos) {
        const std::string programDir = slash == 0 ? "/" : env.exePath.substr(0, slash);
        const std::string inProgramDir = env.exePath.substr(0, slash + 1) + kSettingsFileName;
        if (Exists(inProgramDir) || ::access(programDir.c_str(), W_OK) == 0) {
            return inProgramDir;
        }
    }
    std::string base;
    if (env.xdgConfigHome.starts_with('/')) {
        base = env.xdgConfigHome;
    } else if (!env.home.empty()) {
        base = env.home + "/.config";
    } else {
        return {};
    }
    const std::string dir = base + "/tk358";
    MakeDirectories(dir);
    return dir + "/" + kSettingsFileName;
}

}  // namespace tk358
