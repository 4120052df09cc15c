#pragma once

// Counts the paint events a widget receives, for tests of when it repaints.

#include <QEvent>
#include <QObject>

namespace tk358::test {

class PaintCounter : public QObject {
public:
    explicit PaintCounter(QObject* watched) { watched->installEventFilter(this); }

    int Count() const { return count_; }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++count_;
        }
        return false;
    }

private:
    int count_ = 0;
};

}  // namespace tk358::test
