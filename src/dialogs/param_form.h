#pragma once

// Building blocks shared by the "Parametry regulacji" dialogs: rows of
// label, number field and unit, and the checking of fields in their order.

#include <QString>
#include <initializer_list>
#include <optional>

#include "dialogs/panel_dialog.h"
#include "dialogs/param_dialog_choice.h"
#include "dialogs/regulation_fields.h"

class QGridLayout;
class QLineEdit;
class QRadioButton;

namespace tk358 {

// kParamReadFailure is in param_dialog_choice.h: the window shows it too.
inline constexpr const char* kParamTitle = "Parametry regulacji";
inline constexpr const char* kParamWriteFailure = "Nie można zapisać parametrów regulacji";
inline constexpr const char* kSettingsStartFailure = "Nie można zapisać ustawień";

// Appends a row to `grid` (columns: label, field, unit) and returns the field,
// named `objectName`. Label and unit look disabled whenever the field is.
QLineEdit* AddParamRow(QGridLayout* grid, const QString& label, const QString& unit,
                       const QString& objectName);

// `followers` (labels) are enabled exactly when `field` is.
void FollowEnabledOf(QWidget* field, std::initializer_list<QWidget*> followers);

// Leaves a little room between the last row and the dialog's buttons.
void AddBottomSpace(QGridLayout* grid);

// A radio button named `objectName`.
QRadioButton* NewRadio(const QString& text, const QString& objectName, QWidget* parent = nullptr);

void ShowTenths(QLineEdit* field, int tenths);
void ShowWhole(QLineEdit* field, int value);

// One field to check: its text goes through `rule` into `*value`. A field not
// `asked` is neither read nor checked and leaves `*value` as it is.
struct FieldCheck {
    QLineEdit* field;
    const FieldRule& rule;
    int* value;
    bool asked = true;
};

// Checks the fields in the order given and stores each accepted value; stops
// at the first refused field and names it with the rule's message.
std::optional<PanelDialog::FieldError> CheckFields(std::initializer_list<FieldCheck> checks);

}  // namespace tk358
