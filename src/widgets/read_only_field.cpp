#include "widgets/read_only_field.h"

#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace tk358 {

namespace {

// Where a frameless line edit puts its text: its own margin plus the room
// the style's frame would take.
constexpr int kTextIndent = 4;

// Numbers, times and their units: nothing in them kerns or joins, so their
// glyphs can stand side by side at their advances without the shaper.
bool PlainNumber(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || QStringView(u" .,:-+%").contains(c);
    });
}

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
    update(Inside());  // the frame stays as it is
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

void ReadOnlyField::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().brush(QPalette::Base));
    if (!Inside().contains(event->rect())) {
        painter.setPen(
            palette().color(QPalette::Window).darker(140));  // as dark as a framed edit's outline
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (text_.isEmpty()) {
        return;
    }
    painter.setClipRect(Inside());
    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics metrics = fontMetrics();
    const QPoint baseline(kTextIndent, (height() - metrics.height() + 1) / 2 + metrics.ascent());
    if (!DrawNumber(painter, baseline)) {
        painter.drawText(baseline, text_);
    }
}

bool ReadOnlyField::DrawNumber(QPainter& painter, QPointF baseline) {
    if (!PlainNumber(text_)) {
        return false;
    }
    if (!rawFont_.isValid() || rawFontOf_ != font()) {
        rawFont_ = QRawFont::fromFont(font());
        rawFontOf_ = font();
    }
    const QList<quint32> glyphs = rawFont_.glyphIndexesForString(text_);
    if (glyphs.contains(0)) {
        return false;  // not in this font: the shaper finds a fallback
    }
    QList<QPointF> positions;
    positions.reserve(glyphs.size());
    QPointF at;
    for (const QPointF& advance : rawFont_.advancesForGlyphIndexes(glyphs)) {
        positions.append(at);
        at += advance;
    }
    QGlyphRun run;
    run.setRawFont(rawFont_);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    painter.drawGlyphRun(baseline, run);
    return true;
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
