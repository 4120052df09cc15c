// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/message_box.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace tk358 {
namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Plain:
            return QMessageBox::NoIcon;
        case MessageIcon::Warning:
            break;
    }
    return QMessageBox::Warning;
}

}  // namespace

void MessageBoxSink::Show(QWidget* parent, MessageIcon icon, const QString& text) {
    QMessageBox box(BoxIcon(icon), QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok,
                    parent);
    box.exec();
}

QPointer<QObject> MessageBoxSink::Notify(QWidget* parent, MessageIcon icon, const QString& text) {
    auto* box = new QMessageBox(BoxIcon(icon), QGuiApplication::applicationDisplayName(), text,
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    return box;
}

bool MessageBoxSink::Ask(QWidget* parent, const QString& text) {
    const QString caption = QGuiApplication::applicationDisplayName();
    return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

}  // namespace tk358
