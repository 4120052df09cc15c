// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/help_location.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace tk358 {
namespace {

namespace fs = std::filesystem;

// A scratch prefix with a bin folder, removed afterwards.
class Prefix {
public:
    Prefix() { fs::create_directories(Bin()); }

    fs::path Root() const { return root_; }
    fs::path Bin() const { return root_ / "bin"; }
    fs::path Put(const fs::path& relative) const {
        fs::create_directories((root_ / relative).parent_path());
        std::ofstream(root_ / relative) << "<!DOCTYPE html>";
        return root_ / relative;
    }

private:
    test::TempDir temp_{"tk358-prefix"};
    fs::path root_ = temp_.Path();
};

// In the program's data folder, not under share/doc: minimal systems drop that.
const fs::path kInstalled = "share/tk358/help/index.html";

TEST(HelpLocation, TheInstalledHelpComesFirst) {
    Prefix prefix;
    prefix.Put("bin/help/index.html");
    const fs::path installed = prefix.Put(kInstalled);
    EXPECT_EQ(FindHelpIndex(prefix.Bin()), installed);
}

TEST(HelpLocation, AHelpFolderBesideTheProgramComesNext) {
    Prefix prefix;
    const fs::path beside = prefix.Put("bin/help/index.html");
    EXPECT_EQ(FindHelpIndex(prefix.Bin()), beside);
}

TEST(HelpLocation, TheSourcesServeAProgramRunFromTheBuildTree) {
    Prefix prefix;
    const fs::path found = FindHelpIndex(prefix.Bin());
    ASSERT_FALSE(found.empty());
    EXPECT_TRUE(fs::is_regular_file(found));
    EXPECT_EQ(found.filename(), "index.html");
    EXPECT_EQ(found.parent_path().filename(), "help");
    EXPECT_EQ(found, FindHelpIndex(fs::path()));
}

TEST(HelpLocation, AFolderNamedLikeThePageIsNotThePage) {
    Prefix prefix;
    fs::create_directories(prefix.Root() / kInstalled);
    const fs::path beside = prefix.Put("bin/help/index.html");
    EXPECT_EQ(FindHelpIndex(prefix.Bin()), beside);
}

}  // namespace
}  // namespace tk358
