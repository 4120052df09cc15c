// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The client side of a line shared by tk358d: a COMn entry of the port
// directory may be a symbolic link to the daemon's Unix socket. The port then
// connects instead of opening a terminal; the bytes on the connection are the
// panel's request and answer lines, as on the serial line itself.

#include <chrono>
#include <string>
#include <string_view>

namespace tk358 {

// The daemon closes any connection beyond its one client at once; a
// connection that ends within this time after it was made counts as refused.
inline constexpr std::chrono::milliseconds kSharedLineRefusalWait{50};

// A request the daemon will not carry to the panel is answered with its
// command code, "!" and the reason, then CR LF, e.g. "028700!ZAPIS-ZABLOKOWANY":
// the client fails that exchange at once instead of waiting for the panel.
inline constexpr std::string_view kRefusedWrite = "ZAPIS-ZABLOKOWANY";  // --share-read-only
inline constexpr std::string_view kRefusedQueueFull = "KOLEJKA-PELNA";  // too many waiting

std::string SharedLineRefusal(std::string_view code, std::string_view reason);
// The command code a refusal line refuses; empty for any other line.
std::string_view RefusedCommand(std::string_view line);

// True when `path` is a symbolic link that leads to a socket.
bool IsSharedLineLink(const std::string& path);

// Connects to the socket `path` leads to. Returns the descriptor (non-blocking,
// close-on-exec), or -1 with the reason in `error`: EBUSY when the daemon
// closed the connection at once (another client holds the line), ECONNREFUSED
// when no daemon listens, or the errno of the failed call.
int ConnectSharedLine(const std::string& path, int& error);

// Reads and throws away every byte waiting on the connection: the socket's
// counterpart of purging a terminal's input.
void DiscardSharedLineInput(int fd);

}  // namespace tk358
