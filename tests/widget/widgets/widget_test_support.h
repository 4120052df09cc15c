// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers shared by the widget tests.

#include <QApplication>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace tk358::test {

// Lets posted updates reach their paint events.
inline void Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

// Runs `action` on the next modal dialog of type T as soon as it is shown
// (polls, since exec() shows the dialog from inside its own event loop).
template <typename T>
void OnNextModal(std::function<void(T*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        }
    });
    timer->start();
}

// Number of pixels in `rect` of `image` that are not `colour`.
inline int PixelsOtherThan(const QImage& image, const QRect& rect, QRgb colour) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFFu) != (colour & 0xFFFFFFu)) {
                ++count;
            }
        }
    }
    return count;
}

// Bounding box of the pixels in `rect` that are not `background`.
inline QRect InkBox(const QImage& image, const QRect& rect, QRgb background) {
    QRect box;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFFu) != (background & 0xFFFFFFu)) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

}  // namespace tk358::test
