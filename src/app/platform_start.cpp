// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/platform_start.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace tk358 {

namespace {

struct HeldMessage {
    QtMsgType type;
    QString text;
};

// The message handler is a plain function: its state lives here, for the one
// guard that exists during the start.
std::string failureText;
std::vector<HeldMessage> held;
QtMessageHandler previous = nullptr;

void HoldMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtFatalMsg) {
        // Qt is half way through its start: no destructors, no abort.
        std::fputs(failureText.c_str(), stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    held.push_back({type, text});
}

}  // namespace

PlatformStartGuard::PlatformStartGuard(std::string failureLine) {
    failureText = std::move(failureLine);
    held.clear();
    previous = qInstallMessageHandler(HoldMessage);
}

PlatformStartGuard::~PlatformStartGuard() {
    qInstallMessageHandler(previous);
    const QMessageLogContext context;
    for (const HeldMessage& message : held) {
        if (previous != nullptr) {
            previous(message.type, context, message.text);
        }
    }
    held.clear();
}

}  // namespace tk358
