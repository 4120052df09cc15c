// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/daemon_log.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace tk358 {

DaemonLog::DaemonLog(std::string name, int fd, bool journal)
    : prefix_("tk358d[" + std::move(name) + "]: "), fd_(fd), journal_(journal) {}

bool DaemonLog::IsJournalStream(int fd) {
    const char* stream = std::getenv("JOURNAL_STREAM");
    struct stat st {};
    if (stream == nullptr || ::fstat(fd, &st) != 0) {
        return false;
    }
    unsigned long long device = 0;
    unsigned long long inode = 0;
    if (std::sscanf(stream, "%llu:%llu", &device, &inode) != 2) {
        return false;
    }
    return device == st.st_dev && inode == st.st_ino;
}

std::string DaemonLog::Line(int priority, const std::string& message) const {
    std::string line = journal_ ? "<" + std::to_string(priority) + ">" : prefix_;
    // One message, one line: a line break inside would split it in the journal.
    for (char c : message) {
        line += (c == '\n' || c == '\r') ? ' ' : c;
    }
    return line + "\n";
}

void DaemonLog::Write(int priority, const std::string& message) const {
    const std::string line = Line(priority, message);
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd_, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;  // nowhere to report it
        }
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace tk358
