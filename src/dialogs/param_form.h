// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Building blocks shared by the "Parametry regulacji" dialogs: rows of
// label, number field and unit.

#include <QString>

#include "dialogs/field_rows.h"
#include "present/param_dialog_choice.h"

class QGridLayout;
class QLineEdit;
class QRadioButton;

namespace tk358 {

// kParamReadFailure is in param_dialog_choice.h: the window shows it too.
inline constexpr const char* kParamTitle = "Parametry regulacji";
inline constexpr const char* kParamWriteFailure = "Nie można zapisać parametrów regulacji";
inline constexpr const char* kSettingsStartFailure = "Nie można zapisać ustawień";

// Appends a row to `grid` (columns: label, field, unit) and returns the field,
// named `objectName`, with the label and unit of parameter `code`.
QLineEdit* AddParamRow(QGridLayout* grid, int code, const QString& objectName);

// Leaves a little room between the last row and the dialog's buttons.
void AddBottomSpace(QGridLayout* grid);

// A radio button named `objectName`.
QRadioButton* NewRadio(const QString& text, const QString& objectName, QWidget* parent = nullptr);

}  // namespace tk358
