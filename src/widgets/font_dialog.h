// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Czcionki": the value font of each value display. A change shows in the
// display at once; the caller restores the fonts if the dialog is not accepted
// (RunFontSelection).

#include <QDialog>

#include "present/display_rows.h"

namespace tk358 {

class FontSample;

class FontDialog : public QDialog {
    Q_OBJECT

public:
    FontDialog(const ValueDisplays& displays, bool secondAvailable, QWidget* parent = nullptr);

    FontSample* Sample(int row) const { return samples_[static_cast<std::size_t>(row)]; }

private:
    void Choose(int row);

    ValueDisplays displays_;
    std::array<FontSample*, 3> samples_{};
};

// Runs "Czcionki" over the displays. Ended with anything but OK, it gives each
// display its font description from before back. True on OK.
bool RunFontSelection(QWidget* parent, const ValueDisplays& displays, bool secondAvailable);

}  // namespace tk358
