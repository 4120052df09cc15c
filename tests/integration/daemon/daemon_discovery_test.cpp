// SPDX-License-Identifier: GPL-3.0-or-later
// Home Assistant's entities across a restart while the panel is silent: the
// panel remembered in the state directory keeps its entities, unavailable
// through the link topic, until it answers.

#include <filesystem>
#include <thread>

#include "daemon_fixture.h"
#include "support/temp_dir.h"

namespace tk358::test {
namespace {

using DaemonDiscoveryTest = DaemonFixture;

TEST_F(DaemonDiscoveryTest, ASilentPanelAtTheStartKeepsTheRememberedEntities) {
    std::filesystem::create_directories(StateDir());
    WriteFile(StateDir() + "/tk358_line.panel",
              "kind=3\nserial=3105\nnoNumber=0\nhardware=5\nfirmware=107\n");
    StartPanel(3);
    panel_->SilenceUntilResumed();
    StartDaemon({"--ha-discovery"});
    const std::string node = "/tk358_line/";

    // Past the first contact due: the link is reported lost.
    ASSERT_TRUE(WaitForState([](const JsonValue& s) { return s["link"].String() == "lost"; }, 25s)
                    .IsObject());
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(WaitForRetained(Base() + "/link", "offline", 1s));
    int configs = 0;
    for (const ReceivedMessage& m : listener_->Messages()) {
        if (m.topic.find(node) == std::string::npos) {
            continue;
        }
        ASSERT_FALSE(m.payload.empty()) << "removed while the panel is silent: " << m.topic;
        const std::optional<JsonValue> config = JsonValue::Parse(m.payload);
        ASSERT_TRUE(config) << m.payload;
        EXPECT_EQ((*config)["device"]["model"].String(), "TK-358D") << m.topic;
        ++configs;
    }
    EXPECT_GE(configs, 18);  // those of a TK-358D without writes
}

}  // namespace
}  // namespace tk358::test
