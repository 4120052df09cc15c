// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/glyph_line.h"

#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <array>

namespace tk358 {

namespace {

constexpr QStringView kNumberChars = u"0123456789 .,:-+%";
constexpr std::size_t kNumberCharCount = 17;
static_assert(kNumberChars.size() == kNumberCharCount);

qsizetype NumberCharIndex(QChar c) {
    if (c >= u'0' && c <= u'9') {
        return c.unicode() - u'0';
    }
    return c.unicode() < 0x80 ? kNumberChars.indexOf(c) : -1;
}

// Shaped words kept per font; the fields show a handful of words.
constexpr qsizetype kWordsKept = 64;

}  // namespace

class GlyphLine::FontGlyphs {
public:
    explicit FontGlyphs(const QFont& font);

    // The one for `font`: the fields of a window share a font or two.
    // Widgets, and so this list, live on the GUI thread only.
    static std::shared_ptr<FontGlyphs> For(const QFont& font);

    const QFont& Font() const { return font_; }
    const QRawFont& RawFont(int index) const { return fonts_[static_cast<std::size_t>(index)]; }

    // Appends the glyphs of `piece` at `x` and moves `x` past them.
    // False, with nothing appended, when a glyph is missing from the font.
    bool PlaceNumber(QStringView piece, qreal& x, std::vector<Glyph>& glyphs);
    void PlaceWord(const QString& piece, qreal& x, std::vector<Glyph>& glyphs);

private:
    struct Word {
        std::vector<Glyph> glyphs;  // placed from 0
        qreal advance = 0;
    };

    Word Shape(const QString& piece);
    int FontIndex(const QRawFont& font);

    QFont font_;
    std::vector<QRawFont> fonts_;  // [0] is font_'s own; fallbacks as the shaper picks them
    std::array<Glyph, kNumberCharCount> numbers_{};  // placed at 0
    std::array<qreal, kNumberCharCount> numberAdvances_{};
    QHash<QString, Word> words_;
};

GlyphLine::FontGlyphs::FontGlyphs(const QFont& font) : font_(font) {
    fonts_.push_back(QRawFont::fromFont(font_));
    const QRawFont& raw = fonts_.front();
    const QList<quint32> indexes = raw.glyphIndexesForString(kNumberChars.toString());
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(indexes);
    for (qsizetype i = 0; i < kNumberChars.size(); ++i) {
        const quint32 index = i < indexes.size() ? indexes[i] : 0;
        numbers_[i] = Glyph{index, QPointF(), 0, raw.boundingRect(index)};
        numberAdvances_[i] = i < advances.size() ? advances[i].x() : 0;
    }
}

std::shared_ptr<GlyphLine::FontGlyphs> GlyphLine::FontGlyphs::For(const QFont& font) {
    static std::vector<std::weak_ptr<FontGlyphs>> known;
    std::erase_if(known, [](const std::weak_ptr<FontGlyphs>& k) { return k.expired(); });
    for (const std::weak_ptr<FontGlyphs>& k : known) {
        std::shared_ptr<FontGlyphs> glyphs = k.lock();
        if (glyphs->Font() == font) {
            return glyphs;
        }
    }
    auto made = std::make_shared<FontGlyphs>(font);
    known.push_back(made);
    return made;
}

bool GlyphLine::FontGlyphs::PlaceNumber(QStringView piece, qreal& x, std::vector<Glyph>& glyphs) {
    for (QChar c : piece) {
        if (numbers_[NumberCharIndex(c)].index == 0) {
            return false;
        }
    }
    for (QChar c : piece) {
        const qsizetype i = NumberCharIndex(c);
        Glyph glyph = numbers_[i];
        glyph.at = QPointF(x, 0);
        glyph.ink.translate(glyph.at);
        glyphs.push_back(glyph);
        x += numberAdvances_[i];
    }
    return true;
}

void GlyphLine::FontGlyphs::PlaceWord(const QString& piece, qreal& x, std::vector<Glyph>& glyphs) {
    auto word = words_.constFind(piece);
    if (word == words_.constEnd()) {
        if (words_.size() >= kWordsKept) {
            words_.clear();
        }
        word = words_.insert(piece, Shape(piece));
    }
    for (Glyph glyph : word->glyphs) {
        glyph.at.rx() += x;
        glyph.ink.translate(x, 0);
        glyphs.push_back(glyph);
    }
    x += word->advance;
}

GlyphLine::FontGlyphs::Word GlyphLine::FontGlyphs::Shape(const QString& piece) {
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    QTextLayout layout(piece, font_);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(QWIDGETSIZE_MAX);
    layout.endLayout();

    Word word;
    word.advance = line.horizontalAdvance();
    const QPointF toBaseline(0, -line.ascent());
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont font = run.rawFont();
        const int fontIndex = FontIndex(font);
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < indexes.size() && i < positions.size(); ++i) {
            const QPointF at = positions[i] + toBaseline;
            word.glyphs.push_back(
                Glyph{indexes[i], at, fontIndex, font.boundingRect(indexes[i]).translated(at)});
        }
    }
    return word;
}

