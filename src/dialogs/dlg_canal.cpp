// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/dlg_canal.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "widgets/dialog_buttons.h"

namespace tk358 {

CDlgCanal::CDlgCanal(int zone, QWidget* parent) : QDialog(parent), zone_(zone != 0 ? 1 : 0) {
    setObjectName(QStringLiteral("zoneDialog"));
    setWindowTitle(QStringLiteral("Wybór toru pomiarowego"));

    auto* label = new QLabel(QStringLiteral("Wybór strefy:"), this);
    zone1_ = new QRadioButton(QStringLiteral("Strefa 1"), this);
    zone1_->setObjectName(QStringLiteral("zone1Radio"));
    zone2_ = new QRadioButton(QStringLiteral("Strefa 2"), this);
    zone2_->setObjectName(QStringLiteral("zone2Radio"));
    (zone_ == 1 ? zone2_ : zone1_)->setChecked(true);

    QDialogButtonBox* buttons = MakeOkCancelButtons(this);

    auto* zones = new QVBoxLayout;
    zones->setContentsMargins(12, 0, 0, 0);
    zones->addWidget(zone1_);
    zones->addWidget(zone2_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(zones);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CDlgCanal::accept() {
    if (zone1_->isChecked()) {
        zone_ = 0;
    } else if (zone2_->isChecked()) {
        zone_ = 1;
    } else {
        sink_->Show(this, MessageIcon::Warning, QStringLiteral("Wybierz tor pomiarowy"));
        return;
    }
    QDialog::accept();
}

}  // namespace tk358
