#pragma once

// A read-only one-line field for texts that change often (the status line,
// the service view's values): a line edit framed by a plain one-pixel line
// that paints its whole rectangle itself. A new text thus repaints the field
// alone, with no rounded frame stroked and nothing underneath drawn again.

#include <QLineEdit>

namespace tk358 {

class ReadOnlyField : public QLineEdit {
    Q_OBJECT

public:
    explicit ReadOnlyField(QWidget* parent = nullptr);

    // As high as the style's framed edit, so the layouts stay as they were.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tk358
