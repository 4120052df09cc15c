// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The link and readings indicator at the left of the status line: one of three
// 24 by 24 images, or none until the first is set.

#include <QIcon>
#include <QWidget>
#include <array>

#include "widgets/icons.h"

namespace tk358 {

class StatusIndicator : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSize = 24;

    explicit StatusIndicator(QWidget* parent = nullptr);

    // Each shows one image; asking for the image already shown does nothing.
    void ShowCorrect() { Show(StatusImage::kCorrect); }
    void ShowError() { Show(StatusImage::kError); }
    void ShowNoLink() { Show(StatusImage::kNoLink); }

    QSize sizeHint() const override { return QSize(kSize, kSize); }

signals:
    void imageChanged(tk358::StatusImage image);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Show(StatusImage image);

    std::array<QIcon, 4> icons_;
    StatusImage shown_ = StatusImage::kNone;
};

}  // namespace tk358
