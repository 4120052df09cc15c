// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/secret_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace tk358 {

std::optional<std::string> ReadFirstLine(const std::string& path) {
    std::ifstream file{path};
    std::string line;
    if (!file || !std::getline(file, line)) {
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

std::string ExposedFileWarning(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {};
    }
    const bool world = (info.st_mode & S_IROTH) != 0;
    const bool group = (info.st_mode & S_IRGRP) != 0 && info.st_gid != ::getegid();
    if (!world && !group) {
        return {};
    }
    return path + " z hasłem brokera mogą czytać " +
           (world ? "wszyscy użytkownicy" : "członkowie grupy " + std::to_string(info.st_gid)) +
           "; zalecane: chmod 0600 albo 0640 z grupą usługi";
}

std::optional<std::string> ReadPasswordCredential(const char* directory) {
    if (directory == nullptr || *directory == '\0') {
        return std::nullopt;
    }
    return ReadFirstLine(std::string(directory) + "/" + kPasswordCredential);
}

}  // namespace tk358
