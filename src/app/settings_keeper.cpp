// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_keeper.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "settings/settings_location.h"

namespace tk358 {

std::string SettingsPath() {
    const char* chosen = std::getenv("TK358_SETTINGS_FILE");
    if (chosen != nullptr && *chosen != '\0') {
        return chosen;
    }
    return SettingsFilePath(SettingsEnvironment::FromProcess());
}

SettingsKeeper::SettingsKeeper(const std::string& path) : path_(path) {
    errno = 0;
    if (!path.empty() && !ini_.Open(path, /*writeBack=*/true, /*create=*/true,
                                    /*ignoreCase=*/true, /*backup=*/false)) {
        openError_ = errno != 0 ? errno : EINVAL;  // no errno: not a regular file
    }
}

AppSettings SettingsKeeper::Load() const {
    AppSettings settings = AppSettings::BuiltIn();
    LoadAppSettings(ini_, settings);
    return settings;
}

bool SettingsKeeper::Save(const AppSettings& settings, int screenWidth, int screenHeight) {
    SaveAppSettings(ini_, settings, screenWidth, screenHeight);
    ini_.Flush(/*makeBackup=*/false);
    return ini_.IsOpen() && ini_.FlushError() == 0;
}

std::string SettingsKeeper::SaveFailureText() const {
    if (path_.empty()) {
        return "ustawienia nie zostały zapisane: nie ma katalogu na plik tk358.ini";
    }
    if (!ini_.IsOpen()) {
        return "ustawienia nie zostały zapisane: nie można otworzyć pliku " + path_ + " (" +
               std::strerror(openError_) + ")";
    }
    if (ini_.FlushError() != 0) {
        return "ustawienia nie zostały zapisane: nie można zapisać pliku " + path_ + " (" +
               std::strerror(ini_.FlushError()) + ")";
    }
    return {};
}

}  // namespace tk358
