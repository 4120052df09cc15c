// SPDX-License-Identifier: GPL-3.0-or-later
// The port listing finds simulated panels through the port directory, by
// their number, for as long as they are plugged in.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "link/port_enumeration.h"
#include "sim/pty_simulator.h"
#include "support/temp_dir.h"

namespace tk358 {
namespace {

class PortListingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(root_.Path().empty());
        ports_ = root_.File("ports");
        // Before any thread starts: the listing finds the port directory through it.
        ::setenv("TK358_PORT_DIR", ports_.c_str(), 1);
    }

    static std::string Listing() {
        int count = 0;
        std::string text;
        EXPECT_TRUE(EnumerateComPorts(count, text));
        return text;
    }

    static std::string Line(const sim::PtySimulator& simulator) {
        return "COM" + std::to_string(simulator.PortNumber()) + ":→ " + simulator.DevicePath() +
               "\n";
    }

    test::TempDir root_{"tk358-listing-test"};
    std::string ports_;
};

TEST_F(PortListingTest, SimulatedPanelsAreListedWhilePluggedIn) {
    sim::PtySimulator first({});
    sim::PtySimulator second({});
    std::string error;
    ASSERT_TRUE(first.Start(&error)) << error;
    ASSERT_TRUE(second.Start(&error)) << error;
    ASSERT_EQ(first.PortNumber(), sim::kFirstSimulatedPort);
    ASSERT_EQ(second.PortNumber(), sim::kFirstSimulatedPort + 1);

    std::string text = Listing();
    const std::size_t firstAt = text.find(Line(first));
    ASSERT_NE(firstAt, std::string::npos) << text;
    EXPECT_EQ(text.find(Line(second)), firstAt + Line(first).size()) << text;

    first.Vanish();
    text = Listing();
    EXPECT_EQ(text.find("COM200"), std::string::npos) << text;
    EXPECT_NE(text.find(Line(second)), std::string::npos) << text;

    ASSERT_TRUE(first.Reappear(&error)) << error;
    EXPECT_NE(Listing().find(Line(first)), std::string::npos);
}

}  // namespace
}  // namespace tk358
