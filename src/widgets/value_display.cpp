// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/value_display.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "widgets/font_conversion.h"
#include "widgets/qt_colour.h"

namespace tk358 {
namespace {

// The raised "2" of W/m² is drawn at this share of the value font's size.
constexpr qreal kSuperscriptScale = 0.6;

std::optional<QColor> AskColour(QWidget* parent, const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return chosen;
}

std::optional<QFont> AskFont(QWidget* parent, const QFont& initial) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, parent);
    if (!ok) {
        return std::nullopt;
    }
    return chosen;
}

QFont Scaled(QFont font, qreal factor) {
    if (font.pixelSize() > 0) {
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * factor))));
    } else {
        font.setPointSizeF(std::max(1.0, font.pointSizeF() * factor));
    }
    return font;
}

}  // namespace

ValueDisplay::ValueDisplay(QWidget* parent)
    : QWidget(parent),
      fontDescription_(InitialValueFontDescription()),
      valueFont_(ToQFont(fontDescription_)),
      titleFont_(ToQFont(TitleFontDescription())),
      colourChooser_(AskColour),
      fontChooser_(AskFont) {
    setAttribute(Qt::WA_OpaquePaintEvent);  // paints its whole rectangle
    blinkTimer_.setParent(this);
    blinkTimer_.setObjectName(QStringLiteral("blinkTimer"));
    blinkTimer_.setInterval(kBlinkPeriodMs);
    connect(&blinkTimer_, &QTimer::timeout, this, &ValueDisplay::ToggleBlinkPhase);
}

void ValueDisplay::UpdateValueArea() {
    update(rect().adjusted(0, TitleStripHeight(), 0, 0));
}

void ValueDisplay::SetMode(int mode) {
    if (mode != content_.mode) {
        content_.mode = mode;
        update();
    }
}

void ValueDisplay::SetUnits(int sourceUnit, int displayUnit, bool showUnit) {
    if (sourceUnit == content_.sourceUnit && displayUnit == content_.displayUnit &&
        showUnit == content_.showUnit) {
        return;
    }
    content_.sourceUnit = sourceUnit;
    content_.displayUnit = displayUnit;
    content_.showUnit = showUnit;
    update();
}

void ValueDisplay::SetTitle(const QString& title) {
    if (title != title_) {
        title_ = title;
        updateGeometry();
        update();
    }
}

void ValueDisplay::SetText(const QString& text) {
    std::string utf8 = text.toStdString();
    if (utf8 != content_.fixedText) {
        content_.fixedText = std::move(utf8);
        update();
    }
}

void ValueDisplay::SetTwoDecimals(bool twoDecimals) {
    if (twoDecimals != content_.twoDecimals) {
        content_.twoDecimals = twoDecimals;
        update();
    }
}

void ValueDisplay::SetValue(double value) {
    if (value == content_.raw && !content_.invalid) {
        return;
    }
    // A reading that moves within the last digit shown looks the same.
    const ValueText before = ValueAreaText(content_);
    content_.raw = value;
    content_.invalid = false;
    if (ValueAreaText(content_) != before) {
        UpdateValueArea();
    }
}

void ValueDisplay::SetInvalid() {
    if (!content_.invalid) {
        content_.invalid = true;
        UpdateValueArea();
    }
}

void ValueDisplay::SetBlink(bool on) {
    blinking_ = on;
    if (on) {
        if (isVisible() && !blinkTimer_.isActive()) {
            blinkTimer_.start();
        }
        return;
    }
    blinkTimer_.stop();
    if (blankPhase_) {
        blankPhase_ = false;
        UpdateValueArea();
    }
}

// A hidden display's blinking shows nowhere: its timer waits for the display
// to be shown again.
void ValueDisplay::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (blinking_ && !blinkTimer_.isActive()) {
        blinkTimer_.start();
    }
}

void ValueDisplay::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    blinkTimer_.stop();
}

void ValueDisplay::ToggleBlinkPhase() {
    blankPhase_ = !blankPhase_;
    UpdateValueArea();
}

void ValueDisplay::SetTextColour(Colorref colour) {
    colour = NormalizeColorref(colour);
    if (colour != textColour_) {
        textColour_ = colour;
        update();
    }
}

