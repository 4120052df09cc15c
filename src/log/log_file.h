// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The measurement log file: kept open while logging is on, written one whole
// line at a time, each line pushed to the disk before the next. A line that
// cannot be written completely is taken out again, so the file never ends in
// a torn line. Other programs may read the file meanwhile; a second tk358 is
// kept from writing it by an advisory lock.

#include <sys/types.h>

#include <memory>
#include <string>
#include <string_view>

namespace tk358 {

// The calls through which a log file changes its contents. The defaults are
// the system calls; tests replace them to simulate a full disk or a short
// write. Each returns what the system call returns and sets errno likewise.
class LogFileOps {
public:
    virtual ~LogFileOps() = default;
    virtual ssize_t Write(int fd, const void* data, size_t size);
    virtual int Fsync(int fd);
    virtual int Ftruncate(int fd, off_t length);
    virtual off_t Size(int fd);  // -1 on failure
};

struct LogOpenResult {
    int error = 0;         // errno; EBUSY when another program holds the file
    bool existed = false;  // the file was there before the open

    bool ok() const { return error == 0; }
};

class LogFile {
public:
    explicit LogFile(std::shared_ptr<LogFileOps> ops = nullptr);
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Opens for reading and writing, creating the file (0644 less the umask)
    // when it is missing; never truncates. Writes go to the end. Closes any
    // file open before. Only regular files are accepted (EINVAL otherwise).
    LogOpenResult Open(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }

    // Cuts the file to length 0. Returns 0 or errno.
    int Truncate();

    // Writes the text with one write, completing it if the system took only a
    // part, then fsync. On failure the file is cut back to its length before
    // the call and errno is returned; 0 on success. Should even that cut fail,
    // it is retried before the next line is written.
    int Append(std::string_view text);

    void Close();

private:
    int fd_ = -1;
    std::string path_;
    off_t pendingCut_ = -1;  // length to cut back to before the next write
    std::shared_ptr<LogFileOps> ops_;
};

}  // namespace tk358
