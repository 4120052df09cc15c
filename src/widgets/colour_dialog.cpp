// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/colour_dialog.h"

#include <QGridLayout>
#include <QLabel>

#include "widgets/colour_swatch.h"
#include "widgets/dialog_buttons.h"
#include "widgets/value_display.h"

namespace tk358 {
namespace {

QString Name(int row, const char* suffix) {
    return QString::fromLatin1(kDisplayRowNames[static_cast<std::size_t>(row)]) +
           QLatin1String(suffix);
}

}  // namespace

ColourDialog::ColourDialog(const ValueDisplays& displays, bool secondAvailable, QWidget* parent)
    : QDialog(parent), displays_(displays) {
    QGridLayout* grid = MakeRowGrid(this, QStringLiteral("Kolory"));
    grid->addWidget(new QLabel(QStringLiteral("Tło")), 0, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("Tekst")), 0, 2, Qt::AlignHCenter);
    for (int row = 0; row < 3; ++row) {
        auto* title = new QLabel(QString::fromUtf8(kDisplayRowTitles[Index(row)]));
        title->setObjectName(Name(row, "Label"));
        auto* background = new ColourSwatch;
        background->setObjectName(Name(row, "BackgroundSwatch"));
        auto* text = new ColourSwatch;
        text->setObjectName(Name(row, "TextSwatch"));
        grid->addWidget(title, row + 1, 0);
        grid->addWidget(background, row + 1, 1);
        grid->addWidget(text, row + 1, 2);
        background_[Index(row)] = background;
        text_[Index(row)] = text;

        const bool shown = RowShown(displays_, row, secondAvailable);
        if (!shown) {
            title->hide();
            background->hide();
            text->hide();
            continue;
        }
        background->SetColour(displays_[Index(row)]->GetBackgroundColour());
        text->SetColour(displays_[Index(row)]->GetTextColour());
        connect(background, &QAbstractButton::clicked, this,
                [this, row] { ChooseBackground(row); });
        connect(text, &QAbstractButton::clicked, this, [this, row] { ChooseText(row); });
    }
    AddOkCancelRow(this);
}

void ColourDialog::ChooseBackground(int row) {
    ValueDisplay* display = displays_[Index(row)];
    display->ChooseBackgroundColour(this);
    background_[Index(row)]->SetColour(display->GetBackgroundColour());
}

void ColourDialog::ChooseText(int row) {
    ValueDisplay* display = displays_[Index(row)];
    display->ChooseTextColour(this);
    text_[Index(row)]->SetColour(display->GetTextColour());
}

bool RunColourSelection(QWidget* parent, const ValueDisplays& displays, bool secondAvailable) {
    struct Colours {
        Colorref background = 0;
        Colorref text = 0;
    };
    std::array<Colours, 3> saved{};
    for (std::size_t i = 0; i < displays.size(); ++i) {
        if (displays[i] != nullptr) {
            saved[i] = {displays[i]->GetBackgroundColour(), displays[i]->GetTextColour()};
        }
    }
    ColourDialog dialog(displays, secondAvailable, parent);
    if (dialog.exec() == QDialog::Accepted) {
        return true;
    }
    for (std::size_t i = 0; i < displays.size(); ++i) {
        if (displays[i] != nullptr) {
            displays[i]->SetBackgroundColour(saved[i].background);
            displays[i]->SetTextColour(saved[i].text);
            displays[i]->update();
        }
    }
    return false;
}

}  // namespace tk358
