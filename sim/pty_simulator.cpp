// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/pty_simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "link/port_map.h"
#include "sim/panel_calendar.h"
#include "sim/port_registration.h"

namespace tk358::sim {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kLongestPoll{50};
constexpr milliseconds kWriteStall{50};  // nobody has read for this long: nobody is there
constexpr milliseconds kExclusiveCheck{100};
// 10 bits a byte (start, 8 data, stop) at 9600 baud.
constexpr std::chrono::nanoseconds kByteTime{1'041'667};

void SetError(std::string* error, std::string text) {
    if (error != nullptr) {
        *error = std::move(text);
    }
}

PtySimulatorOptions WithClock(PtySimulatorOptions options) {
    if (!options.panel.clockSeconds) {
        options.panel.clockSeconds = PanelSecondsNow();
    }
    return options;
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

}  // namespace

PtySimulator::PtySimulator(PtySimulatorOptions options)
    : options_(WithClock(std::move(options))),
      panel_(options_.panel),
      pace_(options_.pace),
      turnaround_(options_.turnaround) {}

PtySimulator::~PtySimulator() {
    Stop();
}

bool PtySimulator::Start(std::string* error) {
    if (running_.load()) {
        return true;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_ < 0) {
        SetError(error, std::string("Nie można utworzyć zdarzenia: ") + std::strerror(errno));
        return false;
    }
    if (!OpenTerminal(error) || !Register(options_.portNumber, error)) {
        CloseTerminal();
        CloseFd(wake_);
        return false;
    }
    vanished_ = false;
    threadDone_ = false;
    stop_.store(false);
    running_.store(true);
    thread_ = std::thread([this] { Run(); });
    return true;
}

void PtySimulator::Stop() {
    if (running_.load()) {
        stop_.store(true);
        Wake();
        thread_.join();
        running_.store(false);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    Unregister();
    CloseTerminal();
    CloseFd(wake_);
}

// With mutex_ held.
bool PtySimulator::OpenTerminal(std::string* error) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 ||
        ptsname_r(master, name, sizeof name) != 0) {
        const int saved = errno;
        if (master >= 0) {
            close(master);
        }
        SetError(error, std::string("Nie można utworzyć pseudoterminala: ") + std::strerror(saved));
        return false;
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    // Held open for the life of the terminal: the master then never sees a
    // hang-up when the program closes its side, and the line settings stay.
    const int hold = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (hold < 0) {
        const int saved = errno;
        close(master);
        SetError(error, std::string("Nie można otworzyć ") + name + ": " + std::strerror(saved));
        return false;
    }
    termios settings{};
    if (tcgetattr(hold, &settings) == 0) {
        cfmakeraw(&settings);
        settings.c_cflag |= CLOCAL | CREAD;
        cfsetispeed(&settings, B9600);
        cfsetospeed(&settings, B9600);
        tcsetattr(hold, TCSANOW, &settings);
    }
    master_ = master;
    hold_ = hold;
    devicePath_ = name;
    return true;
}

// With mutex_ held.
void PtySimulator::CloseTerminal() {
    CloseFd(hold_);
    CloseFd(master_);
    devicePath_.clear();
}

// With mutex_ held. `number` 0 takes the first free number from 200.
bool PtySimulator::Register(int number, std::string* error) {
    const std::string directory =
        options_.portDirectory.empty() ? PortDirectory() : options_.portDirectory;
    if (!MakePortDirectory(directory, error)) {
        return false;
    }
    if (number > 0 && !LinkPort(directory, number, devicePath_)) {
        SetError(error, "Port COM" + std::to_string(number) +
                            " jest już zajęty lub niedozwolony (" +
                            PortLinkPath(directory, number) + ")");
        return false;
    }
    for (int n = kFirstSimulatedPort; number == 0 && n <= kMaxPortNumber; ++n) {
        if (LinkPort(directory, n, devicePath_)) {
            number = n;
        }
    }
    if (number == 0) {
        SetError(error, "Brak wolnego numeru portu COM" + std::to_string(kFirstSimulatedPort) +
                            "-COM" + std::to_string(kMaxPortNumber) + " w " + directory);
        return false;
    }
    portNumber_ = number;
    linkPath_ = PortLinkPath(directory, number);
    return true;
}

// With mutex_ held.
void PtySimulator::Unregister() {
    UnlinkPort(linkPath_, devicePath_);
    linkPath_.clear();
}

int PtySimulator::PortNumber() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return portNumber_;
}

