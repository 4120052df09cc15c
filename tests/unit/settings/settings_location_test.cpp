// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_location.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace tk358 {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(SettingsLocationTest, ChoosesProgramDirectoryOrUserConfiguration) {
    TempDir dir;
    std::filesystem::create_directories(dir.File("bin"));
    std::filesystem::create_directories(dir.File("home"));
    const std::string missingBin = dir.File("gone/bin/tk358");  // cannot be written, even by root
    struct Case {
        const char* name;
        SettingsEnvironment env;
        std::string expected;
    };
    const Case cases[] = {
        {"writable program directory",
         {dir.File("bin/tk358"), "", dir.File("home")},
         dir.File("bin/tk358.ini")},
        {"installed program",
         {missingBin, "", dir.File("home")},
         dir.File("home/.config/tk358/tk358.ini")},
        {"XDG_CONFIG_HOME",
         {missingBin, dir.File("cfg"), dir.File("home")},
         dir.File("cfg/tk358/tk358.ini")},
        {"relative XDG_CONFIG_HOME ignored",
         {missingBin, "cfg", dir.File("home")},
         dir.File("home/.config/tk358/tk358.ini")},
        {"unknown program path",
         {"", "", dir.File("home")},
         dir.File("home/.config/tk358/tk358.ini")},
        {"nowhere", {missingBin, "", ""}, ""},
    };
    for (const Case& c : cases) {
        const std::string path = SettingsFilePath(c.env);
        EXPECT_EQ(path, c.expected) << c.name;
        if (!path.empty()) {
            EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(path).parent_path()))
                << c.name;
        }
    }
}

TEST(SettingsLocationTest, ExistingFileInProgramDirectoryWins) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may write every directory";
    }
    TempDir dir;
    std::filesystem::create_directories(dir.File("bin"));
    WriteFile(dir.File("bin/tk358.ini"), "");
    std::filesystem::permissions(
        dir.File("bin"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const SettingsEnvironment env{dir.File("bin/tk358"), "", dir.File("home")};
    EXPECT_EQ(SettingsFilePath(env), dir.File("bin/tk358.ini"));
}

TEST(SettingsLocationTest, ProcessEnvironmentNamesThisProgram) {
    const SettingsEnvironment env = SettingsEnvironment::FromProcess();
    EXPECT_TRUE(std::filesystem::equivalent(env.exePath, "/proc/self/exe"));
    EXPECT_FALSE(env.home.empty());
}

}  // namespace
}  // namespace tk358
