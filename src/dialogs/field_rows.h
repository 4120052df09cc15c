#pragma once

// Number fields of the panel dialogs: an edit sized for its values, placed in
// a grid row between its label and its unit.

#include <QString>

class QGridLayout;
class QLabel;
class QLineEdit;
class QWidget;

namespace tk358 {

// A right-aligned edit wide enough for `widest`, the longest text it normally holds.
QLineEdit* NewNumberEdit(const QString& objectName, const QString& widest, QWidget* parent);

// A plain label (no mnemonics: the texts are the panel's own names).
QLabel* NewLabel(const QString& text, QWidget* parent);

// Puts `label`, the edit and `unit` (if any) into columns column..column+2 of `row`.
void AddNumberRow(QGridLayout* grid, int row, int column, const QString& label, QLineEdit* edit,
                  const QString& unit = {});

}  // namespace tk358
