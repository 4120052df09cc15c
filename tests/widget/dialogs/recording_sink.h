// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Records the message boxes a dialog would show, instead of blocking on them.

#include <QString>
#include <QStringList>
#include <vector>

#include "dialogs/message_box.h"

namespace tk358::test {

class RecordingSink final : public MessageSink {
public:
    struct Box {
        MessageIcon icon;
        QString text;
    };

    void Show(QWidget*, MessageIcon icon, const QString& text) override {
        boxes.push_back({icon, text});
    }
    bool Ask(QWidget*, const QString& text) override {
        boxes.push_back({MessageIcon::Warning, text});
        return answer;
    }

    QStringList Texts() const {
        QStringList texts;
        for (const Box& box : boxes) {
            texts << box.text;
        }
        return texts;
    }

    std::vector<Box> boxes;
    bool answer = true;
};

}  // namespace tk358::test
