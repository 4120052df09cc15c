// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/status_indicator.h"

#include <QPainter>

namespace tk358 {

StatusIndicator::StatusIndicator(QWidget* parent)
    : QWidget(parent),
      icons_{StatusIcon(StatusImage::kNone), StatusIcon(StatusImage::kCorrect),
             StatusIcon(StatusImage::kError), StatusIcon(StatusImage::kNoLink)} {
    setFixedSize(kSize, kSize);
}

void StatusIndicator::Show(StatusImage image) {
    if (image == shown_) {
        return;
    }
    shown_ = image;
    update();
    emit imageChanged(image);
}

void StatusIndicator::paintEvent(QPaintEvent* /*event*/) {
    const QIcon& icon = icons_[static_cast<std::size_t>(shown_)];
    if (icon.isNull()) {
        return;
    }
    QPainter painter(this);
    icon.paint(&painter, rect());
}

}  // namespace tk358
