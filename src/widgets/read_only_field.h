// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A read-only one-line text for a text that changes often (the status line),
// painted as a FieldCell: a new text repaints only the glyphs that changed,
// an unchanged text costs nothing. The context menu copies the text.

#include <QString>
#include <QWidget>

#include "widgets/field_cell.h"

namespace tk358 {

class ReadOnlyField : public QWidget {
    Q_OBJECT

public:
    explicit ReadOnlyField(QWidget* parent = nullptr);

    // Repaints only when the text is new; a text too long for the field
    // shows its beginning.
    void setText(const QString& text);
    QString text() const { return cell_.Text(); }

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
    FieldCell cell_;
};

}  // namespace tk358
