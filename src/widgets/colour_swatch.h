// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A clickable field filled with one colour.

#include <QAbstractButton>

#include "present/colour.h"

namespace tk358 {

class ColourSwatch : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr Colorref kInitialColour = MakeColorref(128, 128, 128);

    explicit ColourSwatch(QWidget* parent = nullptr);

    void SetColour(Colorref colour);

    QSize sizeHint() const override { return QSize(64, 28); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Colorref colour_ = kInitialColour;
};

}  // namespace tk358
