// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/font_conversion.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QtTest>
#include <climits>

namespace tk358 {
namespace {

FontDescription Described(int height, const char* face, int weight, bool italic) {
    FontDescription d = InitialValueFontDescription();
    d.height = height;
    d.SetFaceName(face);
    d.weight = weight;
    d.italic = italic ? 1 : 0;
    return d;
}

}  // namespace

class FontConversionTest : public QObject {
    Q_OBJECT

private slots:
    void toQFont_data();
    void toQFont();
    void roundTripKeepsTheDescription_data();
    void roundTripKeepsTheDescription();
    void cellHeightComesClose();
    void changedFontsGiveCharacterHeights();
    void attributesLastForTheRun();
};

void FontConversionTest::toQFont_data() {
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("weight");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<int>("qtWeight");
    QTest::newRow("settings default") << -64 << 0 << 64 << int(QFont::Normal);
    QTest::newRow("bold") << -25 << 700 << 25 << int(QFont::Bold);
    QTest::newRow("thin") << -12 << 100 << 12 << int(QFont::Thin);
    QTest::newRow("black") << -12 << 900 << 12 << int(QFont::Black);
    QTest::newRow("weight beyond the scale") << -12 << 5000 << 12 << 1000;
    QTest::newRow("height beyond reason")
        << INT_MIN << 400 << kMaxFontPixelSize << int(QFont::Normal);
    QTest::newRow("negative weight") << -12 << -5 << 12 << int(QFont::Normal);
}

void FontConversionTest::toQFont() {
    QFETCH(int, height);
    QFETCH(int, weight);
    QFETCH(int, pixelSize);
    QFETCH(int, qtWeight);
    FontDescription d = Described(height, "DejaVu Sans", weight, true);
    d.underline = 1;
    const QFont font = ToQFont(d);
    QCOMPARE(font.pixelSize(), pixelSize);
    QCOMPARE(int(font.weight()), qtWeight);
    QCOMPARE(font.family(), QStringLiteral("DejaVu Sans"));
    QVERIFY(font.italic());
    QVERIFY(font.underline());
    QVERIFY(!font.strikeOut());
}

void FontConversionTest::roundTripKeepsTheDescription_data() {
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("face");
    QTest::addColumn<int>("weight");
    QTest::addColumn<bool>("italic");
    QTest::newRow("defaults") << -64 << "Arial" << 0 << false;
    QTest::newRow("initial cell height") << 25 << "Arial" << 0 << false;
    QTest::newRow("default size") << 0 << "Arial" << 0 << false;
    QTest::newRow("bold italic") << -30 << "DejaVu Serif" << 700 << true;
    QTest::newRow("light") << -48 << "DejaVu Sans Mono" << 300 << false;
    QTest::newRow("face with Polish letters") << -20 << "Czcionka żółta" << 400 << true;
}

void FontConversionTest::roundTripKeepsTheDescription() {
    QFETCH(int, height);
    QFETCH(QString, face);
    QFETCH(int, weight);
    QFETCH(bool, italic);
    const FontDescription d = Described(height, face.toUtf8().constData(), weight, italic);
    QCOMPARE(FromQFont(ToQFont(d), d), d);

    // Starting from another description, the four stored fields still come across.
    const FontDescription other = Described(-12, "Other", 0, !italic);
    const FontDescription back = FromQFont(ToQFont(d), other);
    QCOMPARE(back.FaceName(), d.FaceName());
    QCOMPARE(back.italic, d.italic);
    QCOMPARE(ToQFont(back).weight(), ToQFont(d).weight());
    if (height < 0) {
        QCOMPARE(back.height, height);
    }
}

void FontConversionTest::cellHeightComesClose() {
    for (int cell : {20, 25, 40, 100}) {
        const QFont font = ToQFont(Described(cell, "DejaVu Sans", 0, false));
        const QFontMetricsF metrics(font);
        QVERIFY2(qAbs(metrics.ascent() + metrics.descent() - cell) <= 1.5,
                 qPrintable(QString::number(cell)));
        QVERIFY(font.pixelSize() < cell);
    }
}

void FontConversionTest::changedFontsGiveCharacterHeights() {
    const FontDescription base = Described(25, "Arial", 0, false);
    QFont points(QStringLiteral("DejaVu Sans"));
    points.setPointSize(24);
    const FontDescription d = FromQFont(points, base);
    QCOMPARE(d.height, -QFontInfo(points).pixelSize());
    QCOMPARE(d.FaceName(), std::string("DejaVu Sans"));
    QCOMPARE(d.charSet, base.charSet);

    QFont pixels = ToQFont(base);
    pixels.setPixelSize(33);
    QCOMPARE(FromQFont(pixels, base).height, -33);
}

void FontConversionTest::attributesLastForTheRun() {
    FontDescription d = Described(-40, "Arial", 0, false);
    d.escapement = 900;
    d.quality = 4;
    QFont chosen = ToQFont(d);
    chosen.setUnderline(true);
    chosen.setStrikeOut(true);
    const FontDescription back = FromQFont(chosen, d);
    QCOMPARE(back.underline, 1);
    QCOMPARE(back.strikeOut, 1);
    QCOMPARE(back.escapement, 900);
    QCOMPARE(back.quality, 4);
    const QFont again = ToQFont(back);
    QVERIFY(again.underline());
    QVERIFY(again.strikeOut());
}

}  // namespace tk358

QTEST_MAIN(tk358::FontConversionTest)
#include "font_conversion_test.moc"
