// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace tk358::test {

ChildProcess::~ChildProcess() {
    Kill();
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args,
                         const std::string& outputPath, const std::vector<std::string>& env) {
    std::vector<std::string> argStrings{program};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStrings) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    std::vector<std::string> envStrings;
    for (char** e = environ; *e != nullptr; ++e) {
        envStrings.emplace_back(*e);
    }
    envStrings.insert(envStrings.end(), env.begin(), env.end());
    std::vector<char*> envp;
    for (std::string& e : envStrings) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    // The child starts with no signal blocked, whatever the test's threads do.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK);
    const int rc = posix_spawn(&pid_, program.c_str(), &actions, &attr, argv.data(), envp.data());
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    status_.reset();
    if (rc != 0) {
        pid_ = -1;
        return false;
    }
    return true;
}

bool ChildProcess::Running() {
    if (pid_ <= 0) {
        return false;
    }
    return !Wait(std::chrono::milliseconds(0)).has_value();
}

void ChildProcess::Signal(int signo) {
    if (pid_ > 0 && !status_) {
        ::kill(pid_, signo);
    }
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds timeout) {
    if (status_ || pid_ <= 0) {
        return status_;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return status_;
        }
        if (done < 0 && errno != EINTR) {
            return std::nullopt;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void ChildProcess::Kill() {
    if (pid_ > 0 && !status_) {
        ::kill(pid_, SIGKILL);
        Wait(std::chrono::seconds(10));
    }
}

std::chrono::milliseconds ChildProcess::CpuTime() const {
    std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // Fields 14 and 15 (utime, stime) follow the command name in parentheses.
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) {
        return std::chrono::milliseconds(0);
    }
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    long long utime = 0;
    long long stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) {
            utime = std::stoll(field);
        } else if (i == 15) {
            stime = std::stoll(field);
        }
    }
    const long ticks = ::sysconf(_SC_CLK_TCK);
    return std::chrono::milliseconds((utime + stime) * 1000 / ticks);
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

}  // namespace tk358::test
