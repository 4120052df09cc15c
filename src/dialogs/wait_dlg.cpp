// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/wait_dlg.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>
#include <exception>
#include <utility>

namespace tk358 {

CWaitDlg::CWaitDlg(Job job, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), job_(std::move(job)) {
    setObjectName(QStringLiteral("waitDialog"));
    setModal(true);

    // Without a caption the window manager draws no border either.
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("waitFrame"));
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setLineWidth(1);
    frame->setMinimumWidth(220);

    auto* picture = new QLabel(frame);
    picture->setObjectName(QStringLiteral("waitPicture"));
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(side, side));

    auto* text = new QLabel(QStringLiteral("Proszę czekać"), frame);
    text->setObjectName(QStringLiteral("waitText"));

    cancel_ = new QPushButton(QStringLiteral("Anuluj"), frame);
    cancel_->setObjectName(QStringLiteral("waitCancelButton"));
    connect(cancel_, &QPushButton::clicked, this, &CWaitDlg::RequestStop);

    auto* row = new QHBoxLayout;
    row->addWidget(picture);
    row->addSpacing(12);
    row->addWidget(text, 1);
    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(20, 16, 20, 14);
    inner->addLayout(row);
    inner->addSpacing(10);
    inner->addWidget(cancel_, 0, Qt::AlignHCenter);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    outer->setSizeConstraint(QLayout::SetFixedSize);
}

CWaitDlg::~CWaitDlg() {
    stop_.store(true, std::memory_order_relaxed);
    worker_.WaitServingEvents();
}

std::string CWaitDlg::WaitForResult() {
    worker_.WaitServingEvents();
    return result_;
}

void CWaitDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_) {
        return;
    }
    started_ = true;
    stop_.store(false, std::memory_order_relaxed);
    auto body = [this] {
        try {
            result_ = job_ ? job_(stop_) : std::string();
        } catch (...) {
            result_.clear();
        }
    };
    try {
        worker_.Start(this, std::move(body), [this] { OnJobDone(); });
    } catch (const std::exception&) {
        // No thread: nothing to wait for, and nothing listed.
        QMetaObject::invokeMethod(this, &CWaitDlg::OnJobDone, Qt::QueuedConnection);
    }
}

void CWaitDlg::RequestStop() {
    stop_.store(true, std::memory_order_relaxed);
    cancel_->setEnabled(false);  // pressed once is enough; the box closes with the job
}

void CWaitDlg::OnJobDone() {
    worker_.DisposeIfFinished();
    if (isVisible()) {
        accept();
    }
}

}  // namespace tk358
