// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/read_only_field.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>

namespace tk358 {

ReadOnlyField::ReadOnlyField(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setBackgroundRole(QPalette::Base);
}

void ReadOnlyField::setText(const QString& text) {
    if (text == cell_.Text()) {
        return;
    }
    const QRect dirty = cell_.SetText(text, rect(), isVisible());
    if (!dirty.isEmpty()) {
        update(dirty);
    }
    if (QAccessible::isActive()) {
        setAccessibleName(text);
    }
    emit textChanged(text);
}

QSize ReadOnlyField::sizeHint() const {
    // Measured on a frameless line edit of the same font once per call;
    // the window asks for it when it lays out, not per text.
    QLineEdit model;
    model.setFrame(false);
    model.setFont(font());
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    return model.sizeHint() + QSize(0, 2 * frame);
}

void ReadOnlyField::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    cell_.Paint(painter, rect(), event->rect(), *this);
}

void ReadOnlyField::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        cell_.ForgetLayout();
        update();
    }
    QWidget::changeEvent(event);
}

void ReadOnlyField::contextMenuEvent(QContextMenuEvent* event) {
    ExecCopyMenu(this, event->globalPos(), cell_.Text());
}

}  // namespace tk358
