// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One read-only one-line field as it is painted: the text on the base colour
// in a plain one-pixel frame, from a small indent on the middle line. A
// widget that shows fields keeps a cell per field and paints it in the
// field's rectangle; a new text repaints only the glyphs that differ from the
// text shown before (a clock's last digit, a value's last places).

#include <QPointF>
#include <QRect>
#include <QString>

#include "widgets/glyph_line.h"

class QPainter;
class QPoint;
class QWidget;

namespace tk358 {

class FieldCell {
public:
    const QString& Text() const { return text_; }

    // Stores `text` for the field at `frame` and returns what of `frame` to
    // repaint: empty for the same text. A field not on screen (`shown`
    // false) lays its text out when it is next painted.
    QRect SetText(const QString& text, const QRect& frame, bool shown);

    // Paints the part `area` of the field at `frame` in `owner`'s font and
    // colours; a text too long for the field shows its beginning.
    void Paint(QPainter& painter, const QRect& frame, const QRect& area, const QWidget& owner);

    // The owner's font changed: the text is laid out again when painted.
    void ForgetLayout() { laidOut_ = false; }

private:
    QPointF Baseline(const QRect& frame) const;  // while laidOut_

    QString text_;
    GlyphLine line_;      // text_ laid out, while laidOut_
    int lineHeight_ = 0;  // of the font laid out in
    int ascent_ = 0;
    bool laidOut_ = false;
};

// The fields' context menu, which copies `text`.
void ExecCopyMenu(QWidget* parent, const QPoint& globalPos, const QString& text);

}  // namespace tk358
