// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_port.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>
#include <utility>

#include "link/line_device.h"
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

}  // namespace

// The thread that serves the port: shutdown first, then received bytes, then
// a frame to write.
class SerialPort::ReaderThread {
public:
    explicit ReaderThread(SerialPort& port)
        : port_(port), fd_(port.device_->Fd()), thread_([this] { Run(); }) {}
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
            n = port_.device_->Read(chunk, sizeof chunk);
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
        const ssize_t n = port_.device_->Write(data + written, size);
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
        if (device_) {
            device_->Hangup();
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
    std::unique_ptr<LineDevice> device;
    if (error == 0) {
        device =
            IsSharedLineLink(devicePath_)
                ? OpenSharedLineDevice(devicePath_, error)
                : OpenTerminalDevice(devicePath_, {baudRate, parity, dataBits, stopBits}, error);
    }
    lastOpenError_ = error;
    if (!device) {
        return false;
    }
    std::lock_guard<std::mutex> lock(portLock_);
    device_ = std::move(device);
    Purge();
    return true;
}

bool SerialPort::StartReader() {
    if (reader_) {
        return true;
    }
    if (!device_ || receiver_ == nullptr) {
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

// Called with portLock_ held.
void SerialPort::Purge() {
    device_->Purge();
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
    device_.reset();
}

}  // namespace tk358
