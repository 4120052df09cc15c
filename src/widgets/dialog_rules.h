// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The keyboard and greying rules every dialog of the program keeps, so that a
// technician can work it without the mouse. Applied each time the dialog is
// shown, after it has filled its fields:
//  - the keyboard focus starts in the first field, with its text selected so
//    that typing replaces it: the first enabled control of the focus chain
//    that takes input (an edit, a list, a check box, a calendar; of a radio
//    group the checked button; push buttons inside the dialog are commands,
//    not fields). A dialog without such a field starts on its default button;
//  - Tab goes through the fields in the order they were laid out, then the
//    buttons of the button row from left to right;
//  - the row's accepting button (OK) is the default: Enter in a field means OK;
//  - a dialog is at least wide enough to show its whole title;
//  - a label is greyed exactly when the control it names (its buddy) is, so a
//    field greyed during a write or by a choice is greyed together with its
//    caption and unit (a unit label names its field as buddy for this).

class QDialog;
class QDialogButtonBox;
class QWidget;

namespace tk358 {

// Installs the rules on `dialog`, whose button row is `buttons`. Call once,
// while building the dialog; fields added afterwards are covered too.
void InstallDialogRules(QDialog* dialog, QDialogButtonBox* buttons);

// The width at which the title bar shows the whole title of `dialog`.
int DialogWidthForTitle(const QWidget* dialog);

}  // namespace tk358
