// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The serial ports present on this computer, as the text the port choice
// lists: for each port in ascending number order "COMn:description\n", or
// "COMn\n" when nothing is known about it.
//
// Sources:
//   - the devices of the fixed COM table (see port_map.h) that sysfs shows as
//     real serial ports and that have a device node; described by their
//     hardware, device path and /dev/serial/by-id/ name;
//   - every entry "COMn" of the port directory whose link leads to an
//     existing file, described as "→ <link target>" (plus the hardware and
//     device path when the target is a tty of the device directory), or as
//     "tk358d: <socket file name>" when it leads to a shared line's socket.
// A port directory entry takes its number from the table, as it does when the
// port is opened. A dangling entry is not listed, and it hides the table
// device of its number too: opening that number would fail.

#include <map>
#include <string>
#include <string_view>

namespace tk358 {

// Where the sources are; tests point them into a temporary directory.
struct PortEnumerationRoots {
    std::string sysRoot = "/sys";
    std::string devRoot = "/dev";
    std::string byIdDirectory = "/dev/serial/by-id";
    std::string portDirectory;  // empty: no port directory
};

// The real system, with this process's port directory.
PortEnumerationRoots SystemPortEnumerationRoots();

// Port number (1..255) -> description, empty when none is known.
using FoundPorts = std::map<int, std::string>;

FoundPorts FindComPorts(const PortEnumerationRoots& roots);

// A description that ends in " (COM<digits>)" loses that ending; a bracket
// without a number ("Modem (COMx)") stays.
std::string_view WithoutPortNameSuffix(std::string_view description);

// The listing text of `ports`. Line feeds and other control characters in a
// description become blanks, so each port stays one line.
std::string PortListingText(const FoundPorts& ports);

// Lists the ports into `text` and their number into `count`. `count` is 0
// from the start; false, with `text` untouched, only when memory runs out.
bool EnumerateComPorts(const PortEnumerationRoots& roots, int& count, std::string& text);
bool EnumerateComPorts(int& count, std::string& text);

}  // namespace tk358
