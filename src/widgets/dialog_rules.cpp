// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/dialog_rules.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QList>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <algorithm>

namespace tk358 {

namespace {

// Marks a label that already follows its buddy.
constexpr const char* kFollowsBuddy = "tk358GreyedWithBuddy";

// Keeps a label greyed exactly when its buddy is, whether the buddy itself or
// a widget around it was disabled.
class GreyWithBuddy final : public QObject {
public:
    GreyWithBuddy(QLabel* label, QWidget* buddy) : QObject(label), label_(label), buddy_(buddy) {
        buddy->installEventFilter(this);
        Sync();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == buddy_ && event->type() == QEvent::EnabledChange) {
            Sync();
        }
        return false;
    }

private:
    void Sync() {
        if (buddy_ != nullptr) {
            label_->setEnabled(buddy_->isEnabled());
        }
    }

    QLabel* label_;
    QPointer<QWidget> buddy_;
};

// The checked button of the radio group `radio` belongs to, if another one.
QAbstractButton* CheckedPartner(QRadioButton* radio) {
    if (radio->isChecked()) {
        return nullptr;
    }
    if (QButtonGroup* group = radio->group()) {
        return group->checkedButton();
    }
    if (!radio->autoExclusive() || radio->parentWidget() == nullptr) {
        return nullptr;
    }
    const auto siblings =
        radio->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
    for (QRadioButton* other : siblings) {
        if (other->autoExclusive() && other->isChecked()) {
            return other;
        }
    }
    return nullptr;
}

class DialogRules final : public QObject {
public:
    DialogRules(QDialog* dialog, QDialogButtonBox* buttons)
        : QObject(dialog), dialog_(dialog), buttons_(buttons) {
        dialog->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // The dialog has filled its fields and laid itself out by now; the
        // focus set here is the one it is shown with.
        if (watched == dialog_ && event->type() == QEvent::Show && !event->spontaneous()) {
            GreyLabelsWithBuddies();
            WatchRadios();
            RoomForTitle();
            const QList<QAbstractButton*> row = RowButtons();
            OrderTabs(row);
            FocusFirstField(row);
        } else if (event->type() == QEvent::FocusIn && watched != dialog_) {
            // Tab enters a radio group at its checked button, so that Space
            // there cannot change the choice by accident.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            auto* radio = qobject_cast<QRadioButton*>(watched);
            QAbstractButton* checked = radio != nullptr ? CheckedPartner(radio) : nullptr;
            if (checked != nullptr && checked->isEnabled() &&
                (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)) {
                checked->setFocus(reason);
            }
        }
        return false;
    }

private:
    // The row's buttons from left to right, as the platform's layout put them.
    QList<QAbstractButton*> RowButtons() const {
        QList<QAbstractButton*> row;
        if (QLayout* layout = buttons_->layout()) {
            for (int i = 0; i < layout->count(); ++i) {
                if (auto* button = qobject_cast<QAbstractButton*>(layout->itemAt(i)->widget())) {
                    row << button;
                }
            }
        }
        return row;
    }

    void GreyLabelsWithBuddies() const {
        for (QLabel* label : dialog_->findChildren<QLabel*>()) {
            if (label->buddy() != nullptr && !label->property(kFollowsBuddy).toBool()) {
                label->setProperty(kFollowsBuddy, true);
                new GreyWithBuddy(label, label->buddy());  // owned by the label
            }
        }
    }

    // A small fixed-size dialog is widened until the window manager can show
    // its whole title beside the title bar's icon and buttons.
    void RoomForTitle() const {
        const int extra = DialogWidthForTitle(dialog_) - dialog_->sizeHint().width();
        if (extra > 0) {
            // The row as laid out, so the dialog grows by exactly `extra`.
            const int row = std::max(buttons_->width(), buttons_->sizeHint().width());
            buttons_->setMinimumWidth(row + extra);
        }
    }

    void WatchRadios() {
        for (QRadioButton* radio : dialog_->findChildren<QRadioButton*>()) {
            radio->removeEventFilter(this);  // shown again: watched once
            radio->installEventFilter(this);
        }
    }

    // Widgets join the focus chain as they are made, and the row is often made
    // before the fields: the row goes to the end.
    void OrderTabs(const QList<QAbstractButton*>& row) const {
        QWidget* last = dialog_->previousInFocusChain();
        while (last != dialog_ && IsInRow(last, row)) {
            last = last->previousInFocusChain();
        }
        for (QAbstractButton* button : row) {
            QWidget::setTabOrder(last, button);
            last = button;
        }
    }

    void FocusFirstField(const QList<QAbstractButton*>& row) const {
        for (QWidget* w = dialog_->nextInFocusChain(); w != dialog_; w = w->nextInFocusChain()) {
            if (IsField(w, row)) {
                Focus(w);
                return;
            }
        }
        for (QAbstractButton* button : row) {
            auto* push = qobject_cast<QPushButton*>(button);
            if (push != nullptr && push->isDefault() && push->isEnabled()) {
                push->setFocus(Qt::TabFocusReason);
                return;
            }
        }
    }

    bool IsField(QWidget* w, const QList<QAbstractButton*>& row) const {
        if ((w->focusPolicy() & Qt::TabFocus) == 0 || !w->isEnabled() || !w->isVisibleTo(dialog_) ||
            IsInRow(w, row)) {
            return false;
        }
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            return !edit->isReadOnly();
        }
        // Buttons that run a command ("...", "Czas PC") are no fields.
        auto* push = qobject_cast<QPushButton*>(w);
        return (push == nullptr || push->isCheckable()) && qobject_cast<QToolButton*>(w) == nullptr;
    }

    static void Focus(QWidget* field) {
        if (auto* radio = qobject_cast<QRadioButton*>(field)) {
            if (QAbstractButton* checked = CheckedPartner(radio)) {
                field = checked;
            }
        }
        field->setFocus(Qt::TabFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(field)) {
            edit->selectAll();
        } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(field)) {
            spin->selectAll();
        }
    }

    static bool IsInRow(const QWidget* w, const QList<QAbstractButton*>& row) {
        for (const QAbstractButton* button : row) {
            if (w == button || button->isAncestorOf(w)) {
                return true;
            }
        }
        return false;
    }

    QDialog* dialog_;
    QDialogButtonBox* buttons_;
};

}  // namespace

int DialogWidthForTitle(const QWidget* dialog) {
    // Title bars use a bold face of about the dialog's size; the icon, three
    // buttons and the frame take the rest.
    QFont font = dialog->font();
    font.setBold(true);
    const int text = QFontMetrics(font).horizontalAdvance(dialog->windowTitle());
    return text + text / 10 + 4 * QFontMetrics(font).height() + 48;
}

void InstallDialogRules(QDialog* dialog, QDialogButtonBox* buttons) {
    new DialogRules(dialog, buttons);  // owned by the dialog
    for (QAbstractButton* button : buttons->buttons()) {
        auto* push = qobject_cast<QPushButton*>(button);
        if (push != nullptr && buttons->buttonRole(button) == QDialogButtonBox::AcceptRole) {
            push->setDefault(true);
            break;
        }
    }
}

}  // namespace tk358
