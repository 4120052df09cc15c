#include "widgets/glyph_line.h"

#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

namespace tk358 {

namespace {

constexpr QStringView kNumberChars = u"0123456789 .,:-+%";

qsizetype NumberCharIndex(QChar c) {
    if (c >= u'0' && c <= u'9') {
        return c.unicode() - u'0';
    }
    return c.unicode() < 0x80 ? kNumberChars.indexOf(c) : -1;
}

// Shaped words kept per line; a field shows a handful of texts.
constexpr qsizetype kWordsKept = 64;

}  // namespace

void GlyphLine::SetFont(const QFont& font) {
    if (!fonts_.empty() && font == font_) {
        return;
    }
    font_ = font;
    fonts_ = {QRawFont::fromFont(font_)};
    numbersKnown_ = false;
    words_.clear();
    glyphs_.clear();
    advance_ = 0;
}

QRectF GlyphLine::SetText(const QString& text) {
    if (fonts_.empty()) {
        SetFont(font_);
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
        if (!number || !PlaceNumber(piece)) {
            PlaceWord(piece.toString());
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

void GlyphLine::LearnNumberGlyphs() {
    const QRawFont& font = fonts_.front();
    const QList<quint32> indexes = font.glyphIndexesForString(kNumberChars.toString());
    const QList<QPointF> advances = font.advancesForGlyphIndexes(indexes);
    for (qsizetype i = 0; i < kNumberChars.size(); ++i) {
        const quint32 index = i < indexes.size() ? indexes[i] : 0;
        numberGlyphs_[i] = Glyph{index, QPointF(), 0, font.boundingRect(index)};
        numberAdvances_[i] = i < advances.size() ? advances[i].x() : 0;
    }
    numbersKnown_ = true;
}

bool GlyphLine::PlaceNumber(QStringView piece) {
    if (!numbersKnown_) {
        LearnNumberGlyphs();
    }
    for (QChar c : piece) {
        if (numberGlyphs_[NumberCharIndex(c)].index == 0) {
            return false;
        }
    }
    for (QChar c : piece) {
        const qsizetype i = NumberCharIndex(c);
        Glyph glyph = numberGlyphs_[i];
        glyph.at = QPointF(advance_, 0);
        glyph.ink.translate(glyph.at);
        glyphs_.push_back(glyph);
        advance_ += numberAdvances_[i];
    }
    return true;
}

void GlyphLine::PlaceWord(const QString& piece) {
    auto word = words_.constFind(piece);
    if (word == words_.constEnd()) {
        if (words_.size() >= kWordsKept) {
            words_.clear();
        }
        word = words_.insert(piece, Shape(piece));
    }
    for (Glyph glyph : word->glyphs) {
        glyph.at.rx() += advance_;
        glyph.ink.translate(advance_, 0);
        glyphs_.push_back(glyph);
    }
    advance_ += word->advance;
}

GlyphLine::Word GlyphLine::Shape(const QString& piece) {
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

int GlyphLine::FontIndex(const QRawFont& font) {
    const auto found = std::find(fonts_.begin(), fonts_.end(), font);
    if (found != fonts_.end()) {
        return static_cast<int>(found - fonts_.begin());
    }
    fonts_.push_back(font);
    return static_cast<int>(fonts_.size() - 1);
}

void GlyphLine::Draw(QPainter& painter, QPointF baseline, const QRectF& area) const {
    const QRectF reach = area.translated(-baseline);
    QList<quint32> indexes;
    QList<QPointF> positions;
    int font = -1;
    const auto flush = [&] {
        if (!indexes.isEmpty()) {
            QGlyphRun run;
            run.setRawFont(fonts_[font]);
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
