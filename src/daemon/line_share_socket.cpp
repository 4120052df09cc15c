// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/line_share_socket.h"

#include <grp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace tk358 {

namespace {

std::string Reason(const std::string& what, int error) {
    return what + " (" + std::strerror(error) + ")";
}

bool GroupId(const std::string& name, gid_t& gid) {
    struct group entry {};
    struct group* found = nullptr;
    std::vector<char> buffer(16384);
    if (getgrnam_r(name.c_str(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr) {
        return false;
    }
    gid = found->gr_gid;
    return true;
}

// Clears `path` for a new socket: nothing there, or a socket no one listens on.
bool ClearStaleSocket(const std::string& path, const sockaddr_un& address, std::string* error) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) {
        return true;
    }
    if (!S_ISSOCK(info.st_mode)) {
        *error = "share: " + path + " istnieje i nie jest gniazdem";
        return false;
    }
    const int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool live = probe >= 0 && connect(probe, reinterpret_cast<const sockaddr*>(&address),
                                            sizeof address) == 0;
    if (probe >= 0) {
        close(probe);
    }
    if (live) {
        *error = "share: inny program już udostępnia linię przez " + path;
        return false;
    }
    unlink(path.c_str());
    return true;
}

// Group and mode of the bound socket: only the group's members may connect.
bool SetAccess(const std::string& path, const std::string& group, std::string* error) {
    if (!group.empty()) {
        gid_t gid = 0;
        if (!GroupId(group, gid)) {
            *error = "share-group: nie ma grupy " + group;
            return false;
        }
        if (chown(path.c_str(), static_cast<uid_t>(-1), gid) != 0) {
            *error = Reason("share-group: nie można nadać gniazdu grupy " + group, errno);
            return false;
        }
    }
    if (chmod(path.c_str(), 0660) != 0) {
        *error = Reason("share: nie można ustawić praw gniazda " + path, errno);
        return false;
    }
    return true;
}

}  // namespace

int ListenOnSharedLine(const std::string& path, const std::string& group, std::string* error) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        *error = "share: ścieżka gniazda pusta albo dłuższa niż 107 znaków: " + path;
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    if (!ClearStaleSocket(path, address, error)) {
        return -1;
    }
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        *error = Reason("share: nie można utworzyć gniazda", errno);
        return -1;
    }
    // The socket file is created with this mode (less the umask): no one else
    // can connect before the group and mode below are set.
    fchmod(fd, 0600);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        *error = Reason("share: nie można utworzyć gniazda " + path, errno);
        close(fd);
        return -1;
    }
    if (!SetAccess(path, group, error) || listen(fd, 4) != 0) {
        if (error->empty()) {
            *error = Reason("share: gniazdo " + path + " nie przyjmuje połączeń", errno);
        }
        close(fd);
        unlink(path.c_str());
        return -1;
    }
    return fd;
}

}  // namespace tk358