std::string PtySimulator::DevicePath() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return devicePath_;
}

std::string PtySimulator::LinkPath() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return linkPath_;
}

bool PtySimulator::Vanished() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return vanished_;
}

void PtySimulator::Vanish() {
    RunCommand(Command::kVanish, nullptr);
}

bool PtySimulator::Reappear(std::string* error) {
    return RunCommand(Command::kReappear, error);
}

// The thread owns the descriptors while it runs, so it carries the command
// out; without a thread the caller does.
bool PtySimulator::RunCommand(Command command, std::string* error) {
    std::unique_lock<std::mutex> lock(mutex_);
    command_ = command;
    if (running_.load() && !threadDone_) {
        lock.unlock();
        Wake();
        lock.lock();
        changed_.wait(lock, [this] { return command_ == Command::kNone || threadDone_; });
    }
    if (command_ != Command::kNone) {
        ExecuteCommand();
    }
    SetError(error, commandError_);
    return commandResult_;
}

// With mutex_ held.
void PtySimulator::ExecuteCommand() {
    commandError_.clear();
    commandResult_ = true;
    if (command_ == Command::kVanish && !vanished_) {
        Unregister();
        CloseTerminal();
        vanished_ = true;
    } else if (command_ == Command::kReappear && vanished_) {
        commandResult_ = OpenTerminal(&commandError_) && Register(portNumber_, &commandError_);
        if (!commandResult_) {
            CloseTerminal();
        }
        vanished_ = !commandResult_;
    }
    command_ = Command::kNone;
    changed_.notify_all();
}

void PtySimulator::Run() {
    Clock::time_point start;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        start = Clock::now() - panel_.Now();
    }
    Clock::time_point lastCheck = Clock::now();
    while (!stop_.load()) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (command_ != Command::kNone) {
                ExecuteCommand();
            }
        }
        Serve(start);
        if (Clock::now() - lastCheck >= kExclusiveCheck) {
            ReleaseStaleExclusiveMode();
            lastCheck = Clock::now();
        }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    threadDone_ = true;
    changed_.notify_all();
}

// One turn: wait for bytes or the next status burst, feed the panel, send what it says.
void PtySimulator::Serve(Clock::time_point start) {
    milliseconds timeout = kLongestPoll;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (const auto next = panel_.TimeToNextStatus()) {
            timeout = std::clamp(*next, milliseconds{1}, kLongestPoll);
        }
    }
    pollfd fds[2] = {{wake_, POLLIN, 0}, {master_, POLLIN, 0}};
    const nfds_t count = master_ >= 0 ? 2 : 1;
    poll(fds, count, static_cast<int>(timeout.count()));
    if ((fds[0].revents & POLLIN) != 0) {
        uint64_t value = 0;
        [[maybe_unused]] const ssize_t n = read(wake_, &value, sizeof value);
    }
    std::string received;
    if (count == 2 && (fds[1].revents & POLLIN) != 0) {
        char buffer[512];
        const ssize_t n = read(master_, buffer, sizeof buffer);
        if (n > 0) {
            received.assign(buffer, static_cast<std::size_t>(n));
        }
    } else if (count == 2 && (fds[1].revents & (POLLHUP | POLLERR)) != 0) {
        WaitInterruptibly(kLongestPoll);  // no reader on the other side: do not spin
    }
    std::vector<OutgoingLine> lines;
    bool pace = false;
    milliseconds turnaround{0};
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto elapsed = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
        panel_.Advance(elapsed - panel_.Now());
        panel_.Receive(received);
        lines = panel_.TakeOutput();
        pace = pace_;
        turnaround = turnaround_;
    }
    changed_.notify_all();
    for (const OutgoingLine& line : lines) {
        if (master_ < 0 || stop_.load()) {
            break;  // unplugged: what the panel says is lost
        }
        if (line.answer && turnaround > milliseconds{0}) {
            WaitInterruptibly(turnaround);
        }
        WriteLine(line.bytes, pace);
    }
}

