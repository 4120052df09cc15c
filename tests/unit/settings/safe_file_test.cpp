// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/safe_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "support/temp_dir.h"

namespace tk358 {
namespace {

using test::ReadFile;
using test::StatOf;
using test::TempDir;
using test::WriteFile;

TEST(SafeFileTest, NewFilesFollowTheUmaskAndCopiesTheSource) {
    TempDir dir;
    const mode_t oldMask = ::umask(027);
    EXPECT_TRUE(ReplaceFileContents(dir.File("new"), "abc"));
    ::umask(oldMask);
    EXPECT_EQ(StatOf(dir.File("new")).st_mode & 07777, 0640u);
    EXPECT_EQ(ReadFile(dir.File("new")), "abc");

    ASSERT_EQ(::chmod(dir.File("new").c_str(), 0600), 0);
    WriteFile(dir.File("copy"), "older and longer");
    EXPECT_TRUE(CopyFileSafely(dir.File("new"), dir.File("copy")));
    EXPECT_EQ(ReadFile(dir.File("copy")), "abc");
    EXPECT_EQ(StatOf(dir.File("copy")).st_mode & 07777, 0600u);

    EXPECT_FALSE(CopyFileSafely(dir.File("missing"), dir.File("copy2")));
    EXPECT_FALSE(ReplaceFileContents(dir.File("no/such/dir/file"), "abc"));
}

// A save killed between creating its temporary file and renaming it leaves
// the temporary behind; the next save removes those of processes that are
// gone, and nothing else.
TEST(SafeFileTest, NextSaveRemovesTheLeftoversOfAKilledSave) {
    TempDir dir;
    const std::string self = std::to_string(::getpid());
    // Beyond the largest pid Linux hands out: surely not running.
    const std::string dead = ".tk358.ini.4194999-3-a1b2c3.tmp";
    const std::set<std::string> kept = {
        "tk358.ini",
        ".tk358.ini." + self + "-0-abc.tmp",  // a save under way in a live process
        ".other.ini.4194999-0-abc.tmp",       // another file's
        ".tk358.ini.backup.tmp",              // not a name we make
        "tk358.ini.4194999-0-abc.tmp",
    };
    for (const std::string& name : kept) {
        WriteFile(dir.File(name), "x");
    }
    WriteFile(dir.File(dead), "half a file");
    EXPECT_TRUE(ReplaceFileContents(dir.File("tk358.ini"), "a=1\r\n"));
    std::set<std::string> listed;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        listed.insert(entry.path().filename().string());
    }
    EXPECT_EQ(listed, kept);
}

}  // namespace
}  // namespace tk358
