// SPDX-License-Identifier: GPL-3.0-or-later
// A serial terminal (or a pseudo-terminal) as the line under a SerialPort.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "link/line_device.h"

namespace tk358 {

namespace {

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

// Raw mode, no flow control, no modem control; settings the device refuses are left as they are.
void ApplyLineSettings(int fd, const LineSettings& line) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) {
        return;
    }
    cfmakeraw(&settings);
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    settings.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS | CSTOPB | PARENB | PARODD | CSIZE);
    settings.c_cflag |= CLOCAL | CREAD | CharacterSize(line.dataBits);
    if (line.parity == 'E' || line.parity == 'O') {
        settings.c_cflag |= PARENB | (line.parity == 'O' ? PARODD : 0);
    }
    if (line.stopBits == 2) {
        settings.c_cflag |= CSTOPB;
    }
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (const speed_t speed = SpeedFor(line.baudRate); speed != B0) {
        cfsetispeed(&settings, speed);
        cfsetospeed(&settings, speed);
    }
    tcsetattr(fd, TCSANOW, &settings);
}

class TerminalDevice final : public LineDevice {
public:
    explicit TerminalDevice(int fd) : LineDevice(fd) {}
    ~TerminalDevice() override {
        SetModemLines(Fd(), TIOCMBIC);
        // A pseudo-terminal outlives our descriptor: leave it open to the next opener.
        ioctl(Fd(), TIOCNXCL);
    }
    ssize_t Write(const char* data, std::size_t size) override { return write(Fd(), data, size); }
    void Purge() override { tcflush(Fd(), TCIOFLUSH); }
    void Hangup() override { SetModemLines(Fd(), TIOCMBIC); }
};

}  // namespace

std::unique_ptr<LineDevice> OpenTerminalDevice(const std::string& path,
                                               const LineSettings& settings, int& error) {
    const int fd = OpenTerminal(path, error);
    if (fd < 0) {
        return nullptr;
    }
    ApplyLineSettings(fd, settings);
    SetModemLines(fd, TIOCMBIS);
    return std::make_unique<TerminalDevice>(fd);
}

}  // namespace tk358
