// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Number fields of the panel dialogs: an edit sized for its values, placed in
// a grid row between its label and its unit; what it shows, and the checking
// of fields in their order by the rules of regulation_fields.h.

#include <QString>
#include <initializer_list>
#include <optional>
#include <span>

#include "dialogs/panel_dialog.h"
#include "panel/regulation_fields.h"

class QGridLayout;
class QLabel;
class QLineEdit;
class QWidget;

namespace tk358 {

// A right-aligned edit wide enough for `widest`, the longest text it normally holds.
QLineEdit* NewNumberEdit(const QString& objectName, const QString& widest, QWidget* parent);

// A plain label (no mnemonics: the texts are the panel's own names).
QLabel* NewLabel(const QString& text, QWidget* parent);

// Puts `label`, the edit and `unit` (if any) into columns column..column+2 of
// `row`. Both labels name the edit as buddy, so they are greyed with it.
void AddNumberRow(QGridLayout* grid, int row, int column, const QString& label, QLineEdit* edit,
                  const QString& unit = {});

// The label and the unit the parameter table gives for `code`.
QString LabelOf(int code);
QString UnitOf(int code);

// Puts `value` into `field` as a field of `rule` shows it.
void ShowField(QLineEdit* field, const FieldRule& rule, double value);

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
std::optional<PanelDialog::FieldError> CheckFields(std::span<const FieldCheck> checks);

}  // namespace tk358
