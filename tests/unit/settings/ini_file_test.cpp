// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ini_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <set>

#include "support/temp_dir.h"

namespace tk358 {
namespace {

using test::ReadFile;
using test::StatOf;
using test::TempDir;
using test::WriteFile;

std::set<std::string> Listing(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        names.insert(e.path().filename().string());
    }
    return names;
}

// Comments, blank lines, "[]", blanks around '=', duplicate sections and keys,
// lower-case names, CR LF and LF mixed, a header without entries, no final
// line end.
const char kMixedFile[] =
    "; tk358 settings\r\n"
    "\r\n"
    "=no key\n"
    "[general]\n"
    "port_nr = 3\r\n"
    "WINDOW_TOP=50 ; remark\r\n"
    "[]\r\n"
    "orphan=1\n"
    "[GENERAL]\r\n"
    "PORT_NR=7\r\n"
    "[LOG]\n"
    "; a comment line\n"
    "FILE_NAME=/tmp/x.csv\r\n"
    "FILE_NAME=/tmp/y.csv\n"
    "\n"
    "[EMPTY]\r\n"
    "[INPUT_TEMP]\r\n"
    "TEXT_INPUT=5442";

TEST(IniFileTest, LooksUpFirstSectionAndLastKey) {
    TempDir dir;
    WriteFile(dir.File("tk358.ini"), kMixedFile);
    struct Case {
        bool ignoreCase;
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {true, "GENERAL", "WINDOW_TOP", "50 "},  // cut at ';', blank stays
        {true, "GENERAL", "PORT_NR", "def"},     // "port_nr " has a blank; second block unused
        {true, "General", "port_nr ", " 3"},
        {true, "log", "file_name", "/tmp/y.csv"},
        {true, "LOG", "; a comment line", ""},
        {true, "", "; TK358 SETTINGS", ""},
        {true, "EMPTY", "x", "def"},
        {true, "input_temp", "text_input", "5442"},
        {false, "general", "WINDOW_TOP", "50 "},
        {false, "GENERAL", "WINDOW_TOP", "def"},  // exact: finds the second block
        {false, "GENERAL", "PORT_NR", "7"},
        {false, "LOG", "file_name", "def"},
    };
    for (const Case& c : cases) {
        IniFile ini;
        ASSERT_TRUE(ini.Open(dir.File("tk358.ini"), false, false, c.ignoreCase, false));
        EXPECT_EQ(ini.GetString(c.section, c.key, "def"), c.expected)
            << c.section << " / " << c.key << " ignoreCase " << c.ignoreCase;
    }
    IniFile ini;
    ASSERT_TRUE(ini.Open(dir.File("tk358.ini"), false, false, true, false));
    EXPECT_EQ(ini.GetInt("GENERAL", "WINDOW_TOP", -1), 50);
    EXPECT_EQ(ini.GetInt("GENERAL", "MISSING", -17), -17);
    EXPECT_EQ(ini.GetUnsigned("GENERAL", "MISSING", 4000000000u), 4000000000u);
    EXPECT_EQ(ini.GetInt("LOG", "FILE_NAME", 5), 0);  // text without digits
}

TEST(IniFileTest, RewriteKeepsLayoutAndChangesOnlyWhatWasSet) {
    TempDir dir;
    const std::string path = dir.File("tk358.ini");
    WriteFile(path, kMixedFile);
    {
        IniFile ini;
        ASSERT_TRUE(ini.Open(path, true, true, true, false));
        ini.SetInt("GENERAL", "PORT_NR", 5);
        ini.SetInt("GENERAL", "WINDOW_TOP", 60);
        ini.SetString("log", "file_name", "/tmp/z.csv");
        ini.SetUnsigned("NEW", "A", 1);
    }
    EXPECT_EQ(ReadFile(path),
              "; tk358 settings=\r\n"
              "\r\n"
              "=no key\r\n"
              "[general]\r\n"
              "port_nr = 3\r\n"
              "WINDOW_TOP=60\r\n"
              "PORT_NR=5\r\n"
              "[]\r\n"
              "orphan=1\r\n"
              "[GENERAL]\r\n"
              "PORT_NR=7\r\n"
              "[LOG]\r\n"
              "; a comment line=\r\n"
              "FILE_NAME=/tmp/x.csv\r\n"
              "FILE_NAME=/tmp/z.csv\r\n"
              "\r\n"
              "[INPUT_TEMP]\r\n"
              "TEXT_INPUT=5442\r\n"
              "[NEW]\r\n"
              "A=1\r\n");
    EXPECT_EQ(Listing(dir.Path()), std::set<std::string>{"tk358.ini"});
}

TEST(IniFileTest, SettingTheSameTextDoesNotRewriteTheFile) {
    TempDir dir;
    const std::string path = dir.File("tk358.ini");
    WriteFile(path, "[GENERAL]\nPORT_NR=3\n[LOG]\nFILE_NAME=/home/u/Log.csv\n");
    const struct stat before = StatOf(path);
    {
        IniFile ini;
        ASSERT_TRUE(ini.Open(path, true, true, true, true));
        ini.SetInt("general", "port_nr", 3);
        ini.SetString("LOG", "FILE_NAME", "/home/u/Log.csv");
        EXPECT_EQ(ini.Flush(true), "");  // nothing to write: the file below stays untouched
    }
    const struct stat after = StatOf(path);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(Listing(dir.Path()), std::set<std::string>{"tk358.ini"});  // no backup either

    // Names match without regard to case, values do not: a path that differs
    // only in case is another file.
    IniFile ini;
    ASSERT_TRUE(ini.Open(path, true, true, true, false));
    ini.SetString("log", "file_name", "/home/u/log.csv");
    ini.Close();  // a pending change: Close rewrites the file
    EXPECT_EQ(ReadFile(path), "[GENERAL]\r\nPORT_NR=3\r\n[LOG]\r\nFILE_NAME=/home/u/log.csv\r\n");
}

TEST(IniFileTest, CreateFlagDecidesWhetherAMissingFileIsMade) {
    TempDir dir;
    const std::string path = dir.File("tk358.ini");
    {
        IniFile ini;
        EXPECT_FALSE(ini.Open(path, true, false, true, false));
        EXPECT_FALSE(ini.IsOpen());
        ini.SetInt("GENERAL", "PORT_NR", 1);
        EXPECT_EQ(ini.GetInt("GENERAL", "PORT_NR", 0), 1);
    }
    EXPECT_FALSE(std::filesystem::exists(path));

    IniFile ini;
    ASSERT_TRUE(ini.Open(path, true, true, true, false));
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    ini.SetInt("GENERAL", "PORT_NR", 2);
    ini.Close();
    EXPECT_EQ(ReadFile(path), "[GENERAL]\r\nPORT_NR=2\r\n");
}

TEST(IniFileTest, OpensOnlyRegularFiles) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.File("sub"));
    IniFile ini;
    EXPECT_FALSE(ini.Open(dir.File("fifo"), true, true, true, false));  // must not block
    EXPECT_FALSE(ini.Open(dir.File("sub"), true, true, true, false));
    EXPECT_FALSE(ini.Open("", true, true, true, false));
}

