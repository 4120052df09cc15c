#include "dialogs/param_form.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPointer>
#include <QRadioButton>

#include "dialogs/field_rows.h"
#include "dialogs/regulation_params.h"
#include "text/text_format.h"

namespace tk358 {
namespace {

// Keeps a row's label and unit enabled exactly when its field is.
class FollowEnabled : public QObject {
public:
    FollowEnabled(QWidget* field, std::initializer_list<QWidget*> followers) : QObject(field) {
        for (QWidget* w : followers) {
            followers_.append(w);
        }
        field->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange) {
            const bool enabled = static_cast<QWidget*>(watched)->isEnabled();
            for (const QPointer<QWidget>& w : followers_) {  // null: no unit
                if (w != nullptr) {
                    w->setEnabled(enabled);
                }
            }
        }
        return false;
    }

private:
    QList<QPointer<QWidget>> followers_;
};

}  // namespace

QLineEdit* AddParamRow(QGridLayout* grid, const QString& label, const QString& unit,
                       const QString& objectName) {
    const int row = grid->rowCount();
    QLineEdit* field = NewNumberEdit(objectName, QStringLiteral("-200.0"), nullptr);
    AddNumberRow(grid, row, 0, label, field, unit);
    auto widgetAt = [grid, row](int column) {
        QLayoutItem* item = grid->itemAtPosition(row, column);
        return item != nullptr ? item->widget() : nullptr;
    };
    FollowEnabledOf(field, {widgetAt(0), widgetAt(2)});
    return field;
}

void FollowEnabledOf(QWidget* field, std::initializer_list<QWidget*> followers) {
    new FollowEnabled(field, followers);  // owned by the field
}

void AddBottomSpace(QGridLayout* grid) {
    grid->setRowMinimumHeight(grid->rowCount(), 6);
}

QRadioButton* NewRadio(const QString& text, const QString& objectName, QWidget* parent) {
    auto* radio = new QRadioButton(text, parent);
    radio->setObjectName(objectName);
    return radio;
}

void ShowTenths(QLineEdit* field, int tenths) {
    field->setText(QString::fromStdString(FormatTenths(tenths)));
}

void ShowWhole(QLineEdit* field, int value) {
    field->setText(QString::fromStdString(FormatInt(value)));
}

std::optional<PanelDialog::FieldError> CheckFields(std::initializer_list<FieldCheck> checks) {
    for (const FieldCheck& check : checks) {
        if (!check.asked) {
            continue;
        }
        const std::optional<int> value = CheckField(check.rule, check.field->text().toStdString());
        if (!value) {
            return PanelDialog::FieldError{check.field, QString::fromUtf8(check.rule.message)};
        }
        *check.value = *value;
    }
    return std::nullopt;
}

}  // namespace tk358
