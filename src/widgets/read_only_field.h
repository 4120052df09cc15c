#pragma once

// A read-only one-line text for texts that change often (the status line,
// the service view's values), in a plain one-pixel frame. It draws its text
// itself, so a change costs one small paint and no line-edit machinery; an
// unchanged text costs nothing. The context menu
// copies the text.

#include <QFont>
#include <QRawFont>
#include <QString>
#include <QWidget>

class QPainter;

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
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QRect Inside() const;  // within the frame
    // Draws a number's glyphs straight from the font; false for any other text.
    bool DrawNumber(QPainter& painter, QPointF baseline);

    QString text_;
    QFont rawFontOf_;
    QRawFont rawFont_;  // of rawFontOf_
};

}  // namespace tk358
