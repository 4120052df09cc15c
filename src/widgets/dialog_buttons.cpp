// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/dialog_buttons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/dialog_rules.h"

namespace tk358 {

QDialogButtonBox* MakeOkCancelButtons(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("okButton"));
    QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
    cancel->setText(QStringLiteral("Anuluj"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    InstallDialogRules(dialog, buttons);
    return buttons;
}

QGridLayout* MakeRowGrid(QDialog* dialog, const QString& title) {
    dialog->setWindowTitle(title);
    auto* layout = new QVBoxLayout(dialog);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    grid->setHorizontalSpacing(12);
    return grid;
}

void AddOkCancelRow(QDialog* dialog) {
    auto* layout = qobject_cast<QVBoxLayout*>(dialog->layout());
    layout->addSpacing(8);
    layout->addWidget(MakeOkCancelButtons(dialog));
}

}  // namespace tk358
