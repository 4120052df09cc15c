// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A serial line at 9600 baud between the program and a simulated panel, for
// the benchmarks. The program opens a pseudo-terminal registered as COMn;
// every byte it sends reaches the panel's terminal, and every byte the panel
// sends reaches the program, as on a real line: one byte each 1.04 ms in each
// direction (full duplex), a byte arriving when its last bit has gone. So the
// requests are paced as well as the answers, and a program that sends too
// early or waits too long shows in the time.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <thread>

namespace tk358::bench {

inline constexpr std::chrono::microseconds kByteTime{1042};  // 10 bits at 9600 baud

class PacedRelay {
public:
    PacedRelay(std::string panelDevice, int port, std::string portDirectory);
    ~PacedRelay();
    PacedRelay(const PacedRelay&) = delete;
    PacedRelay& operator=(const PacedRelay&) = delete;

    // Creates and registers the program's terminal, opens the panel's and
    // starts relaying. False with a reason in `error`.
    bool Start(std::string* error);
    void Stop();

    // Bytes relayed since the last reset: program to panel, panel to program.
    std::size_t ToPanel() const { return toPanel_.load(); }
    std::size_t ToProgram() const { return toProgram_.load(); }
    void ResetCounts();

private:
    void Run();

    std::string panelDevice_;
    int port_;
    std::string portDirectory_;
    std::string link_;
    std::string programDevice_;
    int master_ = -1;  // the program's terminal
    int hold_ = -1;    // its slave, held so the program may close and reopen it
    int panel_ = -1;   // the panel's terminal
    int wake_ = -1;
    std::atomic<bool> stop_{false};
    std::atomic<std::size_t> toPanel_{0};
    std::atomic<std::size_t> toProgram_{0};
    std::thread thread_;
};

}  // namespace tk358::bench
