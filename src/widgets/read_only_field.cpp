#include "widgets/read_only_field.h"

#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>

namespace tk358 {

namespace {

// Where a frameless line edit puts its text: its own margin plus the room
// the style's frame would take.
constexpr int kTextIndent = 4;

}  // namespace

ReadOnlyField::ReadOnlyField(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setBackgroundRole(QPalette::Base);
}

void ReadOnlyField::setText(const QString& text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    if (laidOut_ && isVisible()) {
        const QRectF ink = line_.SetText(text_).translated(Baseline());
        if (!ink.isEmpty()) {
            // A pixel more on each side for the antialiased edge.
            const QRect columns = ink.toAlignedRect().adjusted(-1, 0, 1, 0);
            const QRect inside = Inside();
            update(QRect(columns.left(), inside.top(), columns.width(), inside.height()) & inside);
        }
    } else {
        // Laid out when it is painted: a hidden field's text costs nothing.
        laidOut_ = false;
        update(Inside());
    }
    if (QAccessible::isActive()) {
        setAccessibleName(text_);
    }
    emit textChanged(text_);
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

QRect ReadOnlyField::Inside() const {
    return rect().adjusted(1, 1, -1, -1);
}

QPointF ReadOnlyField::Baseline() const {
    const QFontMetrics metrics = fontMetrics();
    return QPointF(kTextIndent, (height() - metrics.height() + 1) / 2 + metrics.ascent());
}

void ReadOnlyField::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().brush(QPalette::Base));
    if (!Inside().contains(event->rect())) {
        painter.setPen(
            palette().color(QPalette::Window).darker(140));  // as dark as a framed edit's outline
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (!laidOut_) {
        line_.SetFont(font());
        line_.SetText(text_);
        laidOut_ = true;
    }
    const QPointF baseline = Baseline();
    if (baseline.x() + line_.Advance() > Inside().right()) {
        painter.setClipRect(Inside());  // too long: the beginning shows, the frame stays
    }
    painter.setPen(palette().color(QPalette::Text));
    line_.Draw(painter, baseline, event->rect());
}

void ReadOnlyField::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        laidOut_ = false;
        update();
    }
    QWidget::changeEvent(event);
}

void ReadOnlyField::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("&Kopiuj"));
    copy->setEnabled(!text_.isEmpty());
    if (menu.exec(event->globalPos()) == copy) {
        QGuiApplication::clipboard()->setText(text_);
    }
}

}  // namespace tk358
