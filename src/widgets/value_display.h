// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The large value display: a title strip across the top in swapped colours and,
// below it, one measured value with its unit (or "???", or a fixed text),
// centred in a font and colours the user chooses.

#include <QFont>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

#include "present/colour.h"
#include "present/font_description.h"
#include "present/value_format.h"

class QPainter;

namespace tk358 {

namespace test {
struct ValueDisplayProbe;
}

class ValueDisplay : public QWidget {
    Q_OBJECT

public:
    // Standard dialogs, replaceable so that tests need no real dialog.
    // Each returns the chosen value, or nothing when cancelled.
    using ColourChooser =
        std::function<std::optional<QColor>(QWidget* parent, const QColor& initial)>;
    using FontChooser = std::function<std::optional<QFont>(QWidget* parent, const QFont& initial)>;

    static constexpr Colorref kDefaultTextColour = MakeColorref(0, 64, 128);
    static constexpr Colorref kDefaultBackgroundColour = MakeColorref(202, 228, 255);
    static constexpr int kBlinkPeriodMs = 500;

    explicit ValueDisplay(QWidget* parent = nullptr);

    void SetMode(int mode);  // 0: the fixed text, 1: the value
    int GetMode() const { return content_.mode; }
    void SetUnits(int sourceUnit, int displayUnit, bool showUnit);
    void SetTitle(const QString& title);
    QString GetTitle() const { return title_; }
    void SetText(const QString& text);
    void SetTwoDecimals(bool twoDecimals);

    // Repaints when the value changed or the display showed "???".
    void SetValue(double value);
    double GetValue() const { return content_.raw; }
    void SetInvalid();
    bool IsInvalid() const { return content_.invalid; }

    // On: the value area goes blank every other 500 ms; off: shown steadily.
    // The child timer "blinkTimer" runs only while the display blinks and is
    // shown.
    void SetBlink(bool on);
    bool IsBlinking() const { return blinking_; }

    Colorref GetTextColour() const { return textColour_; }
    void SetTextColour(Colorref colour);
    Colorref GetBackgroundColour() const { return backgroundColour_; }
    void SetBackgroundColour(Colorref colour);

    const FontDescription& GetFontDescription() const { return fontDescription_; }
    // Takes a whole description, makes the value font from it and repaints.
    void SetFontParameters(const FontDescription& description);
    QFont GetValueFont() const { return valueFont_; }
    QFont GetTitleFont() const { return titleFont_; }

    // Standard colour and font dialogs on the current colour or font; the
    // display repaints after either colour dialog, whatever its outcome.
    // `dialogParent` defaults to the display.
    void ChooseBackgroundColour(QWidget* dialogParent = nullptr);
    void ChooseTextColour(QWidget* dialogParent = nullptr);
    void ChooseFont(QWidget* dialogParent = nullptr);

    // Height of the title strip for the current title and title font.
    int TitleStripHeight() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The tests answer in place of the standard dialogs: the font dialog
    // cannot be given a pixel size, it works in points.
    friend struct test::ValueDisplayProbe;

    void ToggleBlinkPhase();
    void UpdateValueArea();
    void ChooseColour(Colorref& colour, QWidget* dialogParent);
    void PaintValue(QPainter& painter, const QRect& area) const;

    ValueDisplayContent content_;
    QString title_;
    Colorref textColour_ = kDefaultTextColour;
    Colorref backgroundColour_ = kDefaultBackgroundColour;
    FontDescription fontDescription_;
    QFont valueFont_;
    QFont titleFont_;
    QTimer blinkTimer_;      // runs while blinking_ and shown
    bool blinking_ = false;  // as the last SetBlink asked
    bool blankPhase_ = false;
    ColourChooser colourChooser_;
    FontChooser fontChooser_;
};

}  // namespace tk358
