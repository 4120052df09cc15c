// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/port_registration.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "link/port_map.h"

namespace tk358::sim {

namespace {

bool IsDanglingLink(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return false;
    }
    return stat(path.c_str(), &info) != 0 && errno == ENOENT;
}

std::string ReadLink(const std::string& path) {
    char buffer[4096];
    const ssize_t n = readlink(path.c_str(), buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace

std::string PortLinkPath(const std::string& directory, int number) {
    return directory + "/COM" + std::to_string(number);
}

bool MakePortDirectory(const std::string& directory, std::string* error) {
    for (std::size_t slash = directory.find('/', 1);; slash = directory.find('/', slash + 1)) {
        const std::string part = directory.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            if (error != nullptr) {
                *error = "Nie można utworzyć katalogu portów " + part + ": " + std::strerror(errno);
            }
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    if (stat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        if (error != nullptr) {
            *error = "Katalog portów " + directory + " nie jest katalogiem";
        }
        return false;
    }
    // The program ignores a directory that is not the user's own.
    if (CheckPortDirectory(directory, geteuid()) != PortDirectoryTrust::kOwn) {
        if (error != nullptr) {
            *error = "Katalog portów " + directory +
                     " nie należy do użytkownika albo mogą do niego pisać inni";
        }
        return false;
    }
    return true;
}

bool LinkPort(const std::string& directory, int number, const std::string& target) {
    if (number < 1 || number > kMaxPortNumber) {
        return false;
    }
    const std::string link = PortLinkPath(directory, number);
    if (symlink(target.c_str(), link.c_str()) == 0) {
        return true;
    }
    if (errno != EEXIST || !IsDanglingLink(link)) {
        return false;
    }
    unlink(link.c_str());
    return symlink(target.c_str(), link.c_str()) == 0;
}

void UnlinkPort(const std::string& link, const std::string& target) {
    if (!link.empty() && ReadLink(link) == target) {
        unlink(link.c_str());
    }
}

}  // namespace tk358::sim
