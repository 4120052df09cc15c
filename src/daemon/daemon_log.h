// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// tk358d's messages on standard error: one line each, written whole with one
// write, so lines of several threads never mix. Under systemd, where standard
// error goes to the journal, each line starts with its syslog priority
// ("<3>" error, "<4>" warning, "<6>" information) and the journal adds the
// rest; in a terminal each line starts with "tk358d[NAME]: ".

#include <string>

namespace tk358 {

class DaemonLog {
public:
    // `fd` is where the lines go (standard error); `journal` chooses the
    // priority prefixes over the program's name.
    DaemonLog(std::string name, int fd, bool journal);

    // True when `fd` is the stream that $JOURNAL_STREAM names.
    static bool IsJournalStream(int fd);

    void Info(const std::string& message) const { Write(6, message); }
    void Warning(const std::string& message) const { Write(4, message); }
    void Error(const std::string& message) const { Write(3, message); }

    // The line as it is written, for tests.
    std::string Line(int priority, const std::string& message) const;

private:
    void Write(int priority, const std::string& message) const;

    std::string prefix_;
    int fd_;
    bool journal_;
};

}  // namespace tk358
