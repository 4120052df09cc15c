// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/colour_swatch.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

#include "widgets/qt_colour.h"

namespace tk358 {

ColourSwatch::ColourSwatch(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void ColourSwatch::SetColour(Colorref colour) {
    colour_ = NormalizeColorref(colour);
    update();
}

void ColourSwatch::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(colour_));
    // A thin frame keeps a swatch visible when its colour is the dialog's own.
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(3, 3, -3, -3);
        option.backgroundColor = ToQColor(colour_);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

}  // namespace tk358
