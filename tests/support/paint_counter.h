// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Counts the paint events a widget receives and gathers the region they
// painted, for tests of when and where it repaints.

#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QRegion>

namespace tk358::test {

class PaintCounter : public QObject {
public:
    explicit PaintCounter(QObject* watched) { watched->installEventFilter(this); }

    int Count() const { return count_; }
    const QRegion& Painted() const { return painted_; }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++count_;
            painted_ |= static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }

private:
    int count_ = 0;
    QRegion painted_;
};

}  // namespace tk358::test
