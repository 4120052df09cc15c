#include "app/settings_keeper.h"

#include <cstdlib>

#include "settings/settings_location.h"

namespace tk358 {

std::string SettingsPath() {
    const char* chosen = std::getenv("TK358_SETTINGS_FILE");
    if (chosen != nullptr && *chosen != '\0') {
        return chosen;
    }
    return SettingsFilePath(SettingsEnvironment::FromProcess());
}

SettingsKeeper::SettingsKeeper(const std::string& path) {
    if (!path.empty()) {
        ini_.Open(path, /*writeBack=*/true, /*create=*/true, /*ignoreCase=*/true,
                  /*backup=*/false);
    }
}

AppSettings SettingsKeeper::Load() const {
    AppSettings settings = AppSettings::BuiltIn();
    LoadAppSettings(ini_, settings);
    return settings;
}

void SettingsKeeper::Save(const AppSettings& settings, int screenWidth, int screenHeight) {
    SaveAppSettings(ini_, settings, screenWidth, screenHeight);
    ini_.Flush(/*makeBackup=*/false);
}

}  // namespace tk358
