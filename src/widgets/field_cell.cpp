// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/field_cell.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QWidget>

namespace tk358 {

namespace {

// Where a frameless line edit puts its text: its own margin plus the room
// the style's frame would take.
constexpr int kTextIndent = 4;

QRect Inside(const QRect& frame) {
    return frame.adjusted(1, 1, -1, -1);
}

}  // namespace

QPointF FieldCell::Baseline(const QRect& frame) const {
    return QPointF(frame.left() + kTextIndent,
                   frame.top() + (frame.height() - lineHeight_ + 1) / 2 + ascent_);
}

QRect FieldCell::SetText(const QString& text, const QRect& frame, bool shown) {
    if (text == text_) {
        return {};
    }
    text_ = text;
    if (!laidOut_ || !shown) {
        laidOut_ = false;  // laid out when painted: a hidden field's text costs nothing
        return Inside(frame);
    }
    const QRectF ink = line_.SetText(text_).translated(Baseline(frame));
    if (ink.isEmpty()) {
        return {};
    }
    // A pixel more on each side for the antialiased edge.
    const QRect columns = ink.toAlignedRect().adjusted(-1, 0, 1, 0);
    const QRect inside = Inside(frame);
    return QRect(columns.left(), inside.top(), columns.width(), inside.height()) & inside;
}

void FieldCell::Paint(QPainter& painter, const QRect& frame, const QRect& area,
                      const QWidget& owner) {
    const QPalette& palette = owner.palette();
    painter.fillRect(area, palette.brush(QPalette::Base));
    const QRect inside = Inside(frame);
    if (!inside.contains(area)) {
        painter.setPen(palette.color(QPalette::Window).darker(140));  // a framed edit's outline
        painter.drawRect(frame.adjusted(0, 0, -1, -1));
    }
    if (!laidOut_) {
        const QFontMetrics metrics = owner.fontMetrics();
        lineHeight_ = metrics.height();
        ascent_ = metrics.ascent();
        line_.SetFont(owner.font());
        line_.SetText(text_);
        laidOut_ = true;
    }
    const QPointF baseline = Baseline(frame);
    // Clipped only when too long: a clip takes every glyph down a slower path.
    const bool tooLong = baseline.x() + line_.Advance() > inside.right();
    if (tooLong) {
        painter.save();
        painter.setClipRect(inside, Qt::IntersectClip);  // the beginning shows, the frame stays
    }
    painter.setPen(palette.color(QPalette::Text));
    line_.Draw(painter, baseline, area);
    if (tooLong) {
        painter.restore();
    }
}

void ExecCopyMenu(QWidget* parent, const QPoint& globalPos, const QString& text) {
    QMenu menu(parent);
    QAction* copy = menu.addAction(QStringLiteral("&Kopiuj"));
    copy->setEnabled(!text.isEmpty());
    if (menu.exec(globalPos) == copy) {
        QGuiApplication::clipboard()->setText(text);
    }
}

}  // namespace tk358
