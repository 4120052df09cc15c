// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/port_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tk358 {
namespace {

using Entries = std::vector<std::string>;

TEST(PortListTest, ListingTextToEntries) {
    const struct {
        const char* listing;
        Entries entries;
    } cases[] = {
        {"COM1:Port szeregowy (/dev/ttyS0)\nCOM33:FT232R USB UART (/dev/ttyUSB0)\n",
         {"COM1 (Port szeregowy (/dev/ttyS0))", "COM33 (FT232R USB UART (/dev/ttyUSB0))"}},
        {"COM5:a:b\n", {"COM5 (a:b)"}},
        {"COM7\n\n\nCOM8:\n", {"COM7", "COM8 ()"}},
        {"COM1:first\nCOM2:no line feed", {"COM1 (first)"}},
        {"COM2:no line feed at all", {}},
        {"", {}},
        {"\n", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PortEntriesFromListing(c.listing), c.entries) << c.listing;
    }
}

TEST(PortListTest, CurrentPortText) {
    EXPECT_EQ(CurrentPortText(0), "Aktualnie żaden port nie jest używany");
    EXPECT_EQ(CurrentPortText(12), "Aktualnie używany port: COM12");
}

TEST(PortListTest, SelectionOfThePortInUse) {
    const Entries entries = {"COM1 (a)", "COM12 (b)", "COM2 (c)", "COM2 (d)", "COM3"};
    const struct {
        int port;
        std::optional<std::size_t> selected;
    } cases[] = {
        {0, std::nullopt},
        {1, 0},  // not "COM12 (b)"
        {12, 1},
        {2, 3},  // the last match wins
        {3, 4},
        {4, std::nullopt},
        {-1, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SelectedPortEntry(entries, c.port), c.selected) << c.port;
    }
    // The port in use is gone, only a longer number is listed.
    EXPECT_EQ(SelectedPortEntry({"COM12 (b)", "CO"}, 1), std::nullopt);
    EXPECT_EQ(SelectedPortEntry({}, 1), std::nullopt);
}

TEST(PortListTest, PortNumberOfTheChosenEntry) {
    const std::pair<const char*, int> cases[] = {
        {"COM12 (FT232R)", 12},
        {"  COM3", 3},
        {"COM0 (x)", 0},
        {"COM", 0},
        {"COMx", 0},
        {"", 0},
        {"   ", 0},
        {"COM-4", -4},
        {"XYZ7", 7},
        {"COM99999999999", 2147483647},
    };
    for (auto [entry, number] : cases) {
        EXPECT_EQ(PortNumberOfEntry(entry), number) << '"' << entry << '"';
    }
    EXPECT_STREQ(kNoPortChosenMessage, "Nie wybrano żadnego portu.");
}

}  // namespace
}  // namespace tk358
