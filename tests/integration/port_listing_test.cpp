// The port listing finds simulated panels through the port directory, by
// their number, for as long as they are plugged in.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "link/port_enumeration.h"
#include "sim/pty_simulator.h"

namespace tk358 {
namespace {

class PortListingTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tk358-listing-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        ports_ = root_ + "/ports";
        // Before any thread starts: the listing finds the port directory through it.
        ::setenv("TK358_PORT_DIR", ports_.c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

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

    std::string root_;
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
