// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One line of text as placed glyphs, for a widget that repaints only the
// glyphs a new text changed. Digits, signs and separators come straight from
// the font at their advances (nothing kerns or joins with them); the words
// between them go through the shaper once and are kept, since a text that
// changes every second (a clock, a value with its unit) keeps its words.

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <memory>
#include <vector>

class QPainter;

namespace tk358 {

class GlyphLine {
public:
    // A new font forgets what was laid out in the old one. Until the first
    // call, a line lays out in the application's default font.
    void SetFont(const QFont& font);

    // Lays `text` out and returns where its ink differs from the previous
    // text's, relative to the start of the baseline: empty when the glyphs
    // are the same.
    QRectF SetText(const QString& text);

    // How far the text reaches along the baseline.
    qreal Advance() const { return advance_; }

    // Draws the glyphs whose ink reaches into `area`, with the baseline
    // starting at `baseline`.
    void Draw(QPainter& painter, QPointF baseline, const QRectF& area) const;

private:
    struct Glyph {
        quint32 index = 0;
        QPointF at;
        int font = 0;  // of the font's own and its fallbacks, as FontGlyphs counts them
        QRectF ink;    // at its place

        bool SameAs(const Glyph& other) const {
            return index == other.index && at == other.at && font == other.font;
        }
    };
    // The number glyphs and shaped words of one font, shared by every line
    // in that font.
    class FontGlyphs;

    std::shared_ptr<FontGlyphs> font_;
    std::vector<Glyph> glyphs_;
    qreal advance_ = 0;
};

}  // namespace tk358
