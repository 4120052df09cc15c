// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One serial port and the thread that does all reading and writing on it.
// Received bytes go one call per byte to a `ByteReceiver`; a frame handed to
// `Send` is written by the same thread, after both directions of the line
// have been purged, so an answer can only come from the request just written.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "link/frame.h"
#include "link/panel_line.h"

namespace tk358 {

class LineDevice;

namespace test {
struct SerialPortProbe;
}

// Comm event "a character was received": the only mask the session uses.
inline constexpr uint32_t kEventRxChar = 0x0001;

class SerialPort : public PanelLine {
public:
    SerialPort();
    // Drops DTR and RTS, stops the reader thread and closes the device.
    ~SerialPort() override;

    // Stops a running reader, then opens COM `portNumber` (see port_map.h)
    // for exclusive use: raw mode, the given speed and framing, no flow
    // control, DTR and RTS raised, both directions purged. Line settings the
    // device refuses are ignored. False when the device cannot be opened, is
    // not a terminal or is in use; LastOpenError() then tells why.
    // A port directory entry that links to a socket is a line shared by
    // tk358d (shared_line_socket.h): connected to, with no line settings.
    // `parity` is 'N', 'E' or 'O'; `eventMask` and `writeBufferSize` are kept only.
    bool Open(ByteReceiver* receiver, int portNumber, int baudRate, char parity, int dataBits,
              int stopBits, uint32_t eventMask, int writeBufferSize);

    // Starts the reader thread on the open device. False when no device is
    // open or the thread cannot be created.
    bool StartReader() override;

    // Hands `length` bytes of `frame` (at most 256) to the reader thread and
    // returns without waiting. One frame at a time: a frame handed over
    // before the previous one was written replaces it.
    void Send(const char* frame, int length) override;

    // errno of the last failed Open: ENOENT no such port, EACCES no
    // permission, EBUSY in use by another program (or a shared line's other
    // client), ENOTTY not a terminal (a COMn link to /dev/zero, a FIFO or a
    // file), ECONNREFUSED no daemon behind a shared line's socket; 0 after a
    // successful Open.
    int LastOpenError() const { return lastOpenError_; }

    // True once the device has gone away (adapter pulled, pseudo-terminal's
    // other side closed). The reader stops watching it; frames sent are
    // dropped. The owner closes the port and opens the number again later.
    bool DeviceLost() const override { return deviceLost_.load(); }

    int PortNumber() const { return portNumber_; }

private:
    // The tests look at the reader and the device and step in before a purge.
    friend struct test::SerialPortProbe;

    class ReaderThread;

    void StopReader();
    void CloseDevice();
    void Purge();

    ByteReceiver* receiver_ = nullptr;
    int portNumber_ = 0;
    int baudRate_ = 0;
    uint32_t eventMask_ = 0;
    int writeBufferSize_ = 0;
    std::string devicePath_;
    int lastOpenError_ = 0;

    std::unique_ptr<LineDevice> device_;  // a terminal or tk358d's shared line
    int shutdownEvent_ = -1;              // eventfd: stop the reader
    int writeEvent_ = -1;                 // eventfd: a frame waits in txBuffer_

    // portLock_ serialises every call on the device descriptor between the
    // caller's thread (Open, destructor) and the reader thread.
    std::mutex portLock_;
    // txLock_ guards txBuffer_ and txLength_ between Send and the reader thread.
    std::mutex txLock_;
    std::array<char, kLineCapacity> txBuffer_{};
    int txLength_ = 0;

    std::atomic<bool> deviceLost_{false};
    std::function<void()> beforePurge_;  // tests only: runs just before a frame's purge
    std::unique_ptr<ReaderThread> reader_;
};

}  // namespace tk358
