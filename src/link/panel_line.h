// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The line the panel session talks over, whatever carries it. A line hands
// every received byte to its ByteReceiver on a thread of its own and writes a
// request only after dropping whatever waited on the line, so an answer can
// only come from the request just written. Which line a COM number stands
// for is decided in one place, OpenPanelLine.

#include <memory>

namespace tk358 {

class ByteReceiver {
public:
    // Called on the line's reader thread, once per byte, in arrival order,
    // with no lock of the line held.
    virtual void OnByteReceived(char byte) = 0;

protected:
    ~ByteReceiver() = default;
};

// Framing of a serial line; a line that is no terminal ignores it.
struct LineSettings {
    int baudRate = 9600;
    char parity = 'N';  // 'N', 'E' or 'O'
    int dataBits = 8;
    int stopBits = 1;
};

class PanelLine {
public:
    PanelLine() = default;
    PanelLine(const PanelLine&) = delete;
    PanelLine& operator=(const PanelLine&) = delete;
    // Stops the reader and closes the line.
    virtual ~PanelLine() = default;

    // Starts delivering bytes; those that arrived before are dropped.
    virtual bool StartReader() = 0;
    // Hands a request over and returns without waiting; a request handed over
    // before the previous one was written replaces it.
    virtual void Send(const char* frame, int length) = 0;
    // True once the line has gone away; the owner opens it again later.
    virtual bool DeviceLost() const = 0;
};

// Opens the line behind COM `portNumber` (port_map.h) for `receiver`, its
// reader not yet started. Null when it cannot be opened; `error` then holds
// the errno that tells why (SerialPort::LastOpenError), never 0.
std::unique_ptr<PanelLine> OpenPanelLine(ByteReceiver& receiver, int portNumber,
                                         const LineSettings& settings, int& error);

}  // namespace tk358
