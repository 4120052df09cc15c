// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_map.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace tk358 {
namespace {

TEST(PortMapTest, FixedTableBothWays) {
    struct Case {
        int number;
        const char* path;
    };
    const Case cases[] = {
        {1, "/dev/ttyS0"},    {2, "/dev/ttyS1"},      {32, "/dev/ttyS31"},  {33, "/dev/ttyUSB0"},
        {34, "/dev/ttyUSB1"}, {64, "/dev/ttyUSB31"},  {65, "/dev/ttyACM0"}, {96, "/dev/ttyACM31"},
        {97, "/dev/ttyAMA0"}, {128, "/dev/ttyAMA31"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TableDevicePath(c.number), c.path);
        EXPECT_EQ(TablePortNumber(c.path), c.number) << c.path;
    }
    for (int n = 1; n <= 128; ++n) {
        EXPECT_EQ(TablePortNumber(TableDevicePath(n)), n);
    }
    for (int n : {0, -1, 129, 255, 256}) {
        EXPECT_EQ(TableDevicePath(n), "") << n;
    }
}

TEST(PortMapTest, PathsOutsideTheTableHaveNoNumber) {
    const char* paths[] = {
        "/dev/ttyS32", "/dev/ttyS01",    "/dev/ttyS",   "/dev/ttyS-1", "/dev/ttyS1x", "ttyS1",
        "/dev/ttyS1/", "/dev/ttyUSB32",  "/dev/ttyAMA", "/dev/pts/3",  "/dev/ttys0",  "",
        "/dev/ttyS+1", "/dev/ttyACM100",
    };
    for (const char* path : paths) {
        EXPECT_EQ(TablePortNumber(path), 0) << path;
    }
}

TEST(PortMapTest, EntryNames) {
    struct Case {
        const char* name;
        int number;
    };
    const Case cases[] = {
        {"COM1", 1},  {"COM9", 9},   {"COM128", 128}, {"COM129", 129}, {"COM255", 255},
        {"COM0", 0},  {"COM256", 0}, {"COM05", 0},    {"com5", 0},     {"COM", 0},
        {"COM5x", 0}, {"COM+5", 0},  {"COM 5", 0},    {"XCOM5", 0},    {"COM1000", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EntryPortNumber(c.name), c.number) << c.name;
    }
}

TEST(PortMapTest, PortDirectoryPrecedence) {
    struct Case {
        const char* portDir;
        const char* runtimeDir;
        unsigned uid;
        const char* expected;
    };
    const Case cases[] = {
        {"/srv/ports", "/run/user/1000", 1000, "/srv/ports"},
        {nullptr, "/run/user/1000", 1000, "/run/user/1000/tk358/ports"},
        {"", "/run/user/1000", 1000, "/run/user/1000/tk358/ports"},
        {nullptr, nullptr, 1000, "/tmp/tk358-1000/ports"},
        {"", "", 0, "/tmp/tk358-0/ports"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PortDirectoryFrom(c.portDir, c.runtimeDir, c.uid), c.expected);
    }
}

TEST(PortMapTest, PortDirectoryReadsTheEnvironmentInOrder) {
    setenv("TK358_PORT_DIR", "/a/ports", 1);
    setenv("XDG_RUNTIME_DIR", "/b", 1);
    EXPECT_EQ(PortDirectory(), "/a/ports");
    unsetenv("TK358_PORT_DIR");
    EXPECT_EQ(PortDirectory(), "/b/tk358/ports");
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(PortDirectory(), "/tmp/tk358-" + std::to_string(getuid()) + "/ports");
}

TEST(PortMapTest, DirectoryEntryWinsOverTheTable) {
    namespace fs = std::filesystem;
    const test::TempDir temp("tk358-portmap");
    ASSERT_FALSE(temp.Path().empty());
    const std::string dir = temp.Path().string();
    fs::create_symlink("/dev/null", dir + "/COM1");
    fs::create_symlink(dir + "/missing", dir + "/COM3");  // dangling: still port 3
    fs::create_symlink("/dev/null", dir + "/COM200");
    fs::create_symlink("/dev/null", dir + "/COM256");

    struct Case {
        int number;
        std::string path;
    };
    const Case cases[] = {
        {1, dir + "/COM1"},     {2, "/dev/ttyS1"}, {3, dir + "/COM3"}, {33, "/dev/ttyUSB0"},
        {200, dir + "/COM200"}, {201, ""},         {256, ""},          {0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DevicePathForPort(c.number, dir), c.path) << c.number;
    }
    EXPECT_EQ(DevicePathForPort(1, ""), "/dev/ttyS0");
    setenv("TK358_PORT_DIR", dir.c_str(), 1);
    EXPECT_EQ(DevicePathForPort(1), dir + "/COM1");
    unsetenv("TK358_PORT_DIR");
}

// Another local user must not be able to plant a COMn that wins over the
// fixed table: only a directory of our own that no one else may write to counts.
TEST(PortMapTest, PortDirectoryCountsOnlyWhenItIsOurOwn) {
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/tk358-trust-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    struct Case {
        const char* name;
        mode_t mode;
        bool foreignOwner;
        PortDirectoryTrust trust;
    };
    const Case cases[] = {
        {"own", 0700, false, PortDirectoryTrust::kOwn},
        {"readable", 0755, false, PortDirectoryTrust::kOwn},
        {"group-writable", 0770, false, PortDirectoryTrust::kForeign},
        {"others-writable", 0703, false, PortDirectoryTrust::kForeign},
        {"sticky-shared", 01777, false, PortDirectoryTrust::kForeign},
        {"another-user", 0700, true, PortDirectoryTrust::kForeign},
        {"missing", 0, false, PortDirectoryTrust::kMissing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string dir = root + "/" + c.name;
        if (c.trust != PortDirectoryTrust::kMissing) {
            ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
            fs::create_symlink("/dev/null", dir + "/COM1");
            ASSERT_EQ(chmod(dir.c_str(), c.mode), 0);
        }
        if (c.foreignOwner && chown(dir.c_str(), 65534, 65534) != 0) {
            continue;  // only root can give a directory away
        }
        EXPECT_EQ(CheckPortDirectory(dir, geteuid()), c.trust);
        setenv("TK358_PORT_DIR", dir.c_str(), 1);
        testing::internal::CaptureStderr();
        const std::string first = DevicePathForPort(1);
        const std::string second = DevicePathForPort(1);
        const std::string warnings = testing::internal::GetCapturedStderr();
        const bool own = c.trust == PortDirectoryTrust::kOwn;
        EXPECT_EQ(first, own ? dir + "/COM1" : "/dev/ttyS0");
        EXPECT_EQ(second, first);
        // One line for an ignored directory, however often it is looked at.
        const bool foreign = c.trust == PortDirectoryTrust::kForeign;
        EXPECT_EQ(warnings, foreign ? "tk358: katalog portów " + dir +
                                          " pominięty: nie należy do użytkownika albo mogą do "
                                          "niego pisać inni\n"
                                    : "");
    }
    unsetenv("TK358_PORT_DIR");
    fs::remove_all(root);
}

}  // namespace
}  // namespace tk358
