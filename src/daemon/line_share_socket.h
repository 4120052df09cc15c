// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The listening socket of tk358d's shared line.

#include <string>

namespace tk358 {

// Listens on the Unix socket `path`, mode 0660, its group `group` when not
// empty (the daemon must belong to it). A socket left at `path` by an ended
// daemon is replaced; a live one, or any other file, is left alone and
// refused. Returns the descriptor (non-blocking, close-on-exec), or -1 with
// the Polish reason in `error`.
int ListenOnSharedLine(const std::string& path, const std::string& group, std::string* error);

}  // namespace tk358
