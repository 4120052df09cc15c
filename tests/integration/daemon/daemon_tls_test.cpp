// SPDX-License-Identifier: GPL-3.0-or-later
// tk358d to a broker that wants TLS and a password, as on a shared plant
// network: a CA made for the test, a server certificate for 127.0.0.1.

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <thread>

#include "daemon_fixture.h"

namespace tk358::test {
namespace {

class DaemonTlsTest : public DaemonFixture {
protected:
    std::string ExtraBrokerConfig() override {
        if (std::system("command -v openssl >/dev/null") != 0 ||
            ::access("/usr/bin/mosquitto_passwd", X_OK) != 0) {
            tlsMissing_ = true;
            return {};
        }
        std::ofstream(dir_ + "/san.cnf") << "subjectAltName=IP:127.0.0.1\n";
        std::ofstream(dir_ + "/other.cnf") << "subjectAltName=DNS:other.example\n";
        std::ofstream(dir_ + "/password.txt") << "s3cret\n";
        const std::string make =
            "cd '" + dir_ + "' && " +
            "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes "
            "-keyout ca.key -out ca.pem -days 2 -subj /CN=tk358-test-ca && "
            "openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes "
            "-keyout server.key -out server.csr -subj /CN=127.0.0.1 && "
            "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial "
            "-out server.pem -days 2 -extfile san.cnf && "
            "openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes "
            "-keyout other.key -out other.csr -subj /CN=other.example && "
            "openssl x509 -req -in other.csr -CA ca.pem -CAkey ca.key -CAcreateserial "
            "-out other.pem -days 2 -extfile other.cnf && "
            "/usr/bin/mosquitto_passwd -b -c passwords plant s3cret && "
            "chmod 0600 passwords";
        EXPECT_EQ(std::system(("(" + make + ") > '" + dir_ + "/tls.log' 2>&1").c_str()), 0)
            << ReadFile(dir_ + "/tls.log");
        tlsPort_ = FreeLoopbackPort();
        do {
            otherHostPort_ = FreeLoopbackPort();
        } while (otherHostPort_ == tlsPort_);
        return "listener " + std::to_string(tlsPort_) + " 127.0.0.1\n" + "allow_anonymous false\n" +
               "password_file " + dir_ + "/passwords\n" + "cafile " + dir_ + "/ca.pem\n" +
               "certfile " + dir_ + "/server.pem\n" + "keyfile " + dir_ + "/server.key\n" +
               // A certificate for another host name than the one tk358d connects to.
               "listener " + std::to_string(otherHostPort_) + " 127.0.0.1\n" +
               "allow_anonymous true\n" + "certfile " + dir_ + "/other.pem\n" + "keyfile " + dir_ +
               "/other.key\n";
    }

    int tlsPort_ = 0;
    int otherHostPort_ = 0;
    bool tlsMissing_ = false;
};

TEST_F(DaemonTlsTest, PublishesOverTlsWithAPassword) {
    if (tlsMissing_) {
        GTEST_SKIP() << "openssl or mosquitto_passwd is missing";
    }
    StartPanel(1);
    StartDaemon({"--mqtt", "mqtts://plant@127.0.0.1:" + std::to_string(tlsPort_), "--password-file",
                 dir_ + "/password.txt", "--ca-file", dir_ + "/ca.pem"});
    EXPECT_TRUE(WaitForAvailability("online", 15s));
    const JsonValue state = WaitForState(
        [](const JsonValue& s) { return s["link"].String() == "ok" && s["kind"].Number() == 1; },
        20s);
    ASSERT_TRUE(state.IsObject());
    EXPECT_TRUE(state["drainValve"].IsObject() || state["drainValve"].IsNull());
    EXPECT_TRUE(state.Has("regulator"));
}

// libmosquitto does not retry a failed handshake: tk358d ends, so that its
// supervisor starts it again.
TEST_F(DaemonTlsTest, CertificateForAnotherHostEndsTheProcessWithTheReason) {
    if (tlsMissing_) {
        GTEST_SKIP() << "openssl or mosquitto_passwd is missing";
    }
    StartPanel(1);
    const auto start = std::chrono::steady_clock::now();
    StartDaemon({"--mqtt", "mqtts://127.0.0.1:" + std::to_string(otherHostPort_), "--ca-file",
                 dir_ + "/ca.pem"});
    EXPECT_EQ(daemon_->Wait(10s), std::optional<int>(1)) << Output();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_NE(Output().find("host name verification failed"), std::string::npos) << Output();
    EXPECT_TRUE(listener_->On(Base() + "/availability").empty());
}

TEST_F(DaemonTlsTest, WrongPasswordIsReportedAndRetriedWhileTheLogGoesOn) {
    if (tlsMissing_) {
        GTEST_SKIP() << "openssl or mosquitto_passwd is missing";
    }
    std::ofstream(dir_ + "/wrong.txt") << "guess\n";
    StartPanel(1);
    StartDaemon({"--mqtt", "mqtts://plant@127.0.0.1:" + std::to_string(tlsPort_), "--password-file",
                 dir_ + "/wrong.txt", "--ca-file", dir_ + "/ca.pem"});
    std::this_thread::sleep_for(8s);
    EXPECT_TRUE(daemon_->Running());
    EXPECT_TRUE(listener_->On(Base() + "/availability").empty());
    EXPECT_NE(Output().find("odmówił połączenia"), std::string::npos) << Output();
    EXPECT_NE(LogText().find("Data i Godzina"), std::string::npos);
}

}  // namespace
}  // namespace tk358::test
