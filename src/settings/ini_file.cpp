// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ini_file.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "settings/safe_file.h"
#include "settings/utf8_text.h"

namespace tk358 {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

std::string FormatDecimal(const char* format, auto value) {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

IniFile::IniFile() : sections_(1) {}

IniFile::~IniFile() {
    Close();
}

bool IniFile::Open(const std::string& path, bool writeBack, bool create, bool ignoreCase,
                   bool backup) {
    writeBack_ = writeBack;
    create_ = create;
    ignoreCase_ = ignoreCase;
    backup_ = backup;
    if (IsOpen()) {
        Flush(false);
        Clear();
    }
    std::string contents;
    const FileAccess access = create ? FileAccess::kReadWriteCreate : FileAccess::kReadWrite;
    if (path.empty() || !ReadWholeFile(path, access, contents)) {
        return false;
    }
    path_ = path;
    sections_ = ParseIniText(contents);
    return true;
}

void IniFile::Close() {
    if (writeBack_) {
        Flush(backup_);
    }
    Clear();
}

void IniFile::Clear() {
    path_.clear();
    sections_.assign(1, IniSection{});
    modified_ = false;
}

std::string IniFile::Flush(bool makeBackup) {
    if (!modified_ || !IsOpen()) {
        return {};
    }
    if (makeBackup) {
        if (backupPath_.empty()) {
            backupPath_ = NextBackupPath(path_);
        }
        CopyFileSafely(path_, backupPath_);
    }
    // A directory that takes no temporary file (read-only, while the file
    // itself is writable) would otherwise lose every change silently.
    const std::string text = FormatIniText(sections_);
    if (!ReplaceFileContents(path_, text) && !RewriteFileInPlace(path_, text)) {
        flushError_ = errno != 0 ? errno : EIO;
        return {};
    }
    flushError_ = 0;
    // Written: a second flush must not copy the new contents over the backup.
    modified_ = false;
    return backupPath_;
}

bool IniFile::NamesEqual(std::string_view a, std::string_view b) const {
    return ignoreCase_ ? EqualsIgnoreCaseUtf8(a, b) : a == b;
}

std::size_t IniFile::SectionIndex(std::string_view name) const {
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (NamesEqual(sections_[i].name, name)) {
            return i;
        }
    }
    return kNone;
}

std::size_t IniFile::KeyIndex(const IniSection& section, std::string_view key) const {
    for (std::size_t i = section.entries.size(); i > 0; --i) {
        if (NamesEqual(section.entries[i - 1].key, key)) {
            return i - 1;
        }
    }
    return kNone;
}

const IniEntry* IniFile::FindEntry(std::string_view section, std::string_view key) const {
    const std::size_t s = SectionIndex(section);
    if (s == kNone) {
        return nullptr;
    }
    const std::size_t k = KeyIndex(sections_[s], key);
    return k == kNone ? nullptr : &sections_[s].entries[k];
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view def) const {
    const IniEntry* entry = FindEntry(section, key);
    if (entry == nullptr) {
        return std::string(def);
    }
    return entry->value.substr(0, entry->value.find(';'));
}

int32_t IniFile::GetInt(std::string_view section, std::string_view key, int32_t def) const {
    return DecimalTextToInt32(GetString(section, key, FormatDecimal("%d", def)));
}

uint32_t IniFile::GetUnsigned(std::string_view section, std::string_view key, uint32_t def) const {
    return DecimalTextToUint32(GetString(section, key, FormatDecimal("%u", def)));
}

void IniFile::SetString(std::string_view section, std::string_view key, std::string_view value) {
    std::size_t s = SectionIndex(section);
    if (s == kNone) {
        s = sections_.size();
        sections_.push_back(IniSection{std::string(section), {}});
        modified_ = true;
    }
    std::vector<IniEntry>& entries = sections_[s].entries;
    const std::size_t k = KeyIndex(sections_[s], key);
    if (k == kNone) {
        entries.push_back({std::string(key), std::string(value)});
        modified_ = true;
    } else if (entries[k].value != value) {
        entries[k].value.assign(value);
        modified_ = true;
    }
}

void IniFile::SetInt(std::string_view section, std::string_view key, int32_t value) {
    SetString(section, key, FormatDecimal("%d", value));
}

void IniFile::SetUnsigned(std::string_view section, std::string_view key, uint32_t value) {
    SetString(section, key, FormatDecimal("%u", value));
}

bool IniFile::DeleteKey(std::string_view section, std::string_view key) {
    const std::size_t s = SectionIndex(section);
    const std::size_t k = s == kNone ? kNone : KeyIndex(sections_[s], key);
    if (k == kNone) {
        return false;
    }
    sections_[s].entries.erase(sections_[s].entries.begin() + static_cast<std::ptrdiff_t>(k));
    modified_ = true;
    return true;
}

bool IniFile::DeleteSection(std::string_view section) {
    const std::size_t s = SectionIndex(section);
    if (s == kNone || s == 0) {
        return false;
    }
    sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(s));
    modified_ = true;
    return true;
}

int IniFile::GetSectionNames(std::vector<std::string>& names) const {
    for (const IniSection& s : sections_) {
        names.push_back(s.name);
    }
    return static_cast<int>(sections_.size());
}

int IniFile::GetKeyNames(std::string_view section, std::vector<std::string>& keys) const {
    const std::size_t s = SectionIndex(section);
    if (s == kNone) {
        return 0;
    }
    for (const IniEntry& e : sections_[s].entries) {
        keys.push_back(e.key);
    }
    return static_cast<int>(sections_[s].entries.size());
}

std::string NextBackupPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string stem = slash == std::string::npos ? path : path.substr(slash + 1);
    stem = stem.substr(0, stem.rfind('.'));
    int largest = 0;
    std::unique_ptr<DIR, DirCloser> d(::opendir(dir.c_str()));
    while (d) {
        const dirent* e = ::readdir(d.get());
        if (e == nullptr) {
            break;
        }
        const std::string_view name(e->d_name);
        if (name.starts_with(stem)) {
            const std::string_view last = name.substr(name.size() >= 3 ? name.size() - 3 : 0);
            largest = std::max(largest, DecimalTextToInt32(last));
        }
    }
    return path + FormatDecimal(".%.3d", largest + 1);
}

}  // namespace tk358
