// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/port_dlg.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "link/port_enumeration.h"
#include "present/port_list.h"
#include "widgets/dialog_buttons.h"

namespace tk358 {

namespace {

// The list is at least this wide, and at most two thirds of the screen; the
// popup may use nearly the whole screen so a /dev/serial/by-id name reads whole.
constexpr int kMinListWidth = 280;
constexpr int kListChrome = 48;  // frame, arrow and popup scroll bar

}  // namespace

PortListingJob SystemPortListing() {
    return [](const std::atomic<bool>&) {
        int count = 0;
        std::string text;
        return EnumerateComPorts(count, text) ? text : std::string();
    };
}

CPortDlg::CPortDlg(int portNumber, PortListingJob listing, QWidget* parent)
    : QDialog(parent), portNumber_(portNumber), listing_(std::move(listing)) {
    setObjectName(QStringLiteral("portDialog"));
    setWindowTitle(QStringLiteral("Port szeregowy"));

    auto* label = new QLabel(QStringLiteral("Wybierz port:"), this);
    portList_ = new QComboBox(this);
    portList_->setObjectName(QStringLiteral("portList"));
    portList_->view()->setTextElideMode(Qt::ElideMiddle);
    label->setBuddy(portList_);
    connect(portList_, &QComboBox::currentTextChanged, portList_, &QComboBox::setToolTip);

    currentPort_ =
        new QLabel(QString::fromStdString(CurrentPortText(std::max(portNumber, 0))), this);
    currentPort_->setObjectName(QStringLiteral("currentPortText"));

    QDialogButtonBox* buttons = MakeOkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(portList_);
    layout->addSpacing(6);
    layout->addWidget(currentPort_);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    portList_->setMinimumWidth(kMinListWidth);
}

void CPortDlg::setVisible(bool visible) {
    if (visible && !listed_) {
        listed_ = true;
        ListPorts();
    }
    QDialog::setVisible(visible);
}

void CPortDlg::ListPorts() {
    portNames_.clear();
    CWaitDlg wait(listing_, parentWidget());
    wait.exec();
    // Also when the box was closed with Esc: the listing is complete once waited for.
    portNames_ = PortEntriesFromListing(wait.WaitForResult());
    FillList();
}

void CPortDlg::FillList() {
    portList_->clear();
    for (const std::string& name : portNames_) {
        const QString text = QString::fromStdString(name);
        portList_->addItem(text);
        portList_->setItemData(portList_->count() - 1, text, Qt::ToolTipRole);
    }
    const std::optional<std::size_t> selected =
        SelectedPortEntry(portNames_, std::max(portNumber_, 0));
    portList_->setCurrentIndex(selected ? static_cast<int>(*selected) : -1);
    FitListWidth();
}

void CPortDlg::FitListWidth() {
    int widest = 0;
    for (int i = 0; i < portList_->count(); ++i) {
        widest =
            std::max(widest, portList_->fontMetrics().horizontalAdvance(portList_->itemText(i)));
    }
    const QScreen* shown = screen();
    const int screenWidth = shown != nullptr ? shown->availableGeometry().width() : 1024;
    const int wanted = widest + kListChrome;
    portList_->setMinimumWidth(std::max(kMinListWidth, std::min(wanted, screenWidth * 2 / 3)));
    portList_->view()->setMinimumWidth(std::min(wanted, screenWidth - kListChrome));
}

void CPortDlg::accept() {
    const int chosen = PortNumberOfEntry(portList_->currentText().toStdString());
    if (chosen <= 0) {
        sink_->Show(this, MessageIcon::Warning, QString::fromUtf8(kNoPortChosenMessage));
        return;
    }
    portNumber_ = chosen;
    QDialog::accept();
}

}  // namespace tk358
