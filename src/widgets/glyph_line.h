#pragma once

// One line of text as placed glyphs, for a widget that repaints only the
// glyphs a new text changed. Digits, signs and separators come straight from
// the font at their advances (nothing kerns or joins with them); the words
// between them go through the shaper once and are kept, since a text that
// changes every second (a clock, a value with its unit) keeps its words.

#include <QFont>
#include <QHash>
#include <QPointF>
#include <QRawFont>
#include <QRectF>
#include <QString>
#include <array>
#include <vector>

class QPainter;

namespace tk358 {

class GlyphLine {
public:
    // A new font forgets what was laid out in the old one.
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
        int font = 0;  // in fonts_
        QRectF ink;    // at its place

        bool SameAs(const Glyph& other) const {
            return index == other.index && at == other.at && font == other.font;
        }
    };
    struct Word {
        std::vector<Glyph> glyphs;  // placed from 0
        qreal advance = 0;
    };

    // False when a glyph is missing and the shaper must find a fallback.
    bool PlaceNumber(QStringView piece);
    void PlaceWord(const QString& piece);
    Word Shape(const QString& piece);
    int FontIndex(const QRawFont& font);
    void LearnNumberGlyphs();

    QFont font_;
    std::vector<QRawFont> fonts_;  // [0] is font_'s own; fallbacks as the shaper picks them
    std::array<Glyph, 17> numberGlyphs_{};  // per number character, placed at 0
    std::array<qreal, 17> numberAdvances_{};
    bool numbersKnown_ = false;
    QHash<QString, Word> words_;
    std::vector<Glyph> glyphs_;
    qreal advance_ = 0;
};

}  // namespace tk358
