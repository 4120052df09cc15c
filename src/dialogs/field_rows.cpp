// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/field_rows.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace tk358 {

QLineEdit* NewNumberEdit(const QString& objectName, const QString& widest, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Room for the text, one spare digit and the frame the style draws around it.
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    const QSize text(edit->fontMetrics().horizontalAdvance(widest + QLatin1Char('0')),
                     edit->fontMetrics().height());
    const QMargins margins = edit->textMargins();
    const QSize size = edit->style()->sizeFromContents(
        QStyle::CT_LineEdit, &option, text + QSize(margins.left() + margins.right() + 4, 0), edit);
    edit->setFixedWidth(size.width());
    return edit;
}

QLabel* NewLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void AddNumberRow(QGridLayout* grid, int row, int column, const QString& label, QLineEdit* edit,
                  const QString& unit) {
    QWidget* parent = edit->parentWidget();
    QLabel* caption = NewLabel(label, parent);
    caption->setBuddy(edit);
    grid->addWidget(caption, row, column);
    grid->addWidget(edit, row, column + 1);
    if (!unit.isEmpty()) {
        QLabel* unitLabel = NewLabel(unit, parent);
        unitLabel->setBuddy(edit);  // greyed with the field
        grid->addWidget(unitLabel, row, column + 2);
    }
}

QString LabelOf(int code) {
    return QString::fromUtf8(Parameter(code).label);
}

QString UnitOf(int code) {
    return QString::fromUtf8(Parameter(code).format.unit);
}

void ShowField(QLineEdit* field, const FieldRule& rule, double value) {
    field->setText(QString::fromStdString(FieldText(rule, value)));
}

std::optional<PanelDialog::FieldError> CheckFields(std::initializer_list<FieldCheck> checks) {
    return CheckFields(std::span<const FieldCheck>(checks.begin(), checks.size()));
}

std::optional<PanelDialog::FieldError> CheckFields(std::span<const FieldCheck> checks) {
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
