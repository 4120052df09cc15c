// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/quit_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>

namespace tk358 {

namespace {

constexpr std::array<int, 3> kQuitSignals = {SIGTERM, SIGINT, SIGHUP};

// The pipe the handler writes to; a signal handler can reach nothing else.
int signalPipe[2] = {-1, -1};

extern "C" void OnQuitSignal(int /*signo*/) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;  // the default actions stay: the program then ends unsaved
    }
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::Drain);
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signo : kQuitSignals) {
        ::sigaction(signo, &action, nullptr);
    }
}

QuitSignals::~QuitSignals() {
    if (notifier_ == nullptr) {
        return;
    }
    for (int signo : kQuitSignals) {
        ::signal(signo, SIG_DFL);
    }
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void QuitSignals::Drain() {
    char buffer[16];
    while (::read(signalPipe[0], buffer, sizeof buffer) > 0) {
    }
    received_ = true;
    emit quitRequested();
}

}  // namespace tk358
