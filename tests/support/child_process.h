// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A program started by a test: its standard error goes to a file the test can
// read; it is ended with a signal and waited for with a time limit. The
// destructor kills what is still running, so a failed test leaves nothing
// behind.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tk358::test {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `program` with `args`; standard output and error go to
    // `outputPath` (appended). `env` entries ("NAME=value") are added to the
    // test's environment.
    bool Start(const std::string& program, const std::vector<std::string>& args,
               const std::string& outputPath, const std::vector<std::string>& env = {});

    pid_t Pid() const { return pid_; }
    bool Running();

    void Signal(int signo);
    // The exit code, or 128 + signal number; nothing on time-out.
    std::optional<int> Wait(std::chrono::milliseconds timeout);
    // SIGKILL and wait.
    void Kill();

    // User plus system CPU time used so far, from /proc.
    std::chrono::milliseconds CpuTime() const;

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// The whole contents of a file; empty when it cannot be read.
std::string ReadFile(const std::string& path);

}  // namespace tk358::test