TEST(IniFileTest, OpeningAnotherFileFlushesTheFirstWithoutBackup) {
    TempDir dir;
    WriteFile(dir.File("a.ini"), "x=1\n");
    WriteFile(dir.File("b.ini"), "y=2\n");
    IniFile ini;
    ASSERT_TRUE(ini.Open(dir.File("a.ini"), false, false, false, true));
    ini.SetString("", "x", "9");
    ASSERT_TRUE(ini.Open(dir.File("b.ini"), false, false, false, true));
    EXPECT_EQ(ReadFile(dir.File("a.ini")), "x=9\r\n");
    EXPECT_EQ(ini.GetString("", "x", "none"), "none");
    EXPECT_EQ(ini.GetString("", "y", "none"), "2");
    EXPECT_EQ(Listing(dir.Path()), (std::set<std::string>{"a.ini", "b.ini"}));
}

TEST(IniFileTest, BackupNumberFollowsTheLargestExistingOne) {
    TempDir dir;
    const std::string path = dir.File("tk358.ini");
    WriteFile(path, "a=1\r\n");
    WriteFile(dir.File("tk358.ini.001"), "old backup");
    WriteFile(dir.File("tk358.ini.bak"), "");  // not a number: counts as 0
    WriteFile(dir.File("tk358.log"), "");
    WriteFile(dir.File("other.ini.077"), "");  // another file's backup
    {
        IniFile ini;
        ASSERT_TRUE(ini.Open(path, true, false, true, true));
        ini.SetString("", "a", "2");
        EXPECT_EQ(ini.Flush(true), dir.File("tk358.ini.002"));
        EXPECT_EQ(ReadFile(dir.File("tk358.ini.002")), "a=1\r\n");
        EXPECT_EQ(ini.Flush(true), "");  // nothing new: the backup must stay
        ini.SetString("", "a", "3");
        EXPECT_EQ(ini.Flush(true), dir.File("tk358.ini.002"));  // one store, one name
        EXPECT_EQ(ReadFile(dir.File("tk358.ini.002")), "a=2\r\n");
        ini.SetString("", "a", "4");
    }  // closing backs up with the stored flag
    EXPECT_EQ(ReadFile(dir.File("tk358.ini.002")), "a=3\r\n");
    EXPECT_EQ(ReadFile(path), "a=4\r\n");
    EXPECT_EQ(ReadFile(dir.File("tk358.ini.001")), "old backup");

    IniFile next;
    ASSERT_TRUE(next.Open(path, true, false, true, true));
    next.SetString("", "a", "5");
    EXPECT_EQ(next.Flush(true), dir.File("tk358.ini.003"));
}

