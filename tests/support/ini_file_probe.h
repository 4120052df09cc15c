#pragma once

// The section table of an IniFile as it was read and changed, for the fuzz
// target that compares it with the text written, and whether a change waits
// to be written.

#include <vector>

#include "settings/ini_file.h"

namespace tk358::test {

struct IniFileProbe {
    static const std::vector<IniSection>& Sections(const IniFile& ini) { return ini.sections_; }
    static bool IsModified(const IniFile& ini) { return ini.modified_; }
};

}  // namespace tk358::test