void PtySimulator::WriteLine(const std::string& bytes, bool pace) {
    if (!pace) {
        WriteBytes(bytes.data(), bytes.size());
        return;
    }
    Clock::time_point due = Clock::now();
    for (char byte : bytes) {
        if (stop_.load() || !WriteBytes(&byte, 1)) {
            return;
        }
        due += kByteTime;
        std::this_thread::sleep_until(due);
    }
}

// False when the bytes could not all be written (nobody reads, or the terminal broke).
bool PtySimulator::WriteBytes(const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = write(master_, data + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN && !stop_.load()) {
            pollfd fd{master_, POLLOUT, 0};
            if (poll(&fd, 1, static_cast<int>(kWriteStall.count())) <= 0) {
                return false;
            }
        } else {
            return false;
        }
    }
    return true;
}

void PtySimulator::WaitInterruptibly(milliseconds duration) {
    pollfd fd{wake_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(duration.count())) > 0) {
        uint64_t value = 0;
        [[maybe_unused]] const ssize_t n = read(wake_, &value, sizeof value);
    }
}

// The program marks the terminal for exclusive use while it has it open. If it
// ended without undoing that, the mark outlives its descriptor (our master
// keeps the terminal alive) and would lock out its next start; nobody holding
// the terminal's lock means nobody uses it, so the mark is cleared.
void PtySimulator::ReleaseStaleExclusiveMode() {
    int exclusive = 0;
    if (hold_ < 0 || ioctl(hold_, TIOCGEXCL, &exclusive) != 0 || exclusive == 0) {
        return;
    }
    if (flock(hold_, LOCK_EX | LOCK_NB) != 0) {
        return;
    }
    ioctl(hold_, TIOCNXCL);
    flock(hold_, LOCK_UN);
}

void PtySimulator::Wake() {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(wake_, &one, sizeof one);
}

void PtySimulator::SetFaults(const FaultSettings& faults) {
    std::lock_guard<std::mutex> lock(mutex_);
    panel_.SetFaults(faults);
}

FaultSettings PtySimulator::Faults() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return panel_.Faults();
}

void PtySimulator::SilenceFor(milliseconds duration) {
    std::lock_guard<std::mutex> lock(mutex_);
    panel_.SilenceFor(duration);
}

void PtySimulator::SilenceUntilResumed() {
    std::lock_guard<std::mutex> lock(mutex_);
    panel_.SilenceUntilResumed();
}

void PtySimulator::Resume() {
    std::lock_guard<std::mutex> lock(mutex_);
    panel_.Resume();
}

bool PtySimulator::SetParameter(int code, int64_t value) {
    std::lock_guard<std::mutex> lock(mutex_);
    return panel_.SetParameter(code, value);
}

int64_t PtySimulator::Parameter(int code) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return panel_.Parameters().Get(code);
}

void PtySimulator::SetPace(bool pace) {
    std::lock_guard<std::mutex> lock(mutex_);
    pace_ = pace;
}

void PtySimulator::SetTurnaround(milliseconds turnaround) {
    std::lock_guard<std::mutex> lock(mutex_);
    turnaround_ = turnaround;
}

std::vector<RecordedFrame> PtySimulator::Frames() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return panel_.Frames();
}

void PtySimulator::ClearFrames() {
    std::lock_guard<std::mutex> lock(mutex_);
    panel_.ClearFrames();
}

bool PtySimulator::WaitUntil(const std::function<bool(const SimPanel&)>& ready,
                             milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return ready(panel_); });
}

bool PtySimulator::WaitForFrames(std::size_t count, milliseconds timeout) const {
    return WaitUntil([count](const SimPanel& panel) { return panel.Frames().size() >= count; },
                     timeout);
}

std::unique_ptr<PtySimulator> StartDemoPanel(int kind, std::string* error) {
    PtySimulatorOptions options;
    options.panel = DefaultConfig(kind);
    auto simulator = std::make_unique<PtySimulator>(options);
    if (!simulator->Start(error)) {
        return nullptr;
    }
    return simulator;
}

}  // namespace tk358::sim
