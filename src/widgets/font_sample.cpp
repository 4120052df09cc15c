// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/font_sample.h"

#include <QPainter>
#include <QStyleOptionFocusRect>
#include <algorithm>

namespace tk358 {
namespace {

constexpr int kMinWidth = 240;
constexpr int kMaxWidth = 640;
constexpr int kMinHeight = 32;
constexpr int kMaxHeight = 200;
constexpr int kPadding = 16;

}  // namespace

FontSample::FontSample(QWidget* parent) : QAbstractButton(parent) {
    setText(QString::fromLatin1(kSampleText));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void FontSample::SetSampleFont(const QFont& font) {
    sampleFont_ = font;
    updateGeometry();
    update();
}

QSize FontSample::sizeHint() const {
    const QFontMetrics metrics(sampleFont_, this);
    const QSize textSize = metrics.size(Qt::TextSingleLine, text());
    return QSize(std::clamp(textSize.width() + 2 * kPadding, kMinWidth, kMaxWidth),
                 std::clamp(textSize.height() + kPadding / 2, kMinHeight, kMaxHeight));
}

void FontSample::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Text));
    painter.setFont(sampleFont_);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

}  // namespace tk358
