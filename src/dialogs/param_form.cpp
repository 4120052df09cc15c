// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/param_form.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QRadioButton>

#include "dialogs/field_rows.h"

namespace tk358 {

QLineEdit* AddParamRow(QGridLayout* grid, int code, const QString& objectName) {
    const int row = grid->rowCount();
    QLineEdit* field = NewNumberEdit(objectName, QStringLiteral("-200.0"), nullptr);
    AddNumberRow(grid, row, 0, LabelOf(code), field, UnitOf(code));
    return field;
}

void AddBottomSpace(QGridLayout* grid) {
    grid->setRowMinimumHeight(grid->rowCount(), 6);
}

QRadioButton* NewRadio(const QString& text, const QString& objectName, QWidget* parent) {
    auto* radio = new QRadioButton(text, parent);
    radio->setObjectName(objectName);
    return radio;
}

}  // namespace tk358
