// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/value_display.h"

#include <QColorDialog>
#include <QtTest>
#include <vector>

#include "support/paint_counter.h"
#include "support/value_display_probe.h"
#include "widget_test_support.h"
#include "widgets/qt_colour.h"

namespace tk358 {
namespace {

using test::InkBox;
using test::PaintCounter;
using test::PixelsOtherThan;
using test::Settle;

FontDescription ValueFont(int height) {
    FontDescription d = InitialValueFontDescription();
    d.height = height;
    return d;
}

// A shown temperature display at the main window's settings.
void SetUpShown(ValueDisplay& display) {
    display.resize(600, 200);
    display.SetTitle(QStringLiteral("Temperatura"));
    display.SetUnits(3, 3, true);
    display.SetFontParameters(ValueFont(-64));
    display.show();
    QVERIFY(QTest::qWaitForWindowExposed(&display));
    Settle();
}

QRect ValueArea(const ValueDisplay& display) {
    return display.rect().adjusted(0, display.TitleStripHeight(), 0, 0);
}

// The blinking's off phase: nothing drawn in the value area.
bool ValueAreaBlank(ValueDisplay& display) {
    const QRgb background = ToQColor(display.GetBackgroundColour()).rgb();
    return PixelsOtherThan(display.grab().toImage(), ValueArea(display), background) == 0;
}

bool BlinkTimerRuns(const ValueDisplay& display) {
    const auto* timer = display.findChild<QTimer*>(QStringLiteral("blinkTimer"));
    return timer != nullptr && timer->isActive();
}

}  // namespace

class ValueDisplayTest : public QObject {
    Q_OBJECT

private slots:
    void repaintsOnlyOnChange();
    void blinkingBlanksOnlyTheValueArea();
    void valueIsCentredInTheValueArea();
    void irradianceUnitRaisesTheTwo();
    void colourChoiceRepaintsWhateverTheOutcome();
    void standardColourDialogStartsOnTheCurrentColour();
};

void ValueDisplayTest::repaintsOnlyOnChange() {
    ValueDisplay display;
    SetUpShown(display);
    PaintCounter paints(&display);
    struct Step {
        const char* what;
        std::function<void(ValueDisplay&)> action;
        int paints;
    };
    const std::vector<Step> steps = {
        {"first value", [](ValueDisplay& d) { d.SetValue(21.5); }, 1},
        {"same value", [](ValueDisplay& d) { d.SetValue(21.5); }, 0},
        {"other value", [](ValueDisplay& d) { d.SetValue(21.6); }, 1},
        {"value showing the same text", [](ValueDisplay& d) { d.SetValue(21.61); }, 0},
        {"invalid", [](ValueDisplay& d) { d.SetInvalid(); }, 1},
        {"invalid again", [](ValueDisplay& d) { d.SetInvalid(); }, 0},
        {"same value after invalid", [](ValueDisplay& d) { d.SetValue(21.6); }, 1},
        {"same units", [](ValueDisplay& d) { d.SetUnits(3, 3, true); }, 0},
        {"unit hidden", [](ValueDisplay& d) { d.SetUnits(3, 3, false); }, 1},
        {"same title", [](ValueDisplay& d) { d.SetTitle(QStringLiteral("Temperatura")); }, 0},
        {"other title", [](ValueDisplay& d) { d.SetTitle(QStringLiteral("Wartość")); }, 1},
        {"two decimals", [](ValueDisplay& d) { d.SetTwoDecimals(true); }, 1},
        {"two decimals again", [](ValueDisplay& d) { d.SetTwoDecimals(true); }, 0},
        {"fixed text", [](ValueDisplay& d) { d.SetText(QStringLiteral("Brak")); }, 1},
        {"same fixed text", [](ValueDisplay& d) { d.SetText(QStringLiteral("Brak")); }, 0},
        {"same mode", [](ValueDisplay& d) { d.SetMode(1); }, 0},
        {"fixed-text mode", [](ValueDisplay& d) { d.SetMode(0); }, 1},
        {"same colour", [](ValueDisplay& d) { d.SetTextColour(d.GetTextColour()); }, 0},
        {"new colour", [](ValueDisplay& d) { d.SetBackgroundColour(MakeColorref(1, 2, 3)); }, 1},
        {"font", [](ValueDisplay& d) { d.SetFontParameters(ValueFont(-40)); }, 1},
        {"blink off when steady", [](ValueDisplay& d) { d.SetBlink(false); }, 0},
    };
    for (const Step& step : steps) {
        const int before = paints.Count();
        step.action(display);
        Settle();
        QVERIFY2(paints.Count() - before == step.paints, step.what);
    }
}

void ValueDisplayTest::blinkingBlanksOnlyTheValueArea() {
    ValueDisplay display;
    SetUpShown(display);
    PaintCounter paints(&display);
    display.SetValue(21.26);
    Settle();
    const QImage steady = display.grab().toImage();
    const QRgb background = ToQColor(display.GetBackgroundColour()).rgb();
    const QRect strip(0, 0, display.width(), display.TitleStripHeight());
    QVERIFY(strip.height() > 0);
    QVERIFY(PixelsOtherThan(steady, ValueArea(display), background) > 0);

    display.SetBlink(true);
    QVERIFY(display.IsBlinking());
    QVERIFY(!ValueAreaBlank(display));
    QTRY_VERIFY_WITH_TIMEOUT(ValueAreaBlank(display), 2000);
    const QImage blank = display.grab().toImage();
    QCOMPARE(blank.copy(strip), steady.copy(strip));
    QCOMPARE(PixelsOtherThan(blank, ValueArea(display), background), 0);

    // Starting it again keeps the running timer; the phase flips back in time.
    display.SetBlink(true);
    QTRY_VERIFY_WITH_TIMEOUT(!ValueAreaBlank(display), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(ValueAreaBlank(display), 2000);

    const int before = paints.Count();
    display.SetBlink(false);
    Settle();
    QVERIFY(!display.IsBlinking());
    QCOMPARE(paints.Count() - before, 1);
    QVERIFY(!ValueAreaBlank(display));  // renders the display once more
    QCOMPARE(display.grab().toImage(), steady);

    // Hidden, a blinking display wakes nobody; shown again, it blinks on.
    display.SetBlink(true);
    display.hide();
    QVERIFY(!BlinkTimerRuns(display));
    display.show();
    QVERIFY(BlinkTimerRuns(display));
}

void ValueDisplayTest::valueIsCentredInTheValueArea() {
    ValueDisplay display;
    SetUpShown(display);
    const QRgb background = ToQColor(display.GetBackgroundColour()).rgb();
    for (double value : {21.26, -5.0, 100.0}) {
        display.SetValue(value);
        const QImage image = display.grab().toImage();
        const QRect area = ValueArea(display);
        const QRect ink = InkBox(image, area, background);
        QVERIFY(!ink.isEmpty());
        QVERIFY2(qAbs(ink.center().x() - area.center().x()) <= 6,
                 qPrintable(QString::number(value)));
        QVERIFY2(qAbs(ink.center().y() - area.center().y()) <= 12,
                 qPrintable(QString::number(value)));
        QVERIFY(ink.height() >= 40);  // drawn in the 64-pixel value font, not a default one
    }
}

void ValueDisplayTest::irradianceUnitRaisesTheTwo() {
    ValueDisplay display;
    SetUpShown(display);
    display.SetUnits(2, 1, true);
    display.SetValue(100.0);
    const QImage image = display.grab().toImage();
    const QRgb background = ToQColor(display.GetBackgroundColour()).rgb();
    const QRect area = ValueArea(display);
    const QRect ink = InkBox(image, area, background);
    QVERIFY(!ink.isEmpty());
    QVERIFY(qAbs(ink.center().x() - area.center().x()) <= 6);
    // The last few columns hold only the "2", which ends well above the baseline.
    const QRect tail(ink.right() - 3, ink.top(), 4, ink.height());
    const QRect tailInk = InkBox(image, tail, background);
    QVERIFY(!tailInk.isEmpty());
    QVERIFY2(
        tailInk.bottom() < ink.bottom() - ink.height() / 4,
        qPrintable(
            QStringLiteral("tail ends at %1, text at %2").arg(tailInk.bottom()).arg(ink.bottom())));
    QVERIFY(tailInk.top() <= ink.top() + 4);
}

void ValueDisplayTest::colourChoiceRepaintsWhateverTheOutcome() {
    ValueDisplay display;
    SetUpShown(display);
    PaintCounter paints(&display);
    std::optional<QColor> answer;
    QColor offered;
    QWidget* askedParent = nullptr;
    test::ValueDisplayProbe::SetColourChooser(display, [&](QWidget* parent, const QColor& initial) {
        askedParent = parent;
        offered = initial;
        return answer;
    });
    const Colorref text = display.GetTextColour();
    const Colorref background = display.GetBackgroundColour();

    int before = paints.Count();
    answer.reset();
    display.ChooseTextColour();
    Settle();
    QCOMPARE(offered, ToQColor(text));
    QCOMPARE(askedParent, &display);
    QCOMPARE(display.GetTextColour(), text);
    QCOMPARE(paints.Count() - before, 1);

    before = paints.Count();
    answer = QColor(10, 20, 30);
    QWidget dialogParent;
    display.ChooseBackgroundColour(&dialogParent);
    Settle();
    QCOMPARE(offered, ToQColor(background));
    QCOMPARE(askedParent, &dialogParent);
    QCOMPARE(display.GetBackgroundColour(), MakeColorref(10, 20, 30));
    QCOMPARE(display.GetTextColour(), text);
    QCOMPARE(paints.Count() - before, 1);
}

void ValueDisplayTest::standardColourDialogStartsOnTheCurrentColour() {
    ValueDisplay display;
    display.SetTextColour(MakeColorref(66, 21, 0));
    QColor shown;
    test::OnNextModal<QColorDialog>([&](QColorDialog* dialog) {
        shown = dialog->currentColor();
        dialog->setCurrentColor(QColor(1, 2, 3));
        dialog->reject();
    });
    display.ChooseTextColour();
    QCOMPARE(shown, QColor(66, 21, 0));
    QCOMPARE(display.GetTextColour(), MakeColorref(66, 21, 0));

    test::OnNextModal<QColorDialog>([](QColorDialog* dialog) {
        dialog->setCurrentColor(QColor(1, 2, 3));
        dialog->accept();
    });
    display.ChooseTextColour();
    QCOMPARE(display.GetTextColour(), MakeColorref(1, 2, 3));
}

}  // namespace tk358

QTEST_MAIN(tk358::ValueDisplayTest)
#include "value_display_test.moc"