TEST(IniFileTest, RewriteKeepsPermissionsAndFollowsASymbolicLink) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("real"));
    const std::string target = dir.File("real/tk358.ini");
    const std::string link = dir.File("tk358.ini");
    WriteFile(target, "a=1\n");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    std::filesystem::create_symlink(target, link);
    IniFile ini;
    ASSERT_TRUE(ini.Open(link, true, false, true, false));
    ini.SetString("", "a", "2");
    ini.Close();
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFile(target), "a=2\r\n");
    EXPECT_EQ(StatOf(target).st_mode & 07777, 0640u);
    EXPECT_EQ(Listing(dir.File("real")), std::set<std::string>{"tk358.ini"});
}

// Writes beyond the file size limit fail with EFBIG even for root, as a full
// disk would: the old file and any backup must stay as they were.
TEST(IniFileTest, FailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    const std::string path = dir.File("tk358.ini");
    const std::string old = "[GENERAL]\r\nPORT_NR=3\r\n" + std::string(100, ';') + "\r\n";
    WriteFile(path, old);
    IniFile ini;
    ASSERT_TRUE(ini.Open(path, true, false, true, true));
    ini.SetString("LOG", "FILE_NAME", std::string(200, 'x'));

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 64;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string result = ini.Flush(true);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(result, "");
    EXPECT_EQ(ini.FlushError(), EFBIG);
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(Listing(dir.Path()), std::set<std::string>{"tk358.ini"});

    // The change is still pending: with room again it is saved.
    EXPECT_EQ(ini.Flush(true), dir.File("tk358.ini.001"));
    EXPECT_EQ(ini.FlushError(), 0);
    EXPECT_EQ(ReadFile(dir.File("tk358.ini.001")), old);
}

TEST(IniFileTest, FailedRenameLeavesNoTraces) {
    TempDir dir;
    const std::string path = dir.File("tk358.ini");
    WriteFile(path, "a=1\n");
    IniFile ini;
    ASSERT_TRUE(ini.Open(path, true, false, false, false));
    ini.SetString("", "a", "2");
    // Something else put a directory where the file was: rename cannot replace it.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    WriteFile(path + "/inside", "kept");
    EXPECT_EQ(ini.Flush(false), "");
    EXPECT_EQ(ini.FlushError(), EISDIR);
    EXPECT_EQ(ReadFile(path + "/inside"), "kept");
    EXPECT_EQ(Listing(dir.Path()), std::set<std::string>{"tk358.ini"});
}

