// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>
#include <utility>

#include "link/port_map.h"
#include "link/shared_line_socket.h"

namespace tk358 {

namespace {

using Clock = std::chrono::steady_clock;

// A descriptor that keeps reporting input without yielding any is taken for
// a vanished device after this many wake-ups in a row.
constexpr int kEmptyWakeupsForLoss = 8;
// Bytes delivered per wake-up before shutdown is looked at again.
constexpr int kDrainLimit = 4096;

void SignalEvent(int fd) {
    if (fd >= 0) {
        eventfd_write(fd, 1);
    }
}

void ClearEvent(int fd) {
    eventfd_t value = 0;
    if (fd >= 0) {
        eventfd_read(fd, &value);  // non-blocking: fails harmlessly when clear
    }
}

bool IsDeviceGone(int error) {
    return error == EIO || error == ENXIO || error == ENODEV || error == EBADF || error == EPIPE ||
           error == ECONNRESET;
}

speed_t SpeedFor(int baudRate) {
    constexpr std::pair<int, speed_t> kSpeeds[] = {
        {1200, B1200},   {2400, B2400},   {4800, B4800},   {9600, B9600},
        {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
    };
    for (const auto& [baud, speed] : kSpeeds) {
        if (baud == baudRate) {
            return speed;
        }
    }
    return B0;
}

tcflag_t CharacterSize(int dataBits) {
    switch (dataBits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        default:
            return CS8;
    }
}

// Only a character device can be a terminal: anything else (a FIFO would read
// back our own requests, a regular file ends at once) is refused unopened.
bool CouldBeTerminal(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) != 0 || S_ISCHR(info.st_mode);
}

void SetModemLines(int fd, unsigned long request) {
    int lines = TIOCM_DTR | TIOCM_RTS;
    ioctl(fd, request, &lines);  // a pseudo-terminal has no modem lines: ignored
}

// Opens the terminal `path` for exclusive use; -1 with the reason in `error`.
int OpenTerminal(const std::string& path, int& error) {
    if (!CouldBeTerminal(path)) {
        error = ENOTTY;
        return -1;
    }
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    // A device that is no terminal (/dev/zero) would keep the reader busy forever.
    if (termios probe{}; tcgetattr(fd, &probe) != 0) {
        error = ENOTTY;
        close(fd);
        return -1;
    }
    // The lock first: setting TIOCEXCL on a device another program holds would lock it out.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno == EWOULDBLOCK ? EBUSY : errno;
        close(fd);
        return -1;
    }
    ioctl(fd, TIOCEXCL);
    return fd;
}

}  // namespace

// The thread that serves the port: shutdown first, then received bytes, then
// a frame to write.
class SerialPort::ReaderThread {
public:
    explicit ReaderThread(SerialPort& port)
        : port_(port), fd_(port.fd_), thread_([this] { Run(); }) {}
    ReaderThread(const ReaderThread&) = delete;
    ReaderThread& operator=(const ReaderThread&) = delete;
    // The owner signals shutdown before destroying the thread object.
    ~ReaderThread() { thread_.join(); }

private:
    void Run();
    void ServeInput(short revents);
    bool Drain();
    void ServeWrite();
    void WriteAll(const char* data, int length);
    bool WaitWritable(Clock::time_point deadline);
    void MarkLost();

    SerialPort& port_;
    int fd_;  // -1 once the device is lost: no longer polled
    int emptyWakeups_ = 0;
    std::thread thread_;  // last: starts running once everything above is set
};

void SerialPort::ReaderThread::Run() {
    for (;;) {
        pollfd fds[3] = {
            {port_.shutdownEvent_, POLLIN, 0}, {fd_, POLLIN, 0}, {port_.writeEvent_, POLLIN, 0}};
        if (poll(fds, 3, -1) < 0) {
            if (errno != EINTR) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            continue;
        }
        if (fds[0].revents != 0) {
            return;
        }
        if (fds[1].revents != 0) {
            ServeInput(fds[1].revents);
            continue;
        }
        if ((fds[2].revents & POLLIN) != 0) {
            ServeWrite();
        }
    }
}

