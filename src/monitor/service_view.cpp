#include "monitor/service_view.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

namespace tk358 {

namespace {

constexpr ServiceBox kAllBoxes[] = {ServiceBox::kRegulation, ServiceBox::kPid,
                                    ServiceBox::kOperational};

QRect ToQRect(const Rect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

template <typename T>
bool Contains(std::span<const T> items, T item) {
    return std::find(items.begin(), items.end(), item) != items.end();
}

}  // namespace

ServiceView::ServiceView(QWidget* client) {
    // Boxes first, so that the fields lie above them.
    for (ServiceBox box : kAllBoxes) {
        auto* widget = new QGroupBox(QString::fromUtf8(ServiceBoxTitle(box)), client);
        widget->setObjectName(QStringLiteral("box%1").arg(static_cast<int>(box)));
        widget->hide();
        boxes_[static_cast<int>(box)] = widget;
    }
    for (ServiceField field : AllServiceFields()) {
        const int id = static_cast<int>(field);
        Field f;
        f.label = new QLabel(QString::fromUtf8(ServiceFieldLabel(field)), client);
        f.label->setObjectName(QStringLiteral("label%1").arg(id));
        f.label->hide();
        f.edit = new QLineEdit(client);
        f.edit->setObjectName(QStringLiteral("field%1").arg(id));
        f.edit->setReadOnly(true);
        f.edit->hide();
        fields_.emplace(id, f);
    }
}

void ServiceView::ShowGroup(std::optional<int> deviceType) {
    ServiceGroup group;
    if (deviceType) {
        group = ServiceGroupFor(*deviceType);
    }
    for (auto& [id, box] : boxes_) {
        box->setVisible(Contains(group.boxes, static_cast<ServiceBox>(id)));
    }
    for (auto& [id, field] : fields_) {
        const bool shown = Contains(group.fields, static_cast<ServiceField>(id));
        field.label->setVisible(shown);
        field.edit->setVisible(shown);
    }
}

void ServiceView::Place(const MainLayout& layout) {
    for (const BoxPlacement& placed : layout.boxes) {
        Box(placed.box)->setGeometry(ToQRect(placed.rect));
    }
    for (const FieldPlacement& placed : layout.fields) {
        const Field& field = fields_.at(static_cast<int>(placed.field));
        field.label->setGeometry(ToQRect(placed.label));
        field.edit->setGeometry(ToQRect(placed.edit));
    }
}

void ServiceView::SetTexts(const std::vector<ServiceText>& texts) {
    for (const ServiceText& t : texts) {
        Field& field = fields_.at(static_cast<int>(t.field));
        if (field.text != t.text) {
            field.text = t.text;
            field.edit->setText(QString::fromStdString(t.text));
            field.edit->setCursorPosition(0);  // a long value shows its start
        }
    }
}

QGroupBox* ServiceView::Box(ServiceBox box) const {
    return boxes_.at(static_cast<int>(box));
}

QLabel* ServiceView::Label(ServiceField field) const {
    return fields_.at(static_cast<int>(field)).label;
}

QLineEdit* ServiceView::Edit(ServiceField field) const {
    return fields_.at(static_cast<int>(field)).edit;
}

}  // namespace tk358
