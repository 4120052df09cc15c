// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// COM port numbers and device paths. Port n is the entry "COMn" of the port
// directory when there is one (a link to a device, such as the simulated
// panel's pseudo-terminal) and the directory is the user's own; otherwise the
// fixed table:
//   COM1-32 /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31,
//   COM65-96 /dev/ttyACM0-31, COM97-128 /dev/ttyAMA0-31.

#include <string>
#include <string_view>

namespace tk358 {

// Port numbers the program accepts: 1..255. The fixed table ends at 128.
inline constexpr int kMaxPortNumber = 255;

// `tk358PortDir` when set and not empty, else `xdgRuntimeDir`/tk358/ports,
// else /tmp/tk358-<uid>/ports. Null stands for an unset variable.
std::string PortDirectoryFrom(const char* tk358PortDir, const char* xdgRuntimeDir, unsigned uid);

// The port directory of this process: $TK358_PORT_DIR, $XDG_RUNTIME_DIR, the uid.
std::string PortDirectory();

enum class PortDirectoryTrust {
    kOwn,      // a directory owned by the user that no one else may write to
    kForeign,  // anything else that exists: another user could plant a COMn there
    kMissing,
};

// Whether `directory` may be trusted by the user `uid`.
PortDirectoryTrust CheckPortDirectory(const std::string& directory, unsigned uid);

// PortDirectory() when it is the user's own; else empty, and a directory that
// exists but is not the user's own is reported once on standard error.
std::string TrustedPortDirectory();

// The device path of port n in the fixed table; empty outside 1..128.
std::string TableDevicePath(int portNumber);

// The port number of a device path of the fixed table; 0 for any other path.
int TablePortNumber(std::string_view devicePath);

// n for an entry name "COMn" with 1 <= n <= 255 written without leading zeros;
// 0 for any other name.
int EntryPortNumber(std::string_view entryName);

// The path to open for port n: <portDirectory>/COMn when that entry exists
// (even as a dangling link, so a vanished simulated panel fails to open
// rather than opening a real port), else the table path. Empty when n has
// neither. The second form uses TrustedPortDirectory().
std::string DevicePathForPort(int portNumber, const std::string& portDirectory);
std::string DevicePathForPort(int portNumber);

}  // namespace tk358
