// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The number fields of a parameter dialog made from its kind's edit rows
// (present/kind_fields.h): added, filled, checked and enabled in the rows'
// order, so a dialog names its fields once.

#include <QLineEdit>
#include <QString>
#include <optional>
#include <span>
#include <vector>

#include "dialogs/field_rows.h"
#include "dialogs/param_form.h"
#include "present/kind_fields.h"

namespace tk358 {

template <class Values>
class RowEdits {
public:
    // Appends one grid row per edit row.
    void Add(QGridLayout* grid, std::span<const DialogRow<Values>> rows) {
        for (const DialogRow<Values>& row : rows) {
            edits_.push_back(
                {AddParamRow(grid, row.code, QString::fromUtf8(row.objectName)), &row});
        }
    }

    void Show(const Values& values) const {
        for (const Edit& edit : edits_) {
            ShowField(edit.field, *edit.row->rule, values.*(edit.row->value));
        }
    }

    // Stores every accepted value into `values`; names the first refused field.
    std::optional<PanelDialog::FieldError> Check(Values& values) const {
        std::vector<FieldCheck> checks;
        for (const Edit& edit : edits_) {
            checks.push_back({edit.field, *edit.row->rule, &(values.*(edit.row->value))});
        }
        return CheckFields(std::span<const FieldCheck>(checks));
    }

    void SetEnabled(bool enable) const {
        for (const Edit& edit : edits_) {
            edit.field->setEnabled(enable);
        }
    }

private:
    struct Edit {
        QLineEdit* field;
        const DialogRow<Values>* row;
    };
    std::vector<Edit> edits_;
};

}  // namespace tk358