void ValueDisplay::SetBackgroundColour(Colorref colour) {
    colour = NormalizeColorref(colour);
    if (colour != backgroundColour_) {
        backgroundColour_ = colour;
        update();
    }
}

void ValueDisplay::SetFontParameters(const FontDescription& description) {
    fontDescription_ = description;
    valueFont_ = ToQFont(fontDescription_);
    updateGeometry();
    update();
}

void ValueDisplay::ChooseBackgroundColour(QWidget* dialogParent) {
    ChooseColour(backgroundColour_, dialogParent);
}

void ValueDisplay::ChooseTextColour(QWidget* dialogParent) {
    ChooseColour(textColour_, dialogParent);
}

void ValueDisplay::ChooseColour(Colorref& colour, QWidget* dialogParent) {
    const std::optional<QColor> chosen =
        colourChooser_(dialogParent ? dialogParent : this, ToQColor(colour));
    if (chosen && chosen->isValid()) {
        colour = FromQColor(*chosen);
    }
    update();
}

void ValueDisplay::ChooseFont(QWidget* dialogParent) {
    const std::optional<QFont> chosen =
        fontChooser_(dialogParent ? dialogParent : this, valueFont_);
    if (chosen) {
        SetFontParameters(FromQFont(*chosen, fontDescription_));
    }
}

int ValueDisplay::TitleStripHeight() const {
    if (title_.isEmpty()) {
        return 0;
    }
    return QFontMetrics(titleFont_, this).height();
}

QSize ValueDisplay::sizeHint() const {
    const QFontMetrics value(valueFont_, this);
    const QFontMetrics title(titleFont_, this);
    const int width = std::max({value.horizontalAdvance(QStringLiteral("-000.0 \u00B0C")),
                                title.horizontalAdvance(title_), 100});
    return QSize(width + 16, TitleStripHeight() + value.height() + 16);
}

QSize ValueDisplay::minimumSizeHint() const {
    return QSize(40, TitleStripHeight() + 8);
}

void ValueDisplay::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QColor background = ToQColor(backgroundColour_);
    const QColor text = ToQColor(textColour_);
    painter.fillRect(event->rect(), background);

    // The title strip swaps the colours: filled with the text colour, lettered
    // in the background colour. A new value leaves it as it is.
    const int stripHeight = TitleStripHeight();
    if (stripHeight > 0 && event->rect().top() < stripHeight) {
        const QRect strip(0, 0, width(), stripHeight);
        painter.fillRect(strip, text);
        painter.setFont(titleFont_);
        painter.setPen(background);
        painter.drawText(strip, Qt::AlignCenter | Qt::TextSingleLine, title_);
    }
    if (blankPhase_) {
        return;
    }
    painter.setPen(text);
    PaintValue(painter, rect().adjusted(0, stripHeight, 0, 0));
}

void ValueDisplay::PaintValue(QPainter& painter, const QRect& area) const {
    const ValueText value = ValueAreaText(content_);
    if (value.text.empty()) {
        return;
    }
    const QString text = QString::fromStdString(value.text);
    painter.setFont(valueFont_);
    if (!value.raisedTwo) {
        painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, text);
        return;
    }
    // The text and a smaller "2" whose top lines up with the top of the digits,
    // centred together as one piece.
    const QFont superscriptFont = Scaled(valueFont_, kSuperscriptScale);
    const QFontMetricsF main(valueFont_, painter.device());
    const QFontMetricsF superscript(superscriptFont, painter.device());
    const QString two = QStringLiteral("2");
    const qreal total = main.horizontalAdvance(text) + superscript.horizontalAdvance(two);
    const qreal left = area.left() + (area.width() - total) / 2.0;
    const qreal baseline = area.top() + (area.height() - main.height()) / 2.0 + main.ascent();
    painter.save();
    painter.setClipRect(area);
    painter.drawText(QPointF(left, baseline), text);
    painter.setFont(superscriptFont);
    painter.drawText(QPointF(left + main.horizontalAdvance(text),
                             baseline - main.capHeight() + superscript.capHeight()),
                     two);
    painter.restore();
}

}  // namespace tk358
