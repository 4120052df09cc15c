// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/desktop_open.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>

namespace tk358 {

bool OpenWithDesktop(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

void ShowOpenFailure(QWidget* parent, const QString& message) {
    QMessageBox::warning(parent, QGuiApplication::applicationDisplayName(), message);
}

}  // namespace tk358
