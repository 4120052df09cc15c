// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLabel>
#include <QtTest>
#include <array>
#include <memory>

#include "support/shown_picture.h"
#include "support/value_display_probe.h"
#include "widget_test_support.h"
#include "widgets/colour_dialog.h"
#include "widgets/colour_swatch.h"
#include "widgets/font_dialog.h"
#include "widgets/font_sample.h"
#include "widgets/value_display.h"

namespace tk358 {
namespace {

// The main window's three displays, with standard dialogs that answer from a
// script instead of asking anyone.
struct Displays {
    std::array<std::unique_ptr<ValueDisplay>, 3> owned;
    std::optional<QColor> colourAnswer;
    std::optional<QFont> fontAnswer;
    QWidget* askedParent = nullptr;

    Displays() {
        const Colorref backgrounds[] = {13559807, 13434879, 12124159};
        const Colorref texts[] = {5442, 16384, 16384};
        for (std::size_t i = 0; i < owned.size(); ++i) {
            owned[i] = std::make_unique<ValueDisplay>();
            owned[i]->SetBackgroundColour(backgrounds[i]);
            owned[i]->SetTextColour(texts[i]);
            FontDescription d = owned[i]->GetFontDescription();
            d.height = -64 + static_cast<int>(i);
            owned[i]->SetFontParameters(d);
            test::ValueDisplayProbe::SetColourChooser(*owned[i],
                                                      [this](QWidget* parent, const QColor&) {
                                                          askedParent = parent;
                                                          return colourAnswer;
                                                      });
            test::ValueDisplayProbe::SetFontChooser(*owned[i],
                                                    [this](QWidget* parent, const QFont&) {
                                                        askedParent = parent;
                                                        return fontAnswer;
                                                    });
        }
    }
    ValueDisplays Pointers() const { return {owned[0].get(), owned[1].get(), owned[2].get()}; }
    ValueDisplay& operator[](int row) { return *owned[static_cast<std::size_t>(row)]; }
};

using ColoursOf = std::array<std::pair<Colorref, Colorref>, 3>;

ColoursOf Colours(Displays& d) {
    ColoursOf c;
    for (int row = 0; row < 3; ++row) {
        c[static_cast<std::size_t>(row)] = {d[row].GetBackgroundColour(), d[row].GetTextColour()};
    }
    return c;
}

}  // namespace

class SelectionDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void colourRowsFollowTheDisplays_data();
    void colourRowsFollowTheDisplays();
    void swatchClickChangesTheDisplayAtOnce();
    void colourSelectionRestoresUnlessAccepted_data();
    void colourSelectionRestoresUnlessAccepted();
    void fontRowsFollowTheDisplays();
    void fontSelectionRestoresUnlessAccepted_data();
    void fontSelectionRestoresUnlessAccepted();
};

void SelectionDialogsTest::colourRowsFollowTheDisplays_data() {
    QTest::addColumn<bool>("secondAvailable");
    QTest::newRow("threshold regulator") << true;
    QTest::newRow("other panels") << false;
}

void SelectionDialogsTest::colourRowsFollowTheDisplays() {
    QFETCH(bool, secondAvailable);
    Displays displays;
    ColourDialog dialog(displays.Pointers(), secondAvailable);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Kolory"));
    for (int row = 0; row < 3; ++row) {
        const bool shown = row < 2 || secondAvailable;
        QCOMPARE(dialog.BackgroundSwatch(row)->isVisible(), shown);
        QCOMPARE(dialog.TextSwatch(row)->isVisible(), shown);
        const auto* label = dialog.findChild<QLabel*>(
            QString::fromLatin1(kDisplayRowNames[static_cast<std::size_t>(row)]) +
            QLatin1String("Label"));
        QVERIFY(label != nullptr);
        QCOMPARE(label->isVisible(), shown);
        QCOMPARE(label->text(),
                 QString::fromUtf8(kDisplayRowTitles[static_cast<std::size_t>(row)]));
        const Colorref background =
            shown ? displays[row].GetBackgroundColour() : ColourSwatch::kInitialColour;
        const Colorref text = shown ? displays[row].GetTextColour() : ColourSwatch::kInitialColour;
        QCOMPARE(test::ShownColour(*dialog.BackgroundSwatch(row)), background);
        QCOMPARE(test::ShownColour(*dialog.TextSwatch(row)), text);
    }
    // The swatch shows its colour over its whole face.
    const QImage face = dialog.BackgroundSwatch(0)->grab().toImage();
    QCOMPARE(face.pixelColor(face.width() / 2, face.height() / 2), QColor(255, 231, 206));
}

void SelectionDialogsTest::swatchClickChangesTheDisplayAtOnce() {
    Displays displays;
    ColourDialog dialog(displays.Pointers(), true);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    displays.colourAnswer = QColor(1, 2, 3);
    QTest::mouseClick(dialog.TextSwatch(1), Qt::LeftButton);
    QCOMPARE(displays.askedParent, &dialog);
    QCOMPARE(displays[1].GetTextColour(), MakeColorref(1, 2, 3));
    QCOMPARE(test::ShownColour(*dialog.TextSwatch(1)), MakeColorref(1, 2, 3));
    QCOMPARE(displays[1].GetBackgroundColour(), Colorref{13434879});
    QCOMPARE(displays[0].GetTextColour(), Colorref{5442});

    displays.colourAnswer = QColor(4, 5, 6);
    dialog.BackgroundSwatch(2)->click();
    QCOMPARE(displays[2].GetBackgroundColour(), MakeColorref(4, 5, 6));
    QCOMPARE(test::ShownColour(*dialog.BackgroundSwatch(2)), MakeColorref(4, 5, 6));

    // A cancelled standard dialog leaves display and swatch as they were.
    displays.colourAnswer.reset();
    dialog.BackgroundSwatch(2)->click();
    QCOMPARE(displays[2].GetBackgroundColour(), MakeColorref(4, 5, 6));
    QCOMPARE(test::ShownColour(*dialog.BackgroundSwatch(2)), MakeColorref(4, 5, 6));
}

