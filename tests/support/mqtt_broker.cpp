// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/mqtt_broker.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace tk358::test {

namespace {

bool Accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

std::string MosquittoBroker::Executable() {
    for (const char* path :
         {"/usr/sbin/mosquitto", "/usr/bin/mosquitto", "/usr/local/sbin/mosquitto"}) {
        if (::access(path, X_OK) == 0) {
            return path;
        }
    }
    return {};
}

MosquittoBroker::MosquittoBroker(std::string directory) : directory_(std::move(directory)) {}

MosquittoBroker::~MosquittoBroker() {
    Stop();
}

bool MosquittoBroker::Start(std::string* error) {
    if (port_ == 0) {
        port_ = FreeLoopbackPort();
    }
    const std::string config = directory_ + "/mosquitto.conf";
    {
        std::ofstream file(config);
        file << "per_listener_settings true\n"
             << "persistence false\n"
             << "log_dest stderr\n"
             << "log_type error\nlog_type warning\nlog_type notice\n";
        // As root the broker would change to the user "mosquitto" otherwise.
        if (::geteuid() == 0) {
            file << "user root\n";
        }
        file << "listener " << port_ << " 127.0.0.1\n"
             << "allow_anonymous true\n"
             << extraConfig_;
    }
    process_ = std::make_unique<ChildProcess>();
    if (!process_->Start(Executable(), {"-c", config}, directory_ + "/mosquitto.log")) {
        *error = "mosquitto did not start";
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (Accepts(port_)) {
            return true;
        }
        if (!process_->Running()) {
            *error = "mosquitto ended: " + ReadFile(directory_ + "/mosquitto.log");
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    *error = "mosquitto does not accept connections on port " + std::to_string(port_);
    return false;
}

std::string MosquittoBroker::AclListener(const std::string& user, const std::string& password,
                                         const std::string& acl, int* port) {
    const std::string passwords = directory_ + "/acl-passwords";
    std::ofstream(directory_ + "/acl") << acl;
    if (std::system(("/usr/bin/mosquitto_passwd -b -c '" + passwords + "' '" + user + "' '" +
                     password + "' >/dev/null 2>&1 && chmod 0600 '" + passwords + "'")
                        .c_str()) != 0) {
        return {};
    }
    port_ = port_ != 0 ? port_ : FreeLoopbackPort();  // the plain listener's, so that they differ
    do {
        *port = FreeLoopbackPort();
    } while (*port == port_);
    return "listener " + std::to_string(*port) + " 127.0.0.1\nallow_anonymous false\n" +
           "password_file " + passwords + "\nacl_file " + directory_ + "/acl\n";
}

void MosquittoBroker::Stop() {
    if (!process_) {
        return;
    }
    process_->Signal(SIGTERM);
    if (!process_->Wait(std::chrono::seconds(10))) {
        process_->Kill();
    }
    process_.reset();
}

}  // namespace tk358::test
