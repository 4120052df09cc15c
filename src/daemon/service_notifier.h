// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What tk358d tells systemd (Type=notify): ready once the panel side and the
// broker client have started, reloading and ready again around a SIGHUP,
// stopping at the end, and "alive" to the watchdog. Through libsystemd's
// sd_notify, so nothing happens outside systemd ($NOTIFY_SOCKET unset);
// a build without libsystemd leaves all of it out.

#include <chrono>
#include <optional>
#include <string>

namespace tk358 {

class ServiceNotifier {
public:
    // Reads the watchdog time systemd set ($WATCHDOG_USEC).
    ServiceNotifier();

    void Ready(const std::string& status) const;
    void Reloading() const;
    void Stopping() const;
    // STATUS=: one line for `systemctl status`.
    void Status(const std::string& line) const;
    // WATCHDOG=1.
    void Alive() const;

    // How often Alive is due: half the watchdog time; nothing without a watchdog.
    std::optional<std::chrono::microseconds> AlivePeriod() const { return alivePeriod_; }

private:
    std::optional<std::chrono::microseconds> alivePeriod_;
};

}  // namespace tk358
