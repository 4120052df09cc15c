// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/about_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "tk358_version.h"
#include "widgets/hyperlink_label.h"
#include "widgets/icons.h"

namespace tk358 {

namespace {

QLabel* TitleLabel() {
    auto* title = new QLabel(QStringLiteral("tk358"));
    title->setObjectName(QStringLiteral("programName"));
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    title->setFont(font);
    return title;
}

QLabel* TextLabel(const QString& objectName, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

HyperlinkLabel* Link(const QString& objectName, const QString& text, const char* target) {
    auto* link = new HyperlinkLabel(text);
    link->setObjectName(objectName);
    link->SetTarget(QString::fromLatin1(target));
    return link;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("O programie"));
    setObjectName(QStringLiteral("aboutDialog"));

    auto* icon = new QLabel;
    icon->setObjectName(QStringLiteral("programIcon"));
    icon->setPixmap(ApplicationIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    mailLink_ = Link(QStringLiteral("mailLink"), QStringLiteral("serwis@tk358.example"),
                     kServiceMailTarget);
    webLink_ = Link(QStringLiteral("webLink"), QStringLiteral("tk358.example"), kWebSiteTarget);
    auto* contacts = new QFormLayout;
    contacts->addRow(QStringLiteral("Serwis:"), mailLink_);
    contacts->addRow(QStringLiteral("Strona:"), webLink_);

    QLabel* description =
        TextLabel(QStringLiteral("descriptionText"),
                  QStringLiteral("Serwis i monitorowanie paneli sterowników TK-358 "
                                 "podłączonych do portu szeregowego: odczyt stanu, "
                                 "zmiana parametrów i rejestracja pomiarów do pliku."));
    // A wrapped text needs a width of its own in a fixed-size dialog.
    description->setMinimumWidth(320);

    auto* text = new QVBoxLayout;
    text->addWidget(TitleLabel());
    text->addWidget(TextLabel(QStringLiteral("versionText"),
                              QStringLiteral("Wersja %1").arg(QLatin1String(TK358_VERSION))));
    text->addWidget(TextLabel(QStringLiteral("licenseText"),
                              QStringLiteral("Licencja: %1").arg(QLatin1String(TK358_LICENSE))));
    text->addWidget(description);
    text->addLayout(contacts);
    text->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto* buttons = new QDialogButtonBox;
    QPushButton* close =
        buttons->addButton(QStringLiteral("Zamknij"), QDialogButtonBox::AcceptRole);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ShowAboutBox(QWidget* parent) {
    CAboutDlg dialog(parent);
    dialog.exec();
}

}  // namespace tk358
