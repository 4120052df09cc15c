// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's message boxes. Dialogs show them through a MessageSink so that
// tests can record the texts instead of blocking on a modal box.

#include <QPointer>
#include <QString>

class QWidget;

namespace tk358 {

enum class MessageIcon {
    Warning,      // exclamation mark: failures and refused input in dialogs
    Information,  // "i": hints such as a missing choice
    Plain,        // no icon: the main window's plain notices
};

class MessageSink {
public:
    virtual ~MessageSink() = default;

    // A box with the icon, the text and an OK button; returns when it is closed.
    virtual void Show(QWidget* parent, MessageIcon icon, const QString& text) = 0;
    // The same box without waiting for it: it stays up until the operator
    // closes it while timers and work go on. Returns the box while it is open
    // (null once closed, or for a sink without boxes). By default the box is
    // shown as Show does, for sinks that never block.
    virtual QPointer<QObject> Notify(QWidget* parent, MessageIcon icon, const QString& text) {
        Show(parent, icon, text);
        return nullptr;
    }
    // A question with Yes and No; true for Yes.
    virtual bool Ask(QWidget* parent, const QString& text) = 0;

protected:
    MessageSink() = default;
    MessageSink(const MessageSink&) = default;
    MessageSink& operator=(const MessageSink&) = default;
};

// Real QMessageBox boxes. The standard buttons read Polish through the Qt
// translation that the application loads; the caption is the application name.
class MessageBoxSink final : public MessageSink {
public:
    void Show(QWidget* parent, MessageIcon icon, const QString& text) override;
    // Not modal: the operator may go on working with the box up.
    QPointer<QObject> Notify(QWidget* parent, MessageIcon icon, const QString& text) override;
    bool Ask(QWidget* parent, const QString& text) override;
};

}  // namespace tk358
