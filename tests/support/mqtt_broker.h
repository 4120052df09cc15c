// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A real mosquitto broker for tests, on a free loopback port, with a
// generated configuration; started and stopped by the test. Its port stays
// the same across a stop and a start, so clients can reconnect to it.

#include <memory>
#include <string>

#include "support/child_process.h"

namespace tk358::test {

class MosquittoBroker {
public:
    // The mosquitto executable, or empty when it is not installed.
    static std::string Executable();

    // Configuration and output go into `directory`.
    explicit MosquittoBroker(std::string directory);
    ~MosquittoBroker();

    // Configuration lines after the plain listener, such as a second
    // listener with TLS and passwords. Settings follow their listener.
    void SetExtraConfig(std::string lines) { extraConfig_ = std::move(lines); }

    // For SetExtraConfig: a listener on `port` for `user` only, who may do what
    // `acl` (ACL file lines) allows. Empty without mosquitto_passwd.
    std::string AclListener(const std::string& user, const std::string& password,
                            const std::string& acl, int* port);

    // Starts the broker and waits until it accepts connections.
    bool Start(std::string* error);
    // Ends it with SIGTERM and waits.
    void Stop();

    int Port() const { return port_; }
    std::string Url() const { return "mqtt://127.0.0.1:" + std::to_string(port_); }

private:
    std::string directory_;
    int port_ = 0;
    std::string extraConfig_;
    std::unique_ptr<ChildProcess> process_;
};

// A loopback TCP port nobody listens on right now.
int FreeLoopbackPort();

}  // namespace tk358::test
