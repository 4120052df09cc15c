// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Kolory": background and text colour of each value display. A change shows
// in the display at once; the caller restores the colours if the dialog is not
// accepted (RunColourSelection).

#include <QDialog>

#include "present/display_rows.h"

namespace tk358 {

class ColourSwatch;

class ColourDialog : public QDialog {
    Q_OBJECT

public:
    ColourDialog(const ValueDisplays& displays, bool secondAvailable, QWidget* parent = nullptr);

    ColourSwatch* BackgroundSwatch(int row) const { return background_[Index(row)]; }
    ColourSwatch* TextSwatch(int row) const { return text_[Index(row)]; }

private:
    static std::size_t Index(int row) { return static_cast<std::size_t>(row); }
    void ChooseBackground(int row);
    void ChooseText(int row);

    ValueDisplays displays_;
    std::array<ColourSwatch*, 3> background_{};
    std::array<ColourSwatch*, 3> text_{};
};

// Runs "Kolory" over the displays. Ended with anything but OK, it gives all
// three displays the colours they had before and repaints them. True on OK.
bool RunColourSelection(QWidget* parent, const ValueDisplays& displays, bool secondAvailable);

}  // namespace tk358