void SerialPort::ReaderThread::ServeInput(short revents) {
    const bool drained = Drain();
    const bool hungUp = (revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    if (!drained || hungUp || emptyWakeups_ >= kEmptyWakeupsForLoss) {
        MarkLost();
    }
}

// Delivers every byte queued. False when the device reported an error.
bool SerialPort::ReaderThread::Drain() {
    char chunk[kLineCapacity];
    int delivered = 0;
    while (delivered < kDrainLimit) {
        ssize_t n = 0;
        {
            std::lock_guard<std::mutex> lock(port_.portLock_);
            n = read(fd_, chunk, sizeof chunk);
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            return false;
        }
        if (n <= 0) {
            break;
        }
        for (ssize_t i = 0; i < n; ++i) {
            port_.receiver_->OnByteReceived(chunk[i]);
        }
        delivered += static_cast<int>(n);
    }
    emptyWakeups_ = delivered == 0 ? emptyWakeups_ + 1 : 0;
    return true;
}

void SerialPort::ReaderThread::ServeWrite() {
    ClearEvent(port_.writeEvent_);
    std::array<char, kLineCapacity> frame{};
    int length = 0;
    {
        std::lock_guard<std::mutex> lock(port_.txLock_);
        frame = port_.txBuffer_;
        length = port_.txLength_;
    }
    if (fd_ < 0) {
        return;  // device lost: the frame goes nowhere and the exchange times out
    }
    if (port_.beforePurge_) {
        port_.beforePurge_();
    }
    std::lock_guard<std::mutex> lock(port_.portLock_);
    port_.Purge();
    WriteAll(frame.data(), length);
}

// Writes the whole frame, waiting for room as long as the line needs to send
// it twice over, plus half a second. Called with portLock_ held.
void SerialPort::ReaderThread::WriteAll(const char* data, int length) {
    const int baud = port_.baudRate_ > 0 ? port_.baudRate_ : 9600;
    const auto deadline = Clock::now() + std::chrono::milliseconds(500 + length * 20000 / baud);
    int written = 0;
    while (written < length) {
        const auto size = static_cast<std::size_t>(length - written);
        // A shared line's daemon may be gone: an error, not a SIGPIPE.
        const ssize_t n = port_.shared_ ? send(fd_, data + written, size, MSG_NOSIGNAL)
                                        : write(fd_, data + written, size);
        if (n > 0) {
            written += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && IsDeviceGone(errno)) {
            MarkLost();
            return;
        }
        if (!WaitWritable(deadline)) {
            return;  // the rest is lost; the exchange times out and retries
        }
    }
}

// False at the deadline, on shutdown or when the device fails.
bool SerialPort::ReaderThread::WaitWritable(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
        return false;
    }
    pollfd fds[2] = {{port_.shutdownEvent_, POLLIN, 0}, {fd_, POLLOUT, 0}};
    if (poll(fds, 2, static_cast<int>(left)) < 0) {
        return errno == EINTR;
    }
    return fds[0].revents == 0 && (fds[1].revents & (POLLERR | POLLHUP | POLLNVAL)) == 0;
}

void SerialPort::ReaderThread::MarkLost() {
    fd_ = -1;
    port_.deviceLost_.store(true);
}

SerialPort::SerialPort() = default;

SerialPort::~SerialPort() {
    {
        std::lock_guard<std::mutex> lock(portLock_);
        if (fd_ >= 0 && !shared_) {
            SetModemLines(fd_, TIOCMBIC);
        }
    }
    StopReader();
    CloseDevice();
    for (int* event : {&shutdownEvent_, &writeEvent_}) {
        if (*event >= 0) {
            close(*event);
            *event = -1;
        }
    }
}

