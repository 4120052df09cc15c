#include "dialogs/param_form.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "dialogs/regulation_params.h"
#include "monitor/text_format.h"

namespace tk358 {

QLineEdit* NewNumberField(const QString& objectName, int characters, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(objectName);
    const QFontMetrics metrics(field->font());
    // Room for the digits plus the frame and text margins of the style.
    field->setFixedWidth(metrics.horizontalAdvance(QString(characters, QLatin1Char('0'))) + 16);
    field->setMaxLength(32);
    return field;
}

QLineEdit* AddNumberRow(QGridLayout* grid, const QString& label, const QString& unit,
                        const QString& objectName) {
    const int row = grid->rowCount();
    auto* caption = new QLabel(label);
    QLineEdit* field = NewNumberField(objectName, 7);
    caption->setBuddy(field);
    grid->addWidget(caption, row, 0);
    grid->addWidget(field, row, 1);
    if (!unit.isEmpty()) {
        grid->addWidget(new QLabel(unit), row, 2);
    }
    return field;
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