void SelectionDialogsTest::colourSelectionRestoresUnlessAccepted_data() {
    QTest::addColumn<bool>("accept");
    QTest::addColumn<bool>("secondAvailable");
    QTest::newRow("Anuluj, three rows") << false << true;
    QTest::newRow("Anuluj, two rows") << false << false;
    QTest::newRow("OK") << true << true;
}

void SelectionDialogsTest::colourSelectionRestoresUnlessAccepted() {
    QFETCH(bool, accept);
    QFETCH(bool, secondAvailable);
    Displays displays;
    const ColoursOf before = Colours(displays);
    ColoursOf during{};
    test::OnNextModal<ColourDialog>([&](ColourDialog* dialog) {
        displays.colourAnswer = QColor(10, 10, 10);
        dialog->BackgroundSwatch(0)->click();
        displays.colourAnswer = QColor(20, 20, 20);
        dialog->TextSwatch(1)->click();
        during = Colours(displays);
        accept ? dialog->accept() : dialog->reject();
    });
    QCOMPARE(RunColourSelection(nullptr, displays.Pointers(), secondAvailable), accept);
    QCOMPARE(during[0].first, MakeColorref(10, 10, 10));
    QCOMPARE(during[1].second, MakeColorref(20, 20, 20));
    QCOMPARE(Colours(displays), accept ? during : before);
}

void SelectionDialogsTest::fontRowsFollowTheDisplays() {
    Displays displays;
    FontDialog dialog(displays.Pointers(), false);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Czcionki"));
    for (int row = 0; row < 2; ++row) {
        QVERIFY(dialog.Sample(row)->isVisible());
        QVERIFY(test::ShowsFont(*dialog.Sample(row), displays[row].GetValueFont()));
        QCOMPARE(dialog.Sample(row)->text(), QStringLiteral("0123456789."));
    }
    QVERIFY(!dialog.Sample(2)->isVisible());
    QVERIFY(!dialog.findChild<QLabel*>(QStringLiteral("setpoint2Label"))->isVisible());

    QFont underlined = displays[1].GetValueFont();
    underlined.setUnderline(true);
    displays.fontAnswer = underlined;
    QTest::mouseClick(dialog.Sample(1), Qt::LeftButton);
    QCOMPARE(displays.askedParent, &dialog);
    QCOMPARE(displays[1].GetFontDescription().underline, 1);
    QVERIFY(displays[1].GetValueFont().underline());
    QVERIFY(test::ShowsFont(*dialog.Sample(1), underlined));
    QVERIFY(!test::ShowsFont(*dialog.Sample(1), displays[0].GetValueFont()));
    QVERIFY(!displays[0].GetValueFont().underline());

    // A cancelled font dialog changes nothing.
    displays.fontAnswer.reset();
    const FontDescription kept = displays[0].GetFontDescription();
    dialog.Sample(0)->click();
    QCOMPARE(displays[0].GetFontDescription(), kept);
}

void SelectionDialogsTest::fontSelectionRestoresUnlessAccepted_data() {
    QTest::addColumn<bool>("accept");
    QTest::newRow("Anuluj") << false;
    QTest::newRow("OK") << true;
}

void SelectionDialogsTest::fontSelectionRestoresUnlessAccepted() {
    QFETCH(bool, accept);
    Displays displays;
    std::array<FontDescription, 3> before;
    for (int row = 0; row < 3; ++row) {
        before[static_cast<std::size_t>(row)] = displays[row].GetFontDescription();
    }
    test::OnNextModal<FontDialog>([&](FontDialog* dialog) {
        QFont chosen(QStringLiteral("DejaVu Serif"));
        chosen.setPixelSize(30);
        chosen.setUnderline(true);
        displays.fontAnswer = chosen;
        dialog->Sample(0)->click();
        dialog->Sample(2)->click();
        accept ? dialog->accept() : dialog->reject();
    });
    QCOMPARE(RunFontSelection(nullptr, displays.Pointers(), true), accept);
    for (int row = 0; row < 3; ++row) {
        const FontDescription& now = displays[row].GetFontDescription();
        if (accept && row != 1) {
            QCOMPARE(now.height, -30);
            QCOMPARE(now.FaceName(), std::string("DejaVu Serif"));
            QCOMPARE(now.underline, 1);
            QVERIFY(displays[row].GetValueFont().underline());
        } else {
            QCOMPARE(now, before[static_cast<std::size_t>(row)]);
            QVERIFY(!displays[row].GetValueFont().underline());
            QCOMPARE(displays[row].GetValueFont().pixelSize(), 64 - row);
        }
    }
}

}  // namespace tk358

QTEST_MAIN(tk358::SelectionDialogsTest)
#include "selection_dialogs_test.moc"
