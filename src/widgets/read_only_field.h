#pragma once

// A read-only one-line text for texts that change often (the status line,
// the service view's values), in a plain one-pixel frame. It lays its text
// out once per change and repaints only the glyphs that differ from the text
// shown before (a clock's last digit, a value's last places); an unchanged
// text costs nothing. The context menu copies the text.

#include <QString>
#include <QWidget>

#include "widgets/glyph_line.h"

namespace tk358 {

class ReadOnlyField : public QWidget {
    Q_OBJECT

public:
    explicit ReadOnlyField(QWidget* parent = nullptr);

    // Repaints only when the text is new; a text too long for the field
    // shows its beginning.
    void setText(const QString& text);
    QString text() const { return text_; }

    // As high as the style's framed line edit, so the layouts stay as they
    // were.
    QSize sizeHint() const override;

signals:
    void textChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QRect Inside() const;  // within the frame
    QPointF Baseline() const;

    QString text_;
    GlyphLine line_;  // text_ laid out, while laidOut_
    bool laidOut_ = false;
};

}  // namespace tk358
