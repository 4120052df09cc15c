// tk358d's own health against a real broker: refusals of a broker's ACL are
// logged once and counted, and a log folder that cannot be written at the
// start stops neither the process nor its publishing.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "daemon_fixture.h"

namespace tk358::test {
namespace {

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

bool LinkOk(const JsonValue& state) {
    return state["link"].String() == "ok";
}

class DaemonHealthTest : public DaemonFixture {
protected:
    // A listener for the user "plant", who may use tk358/# but not the
    // discovery prefix.
    std::string ExtraBrokerConfig() override {
        std::ofstream(dir_ + "/password.txt") << "s3cret\n";
        return broker_->AclListener("plant", "s3cret", "user plant\ntopic readwrite tk358/#\n",
                                    &aclPort_, &aclError_);
    }

    JsonValue WaitForHealth(const std::function<bool(const JsonValue&)>& match,
                            std::chrono::milliseconds timeout) {
        JsonValue found;
        listener_->WaitFor(
            Base() + "/health",
            [&](const ReceivedMessage& m) {
                const std::optional<JsonValue> json = JsonValue::Parse(m.payload);
                if (json && match(*json)) {
                    found = *json;
                    return true;
                }
                return false;
            },
            timeout);
        return found;
    }

    int aclPort_ = 0;
    std::string aclError_;
};

TEST_F(DaemonHealthTest, RefusalsOfTheAclAreLoggedOncePerClassAndCounted) {
    if (aclPort_ == 0) {
        GTEST_SKIP() << aclError_;
    }
    StartPanel(3);
    StartDaemon({"--mqtt", "mqtt://plant@127.0.0.1:" + std::to_string(aclPort_), "--password-file",
                 dir_ + "/password.txt", "--ha-discovery"});
    ASSERT_TRUE(WaitForState(LinkOk, 20s).IsObject()) << "the allowed topics are refused";
    // Every discovery config is refused, one log line says so (a count that
    // grows after the first refusals is published within 10 s).
    const JsonValue health =
        WaitForHealth([](const JsonValue& h) { return h["refusals"].Number() >= 5; }, 15s);
    ASSERT_TRUE(health.IsObject()) << "refusals not counted";
    const std::string out = Output();
    EXPECT_EQ(Count(out, "broker odmówił"), 1) << out;
    EXPECT_EQ(Count(out, "broker odmówił publikacji (discovery) homeassistant/"), 1) << out;
    EXPECT_EQ(Count(out, ": brak uprawnień (Not authorized), kod 0x87;"), 1) << out;
    EXPECT_TRUE(daemon_->Running());
}

TEST_F(DaemonHealthTest, LogFolderUnwritableAtTheStartIsReportedOnceAndWrittenOnceItWorks) {
    // A regular file where the folder should be stops root as well.
    const std::string folder = dir_ + "/logs";
    std::ofstream(folder) << "not a folder\n";
    StartPanel(0);
    StartDaemon({"--log", folder + "/pomiary.csv"});
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(WaitForState(LinkOk, 20s).IsObject()) << "no state reached the broker";
    const JsonValue failing =
        WaitForHealth([](const JsonValue& h) { return h["log"].String() == "failing"; }, 5s);
    ASSERT_TRUE(failing.IsObject());
    EXPECT_NE(failing["logError"].String().find("niedostępny"), std::string::npos)
        << failing["logError"].String();
    // Past two tries of the first lines, 6 s and 7 s after the start.
    std::this_thread::sleep_until(started + 8s);
    EXPECT_TRUE(daemon_->Running());

    std::filesystem::remove(folder);
    std::filesystem::create_directory(folder);
    listener_->Clear();
    EXPECT_TRUE(
        WaitForHealth([](const JsonValue& h) { return h["log"].String() == "ok"; }, 5s).IsObject());
    EXPECT_NE(ReadFile(folder + "/pomiary.csv").find("Data i Godzina"), std::string::npos);
    const std::string out = Output();
    EXPECT_EQ(Count(out, "niedostępny"), 1) << out;
    EXPECT_EQ(Count(out, "zapis do pliku rejestracji znów się udaje"), 1) << out;
}

}  // namespace
}  // namespace tk358::test
