// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/read_only_fields_accessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "widgets/read_only_fields.h"

namespace tk358 {

namespace {

// One field as assistive technology sees it: a read-only text named by what
// it shows.
class FieldAccessible : public QAccessibleInterface {
public:
    FieldAccessible(ReadOnlyFields* fields, int index) : fields_(fields), index_(index) {}

    int Index() const { return index_; }

    bool isValid() const override { return fields_ != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return fields_ ? fields_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(fields_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        return fields_ && t == QAccessible::Name ? fields_->Text(index_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!fields_ || !fields_->parentWidget()) {
            return {};
        }
        const QRect place = fields_->Place(index_);
        return QRect(fields_->parentWidget()->mapToGlobal(place.topLeft()), place.size());
    }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.readOnly = true;
        state.invisible = !fields_ || !fields_->IsShown(index_);
        return state;
    }

private:
    QPointer<ReadOnlyFields> fields_;
    int index_;
};

// The shown fields, in order, as the widget's accessible children.
class FieldsAccessible : public QAccessibleWidget {
public:
    explicit FieldsAccessible(ReadOnlyFields* fields)
        : QAccessibleWidget(fields, QAccessible::Grouping) {}
    ~FieldsAccessible() override {
        for (const auto& [index, id] : ids_) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override { return static_cast<int>(Shown().size()); }
    QAccessibleInterface* child(int position) const override {
        const std::vector<int> shown = Shown();
        if (position < 0 || position >= static_cast<int>(shown.size())) {
            return nullptr;
        }
        const int index = shown[static_cast<std::size_t>(position)];
        const auto known = ids_.find(index);
        if (known != ids_.end()) {
            return QAccessible::accessibleInterface(known->second);
        }
        auto* made = new FieldAccessible(Fields(), index);
        ids_.emplace(index, QAccessible::registerAccessibleInterface(made));
        return made;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* field = dynamic_cast<const FieldAccessible*>(child);
        const std::vector<int> shown = Shown();
        const auto it = field ? std::find(shown.begin(), shown.end(), field->Index()) : shown.end();
        return it == shown.end() ? -1 : static_cast<int>(it - shown.begin());
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int position = 0; position < childCount(); ++position) {
            QAccessibleInterface* field = child(position);
            if (field->rect().contains(x, y)) {
                return field;
            }
        }
        return nullptr;
    }

private:
    ReadOnlyFields* Fields() const { return static_cast<ReadOnlyFields*>(widget()); }
    std::vector<int> Shown() const {
        std::vector<int> shown;
        for (int index = 0; index < Fields()->Count(); ++index) {
            if (Fields()->IsShown(index)) {
                shown.push_back(index);
            }
        }
        return shown;
    }

    mutable std::unordered_map<int, QAccessible::Id> ids_;  // field index: its interface
};

}  // namespace

QAccessibleInterface* MakeReadOnlyFieldsAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(ReadOnlyFields::staticMetaObject.className()) && object &&
        object->isWidgetType()) {
        return new FieldsAccessible(static_cast<ReadOnlyFields*>(object));
    }
    return nullptr;
}

}  // namespace tk358
