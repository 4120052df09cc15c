#pragma once

// The program's message boxes. Dialogs show them through a MessageSink so that
// tests can record the texts instead of blocking on a modal box.

#include <QString>

class QWidget;

namespace tk358 {

enum class MessageIcon {
    Warning,      // exclamation mark: failures and refused input
    Information,  // "i": hints such as a missing choice
};

class MessageSink {
public:
    virtual ~MessageSink() = default;

    // A box with the icon, the text and an OK button; returns when it is closed.
    virtual void Show(QWidget* parent, MessageIcon icon, const QString& text) = 0;
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
    bool Ask(QWidget* parent, const QString& text) override;
};

}  // namespace tk358
