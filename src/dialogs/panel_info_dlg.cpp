// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/panel_info_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "panel/panel_info_text.h"
#include "widgets/icons.h"

namespace tk358 {

CPanelInfoDlg::CPanelInfoDlg(const PanelInfo& info, const PanelIdentity& identity, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("panelInfoDialog"));
    setWindowTitle(QStringLiteral("Informacje o panelu"));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("panelInfoIcon"));
    picture->setPixmap(ApplicationIcon().pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("panelInfoText"));
    text->setTextFormat(Qt::PlainText);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);  // numbers can be copied
    text->setText(QString::fromStdString(BuildPanelInfoText(info, identity)));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    close->setText(QStringLiteral("Zamknij"));
    close->setObjectName(QStringLiteral("closeButton"));
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);

    auto* content = new QHBoxLayout;
    content->addWidget(picture);
    content->addSpacing(8);
    content->addWidget(text, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(content);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    text->setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + 80);
}

}  // namespace tk358
