// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/read_only_fields.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>

#include "widgets/read_only_fields_accessible.h"

namespace tk358 {

ReadOnlyFields::ReadOnlyFields(QWidget* parent) : QWidget(parent) {
    static const bool accessible =
        (QAccessible::installFactory(MakeReadOnlyFieldsAccessible), true);
    (void)accessible;
    setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel inside the mask is a field's
    setBackgroundRole(QPalette::Base);
    hide();
}

int ReadOnlyFields::Add(int key) {
    fields_.push_back(Field{key, {}, false, {}});
    return static_cast<int>(fields_.size()) - 1;
}

int ReadOnlyFields::IndexOf(int key) const {
    const auto it = std::find_if(fields_.begin(), fields_.end(),
                                 [key](const Field& field) { return field.key == key; });
    return it == fields_.end() ? -1 : static_cast<int>(it - fields_.begin());
}

void ReadOnlyFields::SetShown(int index, bool shown) {
    At(index).shown = shown;
}

void ReadOnlyFields::SetPlace(int index, const QRect& place) {
    At(index).place = place;
}

void ReadOnlyFields::Arrange() {
    QRegion covered;  // in the parent
    for (const Field& field : fields_) {
        if (field.shown) {
            covered += field.place;
        }
    }
    const QRect bounds = covered.boundingRect();
    setGeometry(bounds);
    setMask(covered.translated(-bounds.topLeft()));
    setVisible(!bounds.isEmpty());
    update();
}

void ReadOnlyFields::SetText(int index, const QString& text) {
    Field& field = At(index);
    if (text == field.cell.Text()) {
        return;
    }
    const QRect dirty = field.cell.SetText(text, Local(field), field.shown && isVisible());
    if (field.shown && !dirty.isEmpty()) {
        update(dirty);
    }
    if (field.shown && QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        event.setChild(static_cast<int>(std::count_if(fields_.begin(), fields_.begin() + index,
                                                      [](const Field& f) { return f.shown; })));
        QAccessible::updateAccessibility(&event);
    }
}

QString ReadOnlyFields::Text(int index) const {
    return At(index).cell.Text();
}

QRect ReadOnlyFields::Place(int index) const {
    return At(index).place;
}

bool ReadOnlyFields::IsShown(int index) const {
    return At(index).shown && isVisible();
}

void ReadOnlyFields::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // The region, not its bounding rectangle: the fields changed in one paint
    // may lie far apart, with unchanged fields between them.
    const QRegion& dirty = event->region();
    for (Field& field : fields_) {
        const QRect frame = Local(field);
        if (field.shown && dirty.intersects(frame)) {
            field.cell.Paint(painter, frame, (dirty & frame).boundingRect(), *this);
        }
    }
}

void ReadOnlyFields::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        for (Field& field : fields_) {
            field.cell.ForgetLayout();
        }
        update();
    }
    QWidget::changeEvent(event);
}

void ReadOnlyFields::contextMenuEvent(QContextMenuEvent* event) {
    for (const Field& field : fields_) {
        if (field.shown && Local(field).contains(event->pos())) {
            ExecCopyMenu(this, event->globalPos(), field.cell.Text());
            return;
        }
    }
}

}  // namespace tk358
