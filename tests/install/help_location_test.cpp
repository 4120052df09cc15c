#include "widgets/help_location.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace tk358 {
namespace {

namespace fs = std::filesystem;

// A scratch prefix with a bin folder, removed afterwards.
class Prefix {
public:
    Prefix() {
        std::string pattern = (fs::temp_directory_path() / "tk358-prefix-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
        fs::create_directories(Bin());
    }
    ~Prefix() {
        std::error_code error;
        fs::remove_all(root_, error);
    }
    Prefix(const Prefix&) = delete;
    Prefix& operator=(const Prefix&) = delete;

    fs::path Root() const { return root_; }
    fs::path Bin() const { return root_ / "bin"; }
    fs::path Put(const fs::path& relative) const {
        fs::create_directories((root_ / relative).parent_path());
        std::ofstream(root_ / relative) << "<!DOCTYPE html>";
        return root_ / relative;
    }

private:
    fs::path root_;
};

const fs::path kInstalled = "share/doc/tk358/help/index.html";

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
