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
    shown_.setTextFormat(Qt::PlainText);
    shown_.setPerformanceHint(QStaticText::AggressiveCaching);
}

void ReadOnlyField::setText(const QString& text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    shown_.setText(text_);
    shown_.prepare(QTransform(), font());
    update();
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

void ReadOnlyField::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().brush(QPalette::Base));
    painter.setPen(
        palette().color(QPalette::Window).darker(140));  // as dark as a framed edit's outline
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (text_.isEmpty()) {
        return;
    }
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    painter.setClipRect(inside);
    painter.setPen(palette().color(QPalette::Text));
    const int top = (height() - fontMetrics().height() + 1) / 2;
    painter.drawStaticText(QPoint(kTextIndent, top), shown_);
}

void ReadOnlyField::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        shown_.prepare(QTransform(), font());
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
