// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/log_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace tk358 {

namespace {

constexpr int kOpenFlags = O_RDWR | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
constexpr mode_t kCreateMode = 0644;

struct OpenedFd {
    int fd = -1;
    bool existed = false;
    int error = 0;
};

// Tells a file that was there from one this open created, without racing a
// creator in between. The non-blocking open keeps a FIFO or device given by
// mistake from hanging the caller; such paths are refused afterwards.
OpenedFd OpenOrCreate(const std::string& path) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = ::open(path.c_str(), kOpenFlags);
        if (fd >= 0) {
            return {fd, true, 0};
        }
        if (errno != ENOENT) {
            return {-1, false, errno};
        }
        fd = ::open(path.c_str(), kOpenFlags | O_CREAT | O_EXCL, kCreateMode);
        if (fd >= 0) {
            return {fd, false, 0};
        }
        if (errno != EEXIST) {
            return {-1, false, errno};
        }
    }
    // A dangling symbolic link: create its target.
    int fd = ::open(path.c_str(), kOpenFlags | O_CREAT, kCreateMode);
    return fd >= 0 ? OpenedFd{fd, false, 0} : OpenedFd{-1, false, errno};
}

// Regular file, blocking writes, exclusive lock. Returns 0 or errno.
int PrepareForLogging(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return errno;
    }
    if (!S_ISREG(st.st_mode)) {
        return EINVAL;
    }
    int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return errno;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            return EBUSY;
        }
        // File systems without locks still get the log; only the guard
        // against a second writer is lost.
    }
    if (::lseek(fd, 0, SEEK_END) < 0) {
        return errno;
    }
    return 0;
}

}  // namespace

ssize_t LogFileOps::Write(int fd, const void* data, size_t size) {
    return ::write(fd, data, size);
}

int LogFileOps::Fsync(int fd) {
    return ::fsync(fd);
}

int LogFileOps::Ftruncate(int fd, off_t length) {
    return ::ftruncate(fd, length);
}

off_t LogFileOps::Size(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? st.st_size : -1;
}

LogFile::LogFile(std::shared_ptr<LogFileOps> ops)
    : ops_(ops ? std::move(ops) : std::make_shared<LogFileOps>()) {}

LogFile::~LogFile() {
    Close();
}

LogOpenResult LogFile::Open(const std::string& path) {
    Close();
    OpenedFd opened = OpenOrCreate(path);
    if (opened.fd < 0) {
        return {opened.error, false};
    }
    int error = PrepareForLogging(opened.fd);
    if (error != 0) {
        ::close(opened.fd);
        return {error, opened.existed};
    }
    fd_ = opened.fd;
    path_ = path;
    return {0, opened.existed};
}

int LogFile::Truncate() {
    if (fd_ < 0) {
        return EBADF;
    }
    if (ops_->Ftruncate(fd_, 0) != 0) {
        return errno;
    }
    pendingCut_ = -1;
    return 0;
}

int LogFile::Append(std::string_view text) {
    if (fd_ < 0) {
        return EBADF;
    }
    if (text.empty()) {
        return 0;
    }
    if (pendingCut_ >= 0) {
        // The last failed line could not be taken out: do it before writing on.
        if (ops_->Ftruncate(fd_, pendingCut_) != 0) {
            return errno;
        }
        pendingCut_ = -1;
    }
    const off_t before = ops_->Size(fd_);
    if (before < 0) {
        return errno;
    }
    int error = 0;
    size_t done = 0;
    while (done < text.size() && error == 0) {
        ssize_t n = ops_->Write(fd_, text.data() + done, text.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n == 0) {
            error = EIO;
        } else if (errno != EINTR) {
            error = errno;
        }
    }
    if (error == 0 && ops_->Fsync(fd_) != 0) {
        error = errno;
    }
    if (error != 0) {
        // Take the partial line out so the next line starts on a line of its own.
        if (ops_->Ftruncate(fd_, before) != 0) {
            pendingCut_ = before;
        }
    }
    return error;
}

void LogFile::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    path_.clear();
    pendingCut_ = -1;
}

}  // namespace tk358
