// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/hyperlink_label.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>

#include "widgets/desktop_open.h"
#include "widgets/qt_colour.h"

namespace tk358 {

HyperlinkLabel::HyperlinkLabel(QWidget* parent) : HyperlinkLabel(QString(), parent) {}

HyperlinkLabel::HyperlinkLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent), opener_(OpenWithDesktop), notifier_(ShowOpenFailure) {
    // A target is never markup.
    setTextFormat(Qt::PlainText);
    ApplySizePolicy();
}

bool HyperlinkLabel::event(QEvent* e) {
    const bool handled = QLabel::event(e);
    if (e->type() == QEvent::Polish && !attached_) {
        Attach();
    }
    return handled;
}

// Done once the label is about to be shown, when a form has given it its text.
void HyperlinkLabel::Attach() {
    attached_ = true;
    if (target_.isEmpty()) {
        target_ = text();
    }
    if (text().isEmpty()) {
        setText(target_);
    }
    ApplyFont();
    ApplyColour();
    setCursor(linkCursor_);
    setToolTip(target_);
    FitToText();
}

void HyperlinkLabel::SetTarget(const QString& target) {
    target_ = target;
    if (attached_) {
        if (text().isEmpty()) {
            setText(target_);
        }
        FitToText();
        setToolTip(target_);
    }
}

void HyperlinkLabel::SetColours(Colorref link, Colorref visited, Colorref hover) {
    linkColour_ = NormalizeColorref(link);
    visitedColour_ = NormalizeColorref(visited);
    hoverColour_ = hover == kSystemHighlight ? hover : NormalizeColorref(hover);
    ApplyColour();
}

Colorref HyperlinkLabel::GetHoverColour() const {
    if (hoverColour_ == kSystemHighlight) {
        return FromQColor(palette().color(QPalette::Highlight));
    }
    return hoverColour_;
}

Colorref HyperlinkLabel::CurrentColour() const {
    if (hovering_) {
        return GetHoverColour();
    }
    return visited_ ? visitedColour_ : linkColour_;
}

void HyperlinkLabel::SetVisited(bool visited) {
    visited_ = visited;
    ApplyColour();
}

void HyperlinkLabel::SetLinkCursor(const QCursor& cursor) {
    linkCursor_ = cursor;
    setCursor(linkCursor_);
}

void HyperlinkLabel::SetUnderline(bool underline) {
    underline_ = underline;
    if (attached_) {
        ApplyFont();
    }
}

void HyperlinkLabel::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    ApplySizePolicy();
    FitToText();
}

// In a layout, a fixed policy gives the label its text's size, as auto-size does
// for a label placed by hand, so that only the text is clickable.
void HyperlinkLabel::ApplySizePolicy() {
    setSizePolicy(autoSize_ ? QSizePolicy::Fixed : QSizePolicy::Preferred,
                  autoSize_ ? QSizePolicy::Fixed : QSizePolicy::Preferred);
}

void HyperlinkLabel::ApplyFont() {
    QFont linkFont = font();
    linkFont.setUnderline(underline_);
    setFont(linkFont);
}

void HyperlinkLabel::ApplyColour() {
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, ToQColor(CurrentColour()));
    setPalette(colours);
    update();
}

void HyperlinkLabel::FitToText() {
    if (!autoSize_ || !attached_) {
        return;
    }
    const QSize textSize = QFontMetrics(font()).size(0, text());
    const QMargins margins = contentsMargins();
    const int cx = textSize.width() + margins.left() + margins.right() + 2 * margin();
    const int cy = textSize.height() + margins.top() + margins.bottom() + 2 * margin();
    const QRect r = geometry();
    const Qt::Alignment a = alignment();

    int top = r.top();
    if (a & Qt::AlignVCenter) {
        top += (r.height() - cy) / 2;
    } else if (a & Qt::AlignBottom) {
        top += r.height() - cy;
    }
    int left = r.left();
    if (a & Qt::AlignHCenter) {
        left += (r.width() - cx) / 2;
    } else if (a & Qt::AlignRight) {
        left += r.width() - cx;
    }
    setGeometry(left, top, cx, cy);
}

void HyperlinkLabel::enterEvent(QEnterEvent* e) {
    QLabel::enterEvent(e);
    if (!hovering_) {
        hovering_ = true;
        ApplyColour();
    }
}

void HyperlinkLabel::leaveEvent(QEvent* e) {
    QLabel::leaveEvent(e);
    if (hovering_) {
        hovering_ = false;
        ApplyColour();
    }
}

void HyperlinkLabel::mousePressEvent(QMouseEvent* e) {
    pressed_ = e->button() == Qt::LeftButton;
    if (!pressed_) {
        QLabel::mousePressEvent(e);
        return;
    }
    e->accept();  // so that the release comes here too
}

void HyperlinkLabel::mouseReleaseEvent(QMouseEvent* e) {
    const bool click =
        pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(e);
    if (click) {
        OpenTarget();
    }
}

void HyperlinkLabel::OpenTarget() {
    const QUrl url = QUrl::fromUserInput(target_.trimmed());
    if (url.isValid() && !url.isEmpty() && opener_(url)) {
        SetVisited(true);
        emit opened(url);
        return;
    }
    QApplication::beep();
    notifier_(this, FailureMessage(url));
}

QString HyperlinkLabel::FailureMessage(const QUrl& url) {
    // The desktop gives no reason; a valid target it could not open has no handler.
    const QString reason =
        url.isValid() && !url.isEmpty()
            ? QStringLiteral(
                  "There is no application associated\nwith the given filename extension.")
            : QStringLiteral("The specified file was not found.");
    return QStringLiteral("Unable to open hyperlink:\n\n") + reason;
}

}  // namespace tk358
