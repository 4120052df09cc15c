// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the kernel tells about a serial device through sysfs: whether a tty is
// a real serial port and a short description of the hardware behind it. Plain
// file reads, so a fake tree in a temporary directory stands in for /sys.

#include <string>

namespace tk358 {

// True when <sysRoot>/class/tty/<name> belongs to hardware that can carry a
// line: it has a `device` link, and it is not an 8250/16550 placeholder. A
// serial-core port reports its UART in the `type` attribute; 0 (PORT_UNKNOWN)
// means no UART answered at the probed address, as for the ttyS names the
// kernel reserves on a PC without that many ports. Ports without a `type`
// attribute (USB serial, ACM) count as real.
bool IsRealSerialPort(const std::string& sysRoot, const std::string& name);

// A short description of the tty's hardware, without its device path:
//   USB (serial adapters, ACM modems): "<manufacturer> <product>" from the USB
//     device above the tty (the manufacturer left out when the product already
//     names it), "Urządzenie USB vvvv:pppp" when it gives no names; followed
//     by ", nr seryjny <serial>" when `withSerial` and the device has one;
//   other devices: "Port szeregowy", with ", sterownik <driver>" when the
//     driver is known.
// Empty when the tty has no `device` link.
std::string TtyHardwareText(const std::string& sysRoot, const std::string& name, bool withSerial);

// The path of an entry of `byIdDirectory` that leads to the same file as
// `devicePath`; the first in name order when there are several, empty when
// none does.
std::string StableNameFor(const std::string& byIdDirectory, const std::string& devicePath);

}  // namespace tk358
