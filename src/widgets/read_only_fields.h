// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Many read-only one-line fields painted by one widget, for a view whose
// values change together (the service view): a change of several values
// then costs one paint, not one per field. The widget covers exactly the
// rectangles of the fields shown (it is masked to them), so the labels and
// boxes between them stay the parent's own. Each field paints as a FieldCell;
// its context menu copies its text. Assistive technology sees the shown
// fields as the widget's children, each named by its text.

#include <QRect>
#include <QString>
#include <QWidget>
#include <vector>

#include "widgets/field_cell.h"

namespace tk358 {

class ReadOnlyFields : public QWidget {
    Q_OBJECT

public:
    explicit ReadOnlyFields(QWidget* parent = nullptr);

    // A new field, hidden, known by `key`; returns its index.
    int Add(int key);
    int IndexOf(int key) const;  // -1 for an unknown key

    // Shown fields and their places, in the parent's coordinates; Arrange
    // moves and masks the widget after a change to either.
    void SetShown(int index, bool shown);
    void SetPlace(int index, const QRect& place);
    void Arrange();

    // Repaints only what a new text changed.
    void SetText(int index, const QString& text);

    int Count() const { return static_cast<int>(fields_.size()); }
    QString Text(int index) const;
    QRect Place(int index) const;
    bool IsShown(int index) const;  // shown and on screen

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Field {
        int key = 0;
        QRect place;  // in the parent
        bool shown = false;
        FieldCell cell;
    };
    Field& At(int index) { return fields_.at(static_cast<std::size_t>(index)); }
    const Field& At(int index) const { return fields_.at(static_cast<std::size_t>(index)); }
    QRect Local(const Field& field) const { return field.place.translated(-pos()); }

    std::vector<Field> fields_;
};

}  // namespace tk358
