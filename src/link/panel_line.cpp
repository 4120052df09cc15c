// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/panel_line.h"

#include <cerrno>

#include "link/serial_port.h"

namespace tk358 {

namespace {

// Kept by the port only: the session asks for every received byte.
constexpr int kWriteBufferSize = 512;

}  // namespace

// A terminal, or a line shared by tk358d when the port directory's entry
// leads to its socket: SerialPort tells them apart by the path.
std::unique_ptr<PanelLine> OpenPanelLine(ByteReceiver& receiver, int portNumber,
                                         const LineSettings& settings, int& error) {
    auto port = std::make_unique<SerialPort>();
    if (!port->Open(&receiver, portNumber, settings.baudRate, settings.parity, settings.dataBits,
                    settings.stopBits, kEventRxChar, kWriteBufferSize)) {
        error = port->LastOpenError() != 0 ? port->LastOpenError() : EIO;
        return nullptr;
    }
    error = 0;
    return port;
}

}  // namespace tk358
