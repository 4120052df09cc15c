// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Handing a URL to the desktop (never a shell command line), and telling the
// user when that failed. Both are replaceable where they are used, so tests
// need no browser and no message box.

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace tk358 {

// Opens a URL with the desktop's handler; false when it could not.
using UrlOpener = std::function<bool(const QUrl& url)>;
// Tells the user why a URL did not open.
using OpenFailureNotifier = std::function<void(QWidget* parent, const QString& message)>;

bool OpenWithDesktop(const QUrl& url);
// A warning box titled with the program's name.
void ShowOpenFailure(QWidget* parent, const QString& message);

}  // namespace tk358
