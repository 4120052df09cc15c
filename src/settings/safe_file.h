// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whole-file reads and crash-safe whole-file replacement.

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace tk358 {

enum class FileAccess {
    kReadOnly,
    kReadWrite,        // fails when the file is missing or not writable
    kReadWriteCreate,  // creates a missing file empty, never truncates
};

// Reads the whole regular file at `path` into `contents`. Returns false when it
// cannot be opened with the requested access or is not a regular file (a FIFO
// or device would block or never end). A read error after opening ends the
// reading and keeps what was read.
bool ReadWholeFile(const std::string& path, FileAccess access, std::string& contents);

// Replaces the file at `path` with `contents` so that a crash, a kill or a
// full disk leaves either the old or the new file whole: the contents go to a
// new file in the same directory, which is flushed to disk and then renamed
// over `path`; then the directory is flushed. The new file gets `mode` when
// given, else the permission bits (and, where allowed, the owner) of the file
// it replaces, else 0666 less the umask. A symbolic link at `path` is followed
// and its target replaced. On failure the old file is untouched, the
// temporary file is removed and false is returned. Temporaries left beside
// the file by a process that was killed while saving are removed first.
bool ReplaceFileContents(const std::string& path, std::string_view contents,
                         std::optional<mode_t> mode = std::nullopt);

// The fallback for a file whose directory takes no new file (read-only, or a
// name too long for a temporary beside it): writes `contents` over the
// existing regular file at `path` (following a symbolic link), cuts it to
// that length and flushes it to disk. Owner, permissions and links stay.
// Not crash-safe, but room is reserved first, so a full disk leaves the old
// contents whole. False with errno set when it fails.
bool RewriteFileInPlace(const std::string& path, std::string_view contents);

// Copies the file at `from` to `to` (replacing it) in the same crash-safe way;
// the copy gets the permission bits of `from`.
bool CopyFileSafely(const std::string& from, const std::string& to);

}  // namespace tk358