// A directory that takes no temporary file beside a writable settings file:
// the file is rewritten where it is rather than every change being lost. A
// name too long for a temporary beside it stops root as well; permission bits
// stop everyone else.
TEST(IniFileTest, DirectoryWithoutRoomForATemporaryGetsTheFileRewrittenInPlace) {
    const struct {
        const char* name;
        std::string file;
        bool readOnlyDirectory;
    } cases[] = {
        {"long name", std::string(240, 'n') + ".ini", false},
        {"read-only directory", "tk358.ini", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.readOnlyDirectory && ::geteuid() == 0) {
            continue;  // permission bits do not stop root
        }
        TempDir dir;
        const std::string path = dir.File(c.file);
        WriteFile(path, "a=1\n; a remark longer than the new contents\n");
        const ino_t inode = StatOf(path).st_ino;
        IniFile ini;
        ASSERT_TRUE(ini.Open(path, true, false, false, false));
        ini.SetString("", "a", "2");
        ini.DeleteKey("", "; a remark longer than the new contents");
        if (c.readOnlyDirectory) {
            ASSERT_EQ(::chmod(dir.Path().c_str(), 0555), 0);
        }
        ini.Flush(false);
        ::chmod(dir.Path().c_str(), 0755);
        EXPECT_EQ(ini.FlushError(), 0);
        EXPECT_EQ(ReadFile(path), "a=2\r\n");
        EXPECT_EQ(StatOf(path).st_ino, inode);
        EXPECT_EQ(Listing(dir.Path()), std::set<std::string>{c.file});
        // Nothing is left pending: a file changed behind the store's back stays.
        WriteFile(path, "a=3\n");
        EXPECT_EQ(ini.Flush(false), "");
        EXPECT_EQ(ReadFile(path), "a=3\n");
    }
}

TEST(IniFileTest, DeletesAndListsNames) {
    TempDir dir;
    const std::string path = dir.File("t.ini");
    WriteFile(path, "top\n[A]\nk=1\nk=2\nm=3\n[B]\nn=4\n[A]\nk=5\n");
    IniFile ini;
    ASSERT_TRUE(ini.Open(path, true, false, false, false));
    std::vector<std::string> names;
    EXPECT_EQ(ini.GetSectionNames(names), 4);
    EXPECT_EQ(names, (std::vector<std::string>{"", "A", "B", "A"}));
    EXPECT_TRUE(ini.DeleteKey("A", "k"));  // the last k of the first A
    EXPECT_FALSE(ini.DeleteKey("A", "zz"));
    EXPECT_FALSE(ini.DeleteKey("Z", "k"));
    std::vector<std::string> keys;
    EXPECT_EQ(ini.GetKeyNames("A", keys), 2);
    EXPECT_EQ(keys, (std::vector<std::string>{"k", "m"}));
    EXPECT_FALSE(ini.DeleteSection(""));  // the lines before the first section stay
    EXPECT_TRUE(ini.DeleteSection("B"));
    EXPECT_FALSE(ini.DeleteSection("B"));
    ini.Close();
    EXPECT_EQ(ReadFile(path), "top=\r\n[A]\r\nk=1\r\nm=3\r\n[A]\r\nk=5\r\n");
}

TEST(IniFileTest, Utf8NamesMatchWithoutRegardToCase) {
    TempDir dir;
    const std::string path = dir.File("t.ini");
    WriteFile(path, "[Łódź ĄŻ]\nZażółć=1\n[ΕΛΛΆΔΑ]\nΣΊΓΜΑ=2\n[МОСКВА]\nЁЛКА=3\n");
    IniFile ini;
    ASSERT_TRUE(ini.Open(path, true, false, true, false));
    EXPECT_EQ(ini.GetInt("ŁÓDŹ ąż", "ZAŻÓŁĆ", 0), 1);
    EXPECT_EQ(ini.GetInt("ελλάδα", "σίγμα", 0), 2);
    EXPECT_EQ(ini.GetInt("москва", "ёлка", 0), 3);
    EXPECT_EQ(ini.GetInt("Lodz AZ", "Zazolc", 0), 0);
    ini.SetInt("łÓDŹ Ąż", "zażółć", 7);
    ini.Close();
    EXPECT_EQ(ReadFile(path),
              "[Łódź ĄŻ]\r\nZażółć=7\r\n[ΕΛΛΆΔΑ]\r\nΣΊΓΜΑ=2\r\n[МОСКВА]\r\nЁЛКА=3\r\n");
}

}  // namespace
}  // namespace tk358
