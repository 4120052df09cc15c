#include "dialogs/message_box.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace tk358 {

void MessageBoxSink::Show(QWidget* parent, MessageIcon icon, const QString& text) {
    const QString caption = QGuiApplication::applicationDisplayName();
    if (icon == MessageIcon::Information) {
        QMessageBox::information(parent, caption, text, QMessageBox::Ok);
    } else {
        QMessageBox::warning(parent, caption, text, QMessageBox::Ok);
    }
}

QPointer<QObject> MessageBoxSink::Notify(QWidget* parent, MessageIcon icon, const QString& text) {
    auto* box = new QMessageBox(
        icon == MessageIcon::Information ? QMessageBox::Information : QMessageBox::Warning,
        QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
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
