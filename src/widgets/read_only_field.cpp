#include "widgets/read_only_field.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>

namespace tk358 {

namespace {

// Room between the frame and the text, as the style's framed edit leaves it.
constexpr int kTextMargin = 2;

}  // namespace

ReadOnlyField::ReadOnlyField(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
    setFrame(false);
    setTextMargins(kTextMargin, 0, kTextMargin, 0);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize ReadOnlyField::sizeHint() const {
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    return QLineEdit::sizeHint() + QSize(0, 2 * frame);
}

void ReadOnlyField::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), palette().brush(QPalette::Base));
    }
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    painter.setPen(
        palette().color(QPalette::Window).darker(140));  // as dark as a framed edit's outline
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace tk358
