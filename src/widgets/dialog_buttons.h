// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The "OK" and "Anuluj" row every dialog of the program ends with.

class QDialog;
class QDialogButtonBox;
class QGridLayout;
class QString;

namespace tk358 {

// A button box owned by `dialog` whose buttons, named "okButton" and
// "cancelButton", accept and reject it; OK is the default button. The caller
// places it in its layout. The dialog keeps the rules of dialog_rules.h.
QDialogButtonBox* MakeOkCancelButtons(QDialog* dialog);

// Lays `dialog` out at a fixed size, titled `title`, with a grid for its
// rows, which the caller fills before AddOkCancelRow puts the "OK" and
// "Anuluj" row under them (so that Tab reaches the buttons last).
QGridLayout* MakeRowGrid(QDialog* dialog, const QString& title);
void AddOkCancelRow(QDialog* dialog);

}  // namespace tk358
