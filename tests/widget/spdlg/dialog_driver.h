// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Driving a dialog as the operator does: typing into fields, leaving them,
// pressing OK or Enter, and waiting for the worker to finish.

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tk358::test {

// Shows the dialog as the active window, so that focus changes are delivered.
inline bool ShowActive(QDialog& dialog) {
    dialog.show();
    if (!dialog.isVisible()) {
        return false;  // its opening refused
    }
    QApplication::setActiveWindow(&dialog);
    return QTest::qWaitForWindowActive(&dialog);
}

template <typename T = QLineEdit>
T* Field(const QWidget& dialog, const QString& name) {
    return dialog.findChild<T*>(name);
}

// Focuses the edit and replaces its text by typing.
inline void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

inline QPushButton* Button(const QWidget& dialog, const QString& name) {
    return dialog.findChild<QPushButton*>(name);
}

// A mouse click on OK: the edit holding the focus loses it first.
inline void ClickOk(const QWidget& dialog) {
    QTest::mouseClick(Button(dialog, QStringLiteral("okButton")), Qt::LeftButton);
}

inline QString FocusName() {
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr ? focus->objectName() : QString();
}

inline QStringList ToQStringList(const std::vector<std::string>& calls) {
    QStringList list;
    for (const std::string& call : calls) {
        list << QString::fromStdString(call);
    }
    return list;
}

// Runs `action` once on the first visible modal dialog named `name`. The
// watch ends with the returned timer, so keep it for the test's scope; a dialog
// that does not appear within five seconds is not waited for.
[[nodiscard]] inline std::unique_ptr<QTimer> WhenModal(const QString& name,
                                                       std::function<void(QDialog*)> action) {
    auto poll = std::make_unique<QTimer>();
    QTimer* timer = poll.get();
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog != nullptr && dialog->objectName() == name && dialog->isVisible()) {
            timer->stop();
            action(dialog);
        } else if (started->elapsed() > 5000) {
            timer->stop();
        }
    });
    timer->start(10);
    return poll;
}

}  // namespace tk358::test
