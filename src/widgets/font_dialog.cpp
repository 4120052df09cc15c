// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/font_dialog.h"

#include <QGridLayout>
#include <QLabel>

#include "present/font_description.h"
#include "widgets/dialog_buttons.h"
#include "widgets/font_sample.h"
#include "widgets/value_display.h"

namespace tk358 {

FontDialog::FontDialog(const ValueDisplays& displays, bool secondAvailable, QWidget* parent)
    : QDialog(parent), displays_(displays) {
    QGridLayout* grid = MakeRowGrid(this, QStringLiteral("Czcionki"));
    for (int row = 0; row < 3; ++row) {
        const auto index = static_cast<std::size_t>(row);
        const QString name = QString::fromLatin1(kDisplayRowNames[index]);
        auto* title = new QLabel(QString::fromUtf8(kDisplayRowTitles[index]));
        title->setObjectName(name + QLatin1String("Label"));
        auto* sample = new FontSample;
        sample->setObjectName(name + QLatin1String("Sample"));
        grid->addWidget(title, row, 0);
        grid->addWidget(sample, row, 1);
        samples_[index] = sample;

        const bool shown = RowShown(displays_, row, secondAvailable);
        if (!shown) {
            title->hide();
            sample->hide();
            continue;
        }
        sample->SetSampleFont(displays_[index]->GetValueFont());
        connect(sample, &QAbstractButton::clicked, this, [this, row] { Choose(row); });
    }
    AddOkCancelRow(this);
}

void FontDialog::Choose(int row) {
    const auto index = static_cast<std::size_t>(row);
    displays_[index]->ChooseFont(this);
    samples_[index]->SetSampleFont(displays_[index]->GetValueFont());
}

bool RunFontSelection(QWidget* parent, const ValueDisplays& displays, bool secondAvailable) {
    std::array<FontDescription, 3> saved{};
    for (std::size_t i = 0; i < displays.size(); ++i) {
        if (displays[i] != nullptr) {
            saved[i] = displays[i]->GetFontDescription();
        }
    }
    FontDialog dialog(displays, secondAvailable, parent);
    if (dialog.exec() == QDialog::Accepted) {
        return true;
    }
    for (std::size_t i = 0; i < displays.size(); ++i) {
        if (displays[i] != nullptr) {
            displays[i]->SetFontParameters(saved[i]);
        }
    }
    return false;
}

}  // namespace tk358
