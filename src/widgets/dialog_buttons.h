#pragma once

// The "OK" and "Anuluj" row every dialog of the program ends with.

class QDialog;
class QDialogButtonBox;

namespace tk358 {

// A button box owned by `dialog` whose buttons, named "okButton" and
// "cancelButton", accept and reject it; OK is the default button. The caller
// places it in its layout. The dialog keeps the rules of dialog_rules.h.
QDialogButtonBox* MakeOkCancelButtons(QDialog* dialog);

}  // namespace tk358
