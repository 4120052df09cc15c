// SPDX-License-Identifier: GPL-3.0-or-later
// tk358d's own health against a real broker: an ACL's refusals are logged
// once and counted; an unwritable log folder at the start stops nothing.

#include <filesystem>
#include <thread>

#include "daemon_fixture.h"
#include "support/temp_dir.h"

namespace tk358::test {
namespace {

auto LinkOk = [](const JsonValue& state) { return state["link"].String() == "ok"; };

class DaemonHealthTest : public DaemonFixture {
protected:
    // The user "plant" may use tk358/# but not the discovery prefix.
    std::string ExtraBrokerConfig() override {
        WriteFile(dir_ + "/password.txt", "s3cret\n");
        return broker_->AclListener("plant", "s3cret", "user plant\ntopic readwrite tk358/#\n",
                                    &aclPort_);
    }

    JsonValue WaitForHealth(const std::function<bool(const JsonValue&)>& match) {
        const ReceivedMessage m = listener_->WaitFor(
            Base() + "/health",
            [&](const ReceivedMessage& message) {
                const std::optional<JsonValue> json = JsonValue::Parse(message.payload);
                return json && match(*json);
            },
            15s);
        return JsonValue::Parse(m.payload).value_or(JsonValue());
    }

    int aclPort_ = 0;
};

TEST_F(DaemonHealthTest, RefusalsOfTheAclAreLoggedOncePerClassAndCounted) {
    if (aclPort_ == 0) {
        GTEST_SKIP() << "mosquitto_passwd is missing";
    }
    StartPanel(3);
    StartDaemon({"--mqtt", "mqtt://plant@127.0.0.1:" + std::to_string(aclPort_), "--password-file",
                 dir_ + "/password.txt", "--ha-discovery"});
    ASSERT_TRUE(WaitForState(LinkOk, 20s).IsObject()) << "the allowed topics are refused";
    // Every discovery config is refused, one log line says so (a count that
    // grows after the first refusals is published within 10 s).
    ASSERT_TRUE(
        WaitForHealth([](const JsonValue& h) { return h["refusals"].Number() >= 5; }).IsObject());
    EXPECT_EQ(Occurrences(Output(), "broker odmówił"), 1);
    EXPECT_EQ(Occurrences(Output(), "odmówił publikacji (discovery) homeassistant/"), 1);
    EXPECT_EQ(Occurrences(Output(), ": brak uprawnień (Not authorized), kod 0x87;"), 1);
}

TEST_F(DaemonHealthTest, LogFolderUnwritableAtTheStartIsReportedOnceAndWrittenOnceItWorks) {
    // A regular file where the folder should be stops root as well.
    const std::string folder = dir_ + "/logs";
    WriteFile(folder, "not a folder\n");
    StartPanel(0);
    StartDaemon({"--log", folder + "/pomiary.csv"});
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(WaitForState(LinkOk, 20s).IsObject()) << "no state reached the broker";
    const JsonValue failing =
        WaitForHealth([](const JsonValue& h) { return h["log"].String() == "failing"; });
    EXPECT_NE(failing["logError"].String().find("niedostępny"), std::string::npos);
    // Past two tries of the first lines, 6 s and 7 s after the start.
    std::this_thread::sleep_until(started + 8s);
    EXPECT_TRUE(daemon_->Running());
    std::filesystem::remove(folder);
    std::filesystem::create_directory(folder);
    listener_->Clear();
    EXPECT_TRUE(
        WaitForHealth([](const JsonValue& h) { return h["log"].String() == "ok"; }).IsObject());
    EXPECT_NE(ReadFile(folder + "/pomiary.csv").find("Data i Godzina"), std::string::npos);
    EXPECT_EQ(Occurrences(Output(), "niedostępny"), 1);
    EXPECT_EQ(Occurrences(Output(), "zapis do pliku rejestracji znów się udaje"), 1);
}

}  // namespace
}  // namespace tk358::test