int GlyphLine::FontGlyphs::FontIndex(const QRawFont& font) {
    const auto found = std::find(fonts_.begin(), fonts_.end(), font);
    if (found != fonts_.end()) {
        return static_cast<int>(found - fonts_.begin());
    }
    fonts_.push_back(font);
    return static_cast<int>(fonts_.size() - 1);
}

void GlyphLine::SetFont(const QFont& font) {
    if (font_ && font_->Font() == font) {
        return;
    }
    font_ = FontGlyphs::For(font);
    glyphs_.clear();
    advance_ = 0;
}

QRectF GlyphLine::SetText(const QString& text) {
    if (!font_) {
        SetFont(QFont());
    }
    std::vector<Glyph> old;
    old.swap(glyphs_);
    glyphs_.reserve(std::max<size_t>(old.size(), static_cast<size_t>(text.size())));
    advance_ = 0;
    qsizetype start = 0;
    while (start < text.size()) {
        const bool number = NumberCharIndex(text[start]) >= 0;
        qsizetype end = start + 1;
        while (end < text.size() && (NumberCharIndex(text[end]) >= 0) == number) {
            ++end;
        }
        const QStringView piece = QStringView(text).mid(start, end - start);
        if (!number || !font_->PlaceNumber(piece, advance_, glyphs_)) {
            font_->PlaceWord(piece.toString(), advance_, glyphs_);
        }
        start = end;
    }

    // Glyphs kept at their place at either end stay as they are on screen.
    const auto same = [](const Glyph& a, const Glyph& b) { return a.SameAs(b); };
    auto [oldFirst, newFirst] =
        std::mismatch(old.begin(), old.end(), glyphs_.begin(), glyphs_.end(), same);
    auto oldLast = old.end();
    auto newLast = glyphs_.end();
    while (oldLast != oldFirst && newLast != newFirst && (oldLast - 1)->SameAs(*(newLast - 1))) {
        --oldLast;
        --newLast;
    }
    QRectF changed;
    for (auto it = oldFirst; it != oldLast; ++it) {
        changed |= it->ink;
    }
    for (auto it = newFirst; it != newLast; ++it) {
        changed |= it->ink;
    }
    return changed;
}

void GlyphLine::Draw(QPainter& painter, QPointF baseline, const QRectF& area) const {
    const QRectF reach = area.translated(-baseline);
    QList<quint32> indexes;
    QList<QPointF> positions;
    int font = -1;
    const auto flush = [&] {
        if (!indexes.isEmpty()) {
            QGlyphRun run;
            run.setRawFont(font_->RawFont(font));
            run.setGlyphIndexes(indexes);
            run.setPositions(positions);
            painter.drawGlyphRun(baseline, run);
            indexes.clear();
            positions.clear();
        }
    };
    for (const Glyph& glyph : glyphs_) {
        if (!glyph.ink.intersects(reach)) {
            continue;  // a space, or a glyph this paint leaves alone
        }
        if (glyph.font != font) {
            flush();
            font = glyph.font;
        }
        indexes.append(glyph.index);
        positions.append(glyph.at);
    }
    flush();
}

}  // namespace tk358
