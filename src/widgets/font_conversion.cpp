// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/font_conversion.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

namespace tk358 {
namespace {

constexpr int kMaxQtWeight = 1000;

int ClampPixelSize(int64_t pixels) {
    return static_cast<int>(std::clamp<int64_t>(pixels, 1, kMaxFontPixelSize));
}

// Pixel size whose ascent plus descent comes closest to the cell height.
int PixelSizeForCellHeight(QFont font, int cellHeight) {
    const int probe = ClampPixelSize(cellHeight);
    font.setPixelSize(probe);
    const QFontMetricsF metrics(font);
    const qreal cell = metrics.ascent() + metrics.descent();
    if (cell <= 0.0) {
        return probe;
    }
    return ClampPixelSize(std::lround(probe * probe / cell));
}

QFont::StyleHint StyleHintOf(uint8_t pitchAndFamily) {
    switch (pitchAndFamily & kFamilyMask) {
        case kFamilyRoman:
            return QFont::Serif;
        case kFamilySwiss:
            return QFont::SansSerif;
        case kFamilyModern:
            return QFont::Monospace;
        case kFamilyScript:
            return QFont::Cursive;
        case kFamilyDecorative:
            return QFont::Decorative;
        default:
            return QFont::AnyStyle;
    }
}

int PixelSizeOf(const QFont& font) {
    return font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
}

}  // namespace

QFont ToQFont(const FontDescription& d) {
    QFont font;
    if (!d.FaceName().empty()) {
        font.setFamily(QString::fromUtf8(d.FaceName()));
    }
    font.setStyleHint(StyleHintOf(d.pitchAndFamily));
    if ((d.pitchAndFamily & kFixedPitch) != 0) {
        font.setFixedPitch(true);
    }
    if (d.height < 0) {
        font.setPixelSize(ClampPixelSize(-static_cast<int64_t>(d.height)));
    } else if (d.height > 0) {
        font.setPixelSize(PixelSizeForCellHeight(font, d.height));
    }
    font.setWeight(d.weight <= 0 ? QFont::Normal
                                 : static_cast<QFont::Weight>(std::min(d.weight, kMaxQtWeight)));
    font.setItalic(d.italic != 0);
    font.setUnderline(d.underline != 0);
    font.setStrikeOut(d.strikeOut != 0);
    return font;
}

FontDescription FromQFont(const QFont& font, const FontDescription& base) {
    const QFont baseFont = ToQFont(base);
    FontDescription d = base;
    if (PixelSizeOf(font) != PixelSizeOf(baseFont)) {
        d.height = -PixelSizeOf(font);
    }
    if (font.weight() != baseFont.weight()) {
        d.weight = font.weight();
    }
    if (font.family() != baseFont.family()) {
        d.SetFaceName(font.family().toStdString());
        d.pitchAndFamily = 0;  // the old pitch and family hints described the old face
    }
    d.italic = font.italic() ? 1 : 0;
    d.underline = font.underline() ? 1 : 0;
    d.strikeOut = font.strikeOut() ? 1 : 0;
    return d;
}

}  // namespace tk358
