// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a widget shows, read from the picture it paints rather than from its
// members: a swatch's colour, a status indicator's image, a sample's font.

#include <QFont>
#include <QImage>
#include <QPainter>

#include "present/colour.h"
#include "widgets/colour_swatch.h"
#include "widgets/font_sample.h"
#include "widgets/icons.h"
#include "widgets/status_indicator.h"

namespace tk358::test {

// grab() only renders, though Qt does not declare it const.
inline QImage Picture(const QWidget& widget) {
    return const_cast<QWidget&>(widget).grab().toImage().convertToFormat(
        QImage::Format_ARGB32_Premultiplied);
}

// The colour at the swatch's centre, clear of its frame and focus rectangle.
inline Colorref ShownColour(const ColourSwatch& swatch) {
    const QImage picture = Picture(swatch);
    const QColor c = picture.pixelColor(picture.width() / 2, picture.height() / 2);
    return MakeColorref(c.red(), c.green(), c.blue());
}

// The image whose picture the indicator shows; kNone when it shows none of
// them (or only the empty one).
inline StatusImage ShownStatusImage(const StatusIndicator& indicator) {
    const QImage picture = Picture(indicator);
    for (StatusImage image : {StatusImage::kCorrect, StatusImage::kError, StatusImage::kNoLink}) {
        QImage expected(picture.size(), QImage::Format_ARGB32_Premultiplied);
        expected.fill(indicator.palette().brush(indicator.backgroundRole()).color());
        QPainter painter(&expected);
        StatusIcon(image).paint(&painter, expected.rect());
        painter.end();
        if (picture == expected) {
            return image;
        }
    }
    return StatusImage::kNone;
}

// Whether the sample's text looks as a sample of the same size in `font`
// draws it; the margin where the focus rectangle goes is left out.
inline bool ShowsFont(const FontSample& sample, const QFont& font) {
    FontSample reference;
    reference.SetSampleFont(font);
    reference.setText(sample.text());
    reference.setPalette(sample.palette());
    reference.resize(sample.size());
    const QRect inside = QRect(QPoint(0, 0), sample.size()).adjusted(5, 5, -5, -5);
    return Picture(sample).copy(inside) == Picture(reference).copy(inside);
}

}  // namespace tk358::test
