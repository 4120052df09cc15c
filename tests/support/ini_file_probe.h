#pragma once

// The section table of an IniFile as it was read and changed, for the fuzz
// target that compares it with the text written.

#include <vector>

#include "settings/ini_file.h"

namespace tk358::test {

struct IniFileProbe {
    static const std::vector<IniSection>& Sections(const IniFile& ini) { return ini.sections_; }
};

}  // namespace tk358::test
