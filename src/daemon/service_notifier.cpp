// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/service_notifier.h"

#if TK358_HAVE_LIBSYSTEMD
#include <systemd/sd-daemon.h>
#endif

namespace tk358 {

namespace {

void Notify([[maybe_unused]] const std::string& state) {
#if TK358_HAVE_LIBSYSTEMD
    ::sd_notify(0, state.c_str());
#endif
}

}  // namespace

ServiceNotifier::ServiceNotifier() {
#if TK358_HAVE_LIBSYSTEMD
    uint64_t usec = 0;
    if (::sd_watchdog_enabled(0, &usec) > 0 && usec > 0) {
        alivePeriod_ = std::chrono::microseconds(usec / 2);
    }
#endif
}

void ServiceNotifier::Ready(const std::string& status) const {
    Notify("READY=1\nSTATUS=" + status);
}

void ServiceNotifier::Reloading() const {
    Notify("RELOADING=1");
}

void ServiceNotifier::Stopping() const {
    Notify("STOPPING=1");
}

void ServiceNotifier::Status(const std::string& line) const {
    Notify("STATUS=" + line);
}

void ServiceNotifier::Alive() const {
    Notify("WATCHDOG=1");
}

}  // namespace tk358
