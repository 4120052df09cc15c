// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/set_read_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "dialogs/panel_dialog.h"

namespace tk358 {

CSetReadDlg::CSetReadDlg(PanelAccess& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setWindowTitle(QStringLiteral("Odczyt parametrów"));
    text_ = new QLabel(QStringLiteral("Odczyt parametrów z panelu..."), this);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("readProgress"));
    bar_->setRange(0, 0);
    bar_->setMinimumWidth(280);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Anuluj"));
    connect(buttons, &QDialogButtonBox::rejected, this, &CSetReadDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(bar_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

CSetReadDlg::~CSetReadDlg() {
    stop_ = true;
    worker_.WaitServingEvents();
}

int CSetReadDlg::exec() {
    stop_ = false;
    SetReadOptions options;
    options.stop = &stop_;
    options.progress = QueuedProgress(bar_);
    try {
        worker_.Start(
            this, [this, options] { workerResult_ = ReadPanelSet(session_, options); },
            [this] { OnDone(); });
    } catch (const std::exception&) {
        result_ = {};
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

void CSetReadDlg::reject() {
    // The worker's end closes the dialog; until then the read winds down.
    stop_ = true;
    text_->setText(QStringLiteral("Przerywanie odczytu..."));
}

void CSetReadDlg::OnDone() {
    worker_.DisposeIfFinished();
    result_ = workerResult_;
    done(result_.status == ReadStatus::kOk ? QDialog::Accepted : QDialog::Rejected);
}

}  // namespace tk358
