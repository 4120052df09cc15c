// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/safe_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace tk358 {
namespace {

// Closes a descriptor when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now and reports whether close succeeded (a late write error shows here).
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file that a write to `path` should replace: the target of a symbolic
// link, else `path` itself.
std::string ResolveTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        return path;
    }
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : path;
}

// The process id in a temporary file name made by CreateTemporary for a file
// whose temporaries start with `prefix`; 0 for any other name.
pid_t TemporaryOwner(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix) || !name.ends_with(".tmp")) {
        return 0;
    }
    name.remove_prefix(prefix.size());
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    return error == std::errc() && end < name.data() + name.size() && *end == '-' ? pid : 0;
}

// Removes temporaries that a save killed half-way left behind: ours by name
// and owner, made by a process that no longer exists.
void RemoveLeftovers(const std::string& directory, const std::string& name) {
    const std::string prefix = "." + name + ".";
    struct DirCloser {
        void operator()(DIR* d) const { ::closedir(d); }
    };
    std::unique_ptr<DIR, DirCloser> dir(::opendir(directory.c_str()));
    while (dir) {
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) {
            break;
        }
        const pid_t pid = TemporaryOwner(entry->d_name, prefix);
        if (pid <= 0 || ::kill(pid, 0) == 0 || errno != ESRCH) {
            continue;
        }
        struct stat st {};
        const std::string path = directory + "/" + entry->d_name;
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()) {
            ::unlink(path.c_str());
        }
    }
}

// Creates a new, empty file next to `target` whose name starts with a dot, so
// that it neither shows in listings nor matches the backup name search.
// Created with O_EXCL and 0666 so the umask applies as to any new file.
int CreateTemporary(const std::string& target, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    RemoveLeftovers(DirectoryOf(target), NameOf(target));
    const std::string prefix = DirectoryOf(target) + "/." + NameOf(target) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
        char suffix[48];
        std::snprintf(suffix, sizeof suffix, "%ld-%x-%llx.tmp", static_cast<long>(::getpid()),
                      counter.fetch_add(1), static_cast<unsigned long long>(ticks) & 0xFFFFFF);
        tempPath = prefix + suffix;
        const int fd =
            ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

void SyncDirectory(const std::string& dir) {
    Fd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) {
        ::fsync(fd.get());
    }
}

// Gives the new file the owner and permission bits it should have.
bool ApplyOwnership(int fd, const std::string& target, std::optional<mode_t> mode) {
    struct stat old {};
    const bool hasOld = ::stat(target.c_str(), &old) == 0;
    if (hasOld && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        // Only root may give the file away; failing here is not an error.
        [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
    }
    if (mode) {
        return ::fchmod(fd, *mode & 07777) == 0;
    }
    return !hasOld || ::fchmod(fd, old.st_mode & 07777) == 0;
}

}  // namespace

bool ReadWholeFile(const std::string& path, FileAccess access, std::string& contents) {
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    flags |= access == FileAccess::kReadOnly ? O_RDONLY : O_RDWR;
    if (access == FileAccess::kReadWriteCreate) {
        flags |= O_CREAT;
    }
    Fd fd(::open(path.c_str(), flags, 0666));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    contents.clear();
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        contents.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

bool ReplaceFileContents(const std::string& path, std::string_view contents,
                         std::optional<mode_t> mode) {
    const std::string target = ResolveTarget(path);
    std::string tempPath;
    Fd fd(CreateTemporary(target, tempPath));
    if (fd.get() < 0) {
        return false;
    }
    const bool written = WriteAll(fd.get(), contents) && ApplyOwnership(fd.get(), target, mode) &&
                         ::fsync(fd.get()) == 0;
    if (!fd.Close() || !written || ::rename(tempPath.c_str(), target.c_str()) != 0) {
        ::unlink(tempPath.c_str());
        return false;
    }
    SyncDirectory(DirectoryOf(target));
    return true;
}

bool RewriteFileInPlace(const std::string& path, std::string_view contents) {
    Fd fd(::open(ResolveTarget(path).c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) {
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return false;
    }
    // Room first: a disk too full for the new contents leaves the old ones whole.
    const auto size = static_cast<off_t>(contents.size());
    if (const int error = size > 0 ? ::posix_fallocate(fd.get(), 0, size) : 0;
        error != 0 && error != EOPNOTSUPP && error != EINVAL) {
        errno = error;
        return false;
    }
    if (!WriteAll(fd.get(), contents) || ::ftruncate(fd.get(), size) != 0 ||
        ::fsync(fd.get()) != 0) {
        return false;
    }
    return fd.Close();
}

bool CopyFileSafely(const std::string& from, const std::string& to) {
    std::string contents;
    struct stat st {};
    if (!ReadWholeFile(from, FileAccess::kReadOnly, contents) || ::stat(from.c_str(), &st) != 0) {
        return false;
    }
    return ReplaceFileContents(to, contents, st.st_mode & 07777);
}

}  // namespace tk358
