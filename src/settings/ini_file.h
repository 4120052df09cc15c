// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's settings store: a text file of [sections] and key=value lines,
// read whole on open, changed in memory, and rewritten whole on close when
// anything changed. Order, duplicates, blank lines, comments and lines without
// '=' survive a rewrite.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ini_text.h"

namespace tk358 {

class IniFile {
public:
    IniFile();
    ~IniFile();  // Close()
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // Opens and reads the file at `path`. The flags are kept even when opening
    // fails: rewrite on Close, create a missing file (empty; never truncated),
    // compare section and key names without regard to case (UTF-8 aware), copy
    // the old file to a numbered backup before a rewrite on Close. A file that
    // is open already is first flushed without backup and cleared. The file must
    // be a regular file that can be opened for reading and writing; otherwise
    // returns false, every read gives its default and nothing is ever written.
    bool Open(const std::string& path, bool writeBack, bool create, bool ignoreCase, bool backup);

    // Flushes with the stored backup flag if write-back was asked for, then clears.
    void Close();

    // Rewrites the file if anything changed since it was read or last written,
    // first copying the old file to the backup path when `makeBackup` is set (a
    // failed copy is ignored). The rewrite replaces the file in one step, so a
    // failure leaves the old file as it was; only when that is impossible
    // (the directory takes no new file) is the file rewritten in place.
    // Returns the backup path after a successful rewrite, else an empty string.
    std::string Flush(bool makeBackup);
    // errno of the last Flush that could not write the file; 0 when the last
    // one wrote it or had nothing to write.
    int FlushError() const { return flushError_; }

    // The value of the last `key` in the first `section`, cut at its first ';';
    // `def` when either is missing.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view def) const;
    int32_t GetInt(std::string_view section, std::string_view key, int32_t def) const;
    uint32_t GetUnsigned(std::string_view section, std::string_view key, uint32_t def) const;

    // Appends a missing section or key; else replaces the value of the last
    // `key` in the first `section`. Marks the store modified only when the file
    // contents change: values are compared exactly, since a value such as a
    // file path differs when only its case differs.
    void SetString(std::string_view section, std::string_view key, std::string_view value);
    void SetInt(std::string_view section, std::string_view key, int32_t value);
    void SetUnsigned(std::string_view section, std::string_view key, uint32_t value);

    // Removes the last `key` of the first `section`; true if one was removed.
    bool DeleteKey(std::string_view section, std::string_view key);
    // Removes the first `section` with all its lines; the lines before the first
    // section are never removed. True if one was removed.
    bool DeleteSection(std::string_view section);
    // Append all section names (index 0 first, with its empty name) or the keys
    // of the first `section` in order; return how many were appended.
    int GetSectionNames(std::vector<std::string>& names) const;
    int GetKeyNames(std::string_view section, std::vector<std::string>& keys) const;

    bool IsOpen() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }

private:
    bool NamesEqual(std::string_view a, std::string_view b) const;
    std::size_t SectionIndex(std::string_view name) const;                        // first match
    std::size_t KeyIndex(const IniSection& section, std::string_view key) const;  // last match
    const IniEntry* FindEntry(std::string_view section, std::string_view key) const;
    void Clear();

    std::string path_;
    std::string backupPath_;  // worked out at the first backup, then kept
    bool writeBack_ = false;
    bool create_ = false;
    bool ignoreCase_ = false;
    bool backup_ = false;
    bool modified_ = false;
    int flushError_ = 0;
    std::vector<IniSection> sections_;
};

// The backup path for the file at `path`: "<path>.NNN" with NNN one more than
// the largest number found in the last three characters of the names in the
// same directory that start with the file's name up to its last '.'.
std::string NextBackupPath(const std::string& path);

}  // namespace tk358