bool SerialPort::Open(ByteReceiver* receiver, int portNumber, int baudRate, char parity,
                      int dataBits, int stopBits, uint32_t eventMask, int writeBufferSize) {
    StopReader();
    int error = 0;
    for (int* event : {&shutdownEvent_, &writeEvent_}) {
        if (*event < 0) {
            *event = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
            error = *event < 0 ? errno : error;
        }
        ClearEvent(*event);
    }
    receiver_ = receiver;
    portNumber_ = portNumber;
    baudRate_ = baudRate;
    eventMask_ = eventMask;
    writeBufferSize_ = writeBufferSize;
    deviceLost_.store(false);

    {
        std::lock_guard<std::mutex> lock(portLock_);
        CloseDevice();
    }
    // Opened without the lock: connecting to a shared line waits a moment.
    devicePath_ = DevicePathForPort(portNumber);
    error = devicePath_.empty() ? ENOENT : error;
    const bool shared = error == 0 && IsSharedLineLink(devicePath_);
    int fd = -1;
    if (error == 0) {
        fd = shared ? ConnectSharedLine(devicePath_, error) : OpenTerminal(devicePath_, error);
    }
    lastOpenError_ = error;
    if (fd < 0) {
        return false;
    }
    std::lock_guard<std::mutex> lock(portLock_);
    fd_ = fd;
    shared_ = shared;
    if (!shared_) {
        ApplyLineSettings(baudRate, parity, dataBits, stopBits);
        SetModemLines(fd_, TIOCMBIS);
    }
    Purge();
    return true;
}

// Raw mode, no flow control, no modem control; settings the device refuses are left as they are.
void SerialPort::ApplyLineSettings(int baudRate, char parity, int dataBits, int stopBits) {
    termios settings{};
    if (tcgetattr(fd_, &settings) != 0) {
        return;
    }
    cfmakeraw(&settings);
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    settings.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS | CSTOPB | PARENB | PARODD | CSIZE);
    settings.c_cflag |= CLOCAL | CREAD | CharacterSize(dataBits);
    if (parity == 'E' || parity == 'O') {
        settings.c_cflag |= PARENB | (parity == 'O' ? PARODD : 0);
    }
    if (stopBits == 2) {
        settings.c_cflag |= CSTOPB;
    }
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (const speed_t speed = SpeedFor(baudRate); speed != B0) {
        cfsetispeed(&settings, speed);
        cfsetospeed(&settings, speed);
    }
    tcsetattr(fd_, TCSANOW, &settings);
}

bool SerialPort::StartReader() {
    if (reader_) {
        return true;
    }
    if (fd_ < 0 || receiver_ == nullptr) {
        return false;
    }
    {
        // Purged before the thread exists, so every byte that arrives once
        // StartReader has returned is delivered.
        std::lock_guard<std::mutex> lock(portLock_);
        Purge();
    }
    try {
        reader_ = std::make_unique<ReaderThread>(*this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void SerialPort::Send(const char* frame, int length) {
    const int n = frame != nullptr ? std::clamp(length, 0, kLineCapacity) : 0;
    {
        std::lock_guard<std::mutex> lock(txLock_);
        std::copy_n(frame, n, txBuffer_.begin());
        txLength_ = n;
    }
    SignalEvent(writeEvent_);
}

// Both directions of a terminal; what waits on a shared line's connection.
// Called with portLock_ held.
void SerialPort::Purge() {
    if (shared_) {
        DiscardSharedLineInput(fd_);
    } else {
        tcflush(fd_, TCIOFLUSH);
    }
}

void SerialPort::StopReader() {
    if (!reader_) {
        return;
    }
    SignalEvent(shutdownEvent_);
    reader_.reset();
    ClearEvent(shutdownEvent_);
}

// Called with the reader stopped.
void SerialPort::CloseDevice() {
    if (fd_ < 0) {
        return;
    }
    if (!shared_) {
        SetModemLines(fd_, TIOCMBIC);
        // A pseudo-terminal outlives our descriptor: leave it open to the next opener.
        ioctl(fd_, TIOCNXCL);
    }
    close(fd_);  // releases the flock too
    fd_ = -1;
    shared_ = false;
}

}  // namespace tk358
