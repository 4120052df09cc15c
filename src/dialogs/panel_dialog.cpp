// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/panel_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>
#include <memory>
#include <utility>

#include "link/panel_access.h"
#include "link/records.h"
#include "widgets/dialog_buttons.h"

namespace tk358 {

PanelDialog::PanelDialog(PanelAccess& session, Texts texts, QWidget* parent)
    : QDialog(parent), session_(session), texts_(std::move(texts)) {
    body_ = new QWidget(this);
    body_->setObjectName(QStringLiteral("dialogBody"));

    busyBar_ = new QProgressBar(this);
    busyBar_->setObjectName(QStringLiteral("writingProgress"));
    busyBar_->setRange(0, 0);  // no known end: the bar just moves
    busyBar_->setTextVisible(false);
    busyBar_->setMaximumWidth(60);
    busyText_ = new QLabel(QStringLiteral("Zapisywanie..."), this);
    busyText_->setObjectName(QStringLiteral("writingLabel"));
    for (QWidget* w : {static_cast<QWidget*>(busyBar_), static_cast<QWidget*>(busyText_)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);  // the buttons do not move when it shows
        w->setSizePolicy(policy);
        w->hide();
    }

    buttons_ = MakeOkCancelButtons(this);
    buttons_->setObjectName(QStringLiteral("dialogButtons"));

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(busyBar_);
    bottom->addWidget(busyText_);
    bottom->addStretch(1);
    bottom->addWidget(buttons_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(body_, 1);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

PanelDialog::~PanelDialog() {
    // The derived part is already gone: a completion served while waiting only
    // disposes of the thread.
    closing_ = true;
    worker_.WaitServingEvents();
}

void PanelDialog::SetMessageSink(MessageSink* sink) {
    sink_ = sink != nullptr ? sink : &boxes_;
}

QPushButton* PanelDialog::OkButton() const {
    return buttons_->button(QDialogButtonBox::Ok);
}

QPushButton* PanelDialog::CancelButton() const {
    return buttons_->button(QDialogButtonBox::Cancel);
}

int PanelDialog::exec() {
    if (!RunOpening()) {
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

void PanelDialog::setVisible(bool visible) {
    if (visible && !RunOpening()) {
        return;
    }
    QDialog::setVisible(visible);
}

bool PanelDialog::RunOpening() {
    if (opened_) {
        return true;
    }
    if (QLayout* own = body_->layout()) {
        own->setContentsMargins(0, 0, 0, 0);  // the dialog's margins surround the body
    }
    if (!Fill()) {
        sink_->Show(BoxParent(), MessageIcon::Warning, texts_.readFailure);
        done(QDialog::Rejected);  // tells a caller of open() that it is over
        return false;
    }
    opened_ = true;
    return true;
}

void PanelDialog::accept() {
    if (writing_) {
        return;  // a second OK while the worker runs
    }
    worker_.DisposeIfFinished();
    if (std::optional<FieldError> error = Validate()) {
        sink_->Show(BoxParent(), error->icon, error->message);
        if (error->field != nullptr) {
            error->field->setFocus(Qt::OtherFocusReason);
            if (auto* edit = qobject_cast<QLineEdit*>(error->field)) {
                edit->selectAll();
            }
        }
        return;
    }
    StartWrite(MakeWriteJob());
}

void PanelDialog::reject() {
    if (writing_) {
        return;
    }
    QDialog::reject();
}

void PanelDialog::done(int result) {
    opened_ = false;
    QDialog::done(result);
}

PanelDialog::WriteJob PanelDialog::OneWrite(std::function<int(PanelAccess&)> write) const {
    return [write = std::move(write), failure = texts_.writeFailure](PanelAccess& session) {
        if (write(session) == kStatusOk) {
            return WriteOutcome{true, {}};
        }
        return WriteOutcome{false, {failure}};
    };
}

void PanelDialog::StartWrite(WriteJob job) {
    auto result = std::make_shared<WorkerResult>();
    auto body = [job = std::move(job), result, session = &session_] {
        try {
            result->outcome = job(*session);
        } catch (...) {
            result->threw = true;
        }
    };
    try {
        worker_.Start(this, std::move(body), [this, result] { OnWriteDone(*result); });
    } catch (const std::exception&) {
        sink_->Show(BoxParent(), MessageIcon::Warning, texts_.startFailure);
        return;
    }
    writing_ = true;
    focusBeforeWrite_ = focusWidget();
    EnableControls(false);
    ShowBusy(true);
}

void PanelDialog::OnWriteDone(const WorkerResult& result) {
    worker_.DisposeIfFinished();
    writing_ = false;
    if (closing_) {
        return;
    }
    ShowBusy(false);
    const QPointer<PanelDialog> alive(this);
    if (!result.threw) {
        for (const QString& message : result.outcome.messages) {
            sink_->Show(this, MessageIcon::Warning, message);
            if (!alive) {
                return;
            }
        }
        if (result.outcome.success) {
            QDialog::accept();  // the values were checked before the write
            return;
        }
    }
    WriteEnded();
    EnableControls(true);
    if (focusBeforeWrite_ != nullptr) {
        focusBeforeWrite_->setFocus(Qt::OtherFocusReason);
    }
}

void PanelDialog::EnableControls(bool enable) {
    EnableFields(enable);
    OkButton()->setEnabled(enable);
    CancelButton()->setEnabled(enable);
}

std::function<void(int, int)> QueuedProgress(QProgressBar* bar) {
    return [bar](int done, int total) {
        QMetaObject::invokeMethod(
            bar,
            [bar, done, total] {
                bar->setRange(0, total);
                bar->setValue(done);
            },
            Qt::QueuedConnection);
    };
}

std::function<void(int, int)> PanelDialog::ProgressReporter() const {
    // The bar outlives the worker: the destructor waits for it.
    return QueuedProgress(busyBar_);
}

void PanelDialog::ShowBusy(bool busy) {
    if (busy) {
        busyBar_->setRange(0, 0);  // until a job reports how far it is
    }
    busyBar_->setVisible(busy);
    busyText_->setVisible(busy);
    if (busy) {
        setCursor(Qt::BusyCursor);
    } else {
        unsetCursor();
    }
}

QWidget* PanelDialog::BoxParent() {
    // Before the dialog is shown its parent window carries the box.
    return isVisible() ? this : parentWidget();
}

}  // namespace tk358
