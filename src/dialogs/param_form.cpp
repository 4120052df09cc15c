#include "dialogs/param_form.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPointer>
#include <QRadioButton>

#include "dialogs/field_rows.h"

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

QLineEdit* AddParamRow(QGridLayout* grid, int code, const QString& objectName) {
    const int row = grid->rowCount();
    QLineEdit* field = NewNumberEdit(objectName, QStringLiteral("-200.0"), nullptr);
    AddNumberRow(grid, row, 0, LabelOf(code), field, UnitOf(code));
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

}  // namespace tk358
