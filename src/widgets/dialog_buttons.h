#pragma once

// The "OK" and "Anuluj" row every dialog of the program ends with.

class QDialog;
class QDialogButtonBox;

namespace tk358 {

// A button box owned by `dialog` whose buttons, named "okButton" and
// "cancelButton", accept and reject it. The caller places it in its layout.
QDialogButtonBox* MakeOkCancelButtons(QDialog* dialog);

}  // namespace tk358
