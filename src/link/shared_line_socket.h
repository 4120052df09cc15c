#pragma once

// The client side of a line shared by tk358d: a COMn entry of the port
// directory may be a symbolic link to the daemon's Unix socket. The port then
// connects instead of opening a terminal; the bytes on the connection are the
// panel's request and answer lines, as on the serial line itself.

#include <chrono>
#include <string>

namespace tk358 {

// The daemon closes any connection beyond its one client at once; a
// connection that ends within this time after it was made counts as refused.
inline constexpr std::chrono::milliseconds kSharedLineRefusalWait{50};

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
