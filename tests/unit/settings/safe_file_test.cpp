#include "settings/safe_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

}  // namespace
}  // namespace tk358
