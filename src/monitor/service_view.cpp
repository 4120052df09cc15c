// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/service_view.h"

#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <algorithm>
#include <cmath>

#include "widgets/read_only_fields.h"

namespace tk358 {

namespace {

constexpr ServiceBox kAllBoxes[] = {ServiceBox::kRegulation, ServiceBox::kPid,
                                    ServiceBox::kOperational};

QRect ToQRect(const Rect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// Room a line edit's frame and margins take from its text, in pixels.
constexpr int kEditChrome = 8;

// The widest text a field shows in normal use; the font is narrowed so that it
// fits. Other values are short numbers.
const char* WidestText(ServiceField field) {
    switch (field) {
        case ServiceField::kMotor:
            return "OTWIERANIE";
        case ServiceField::kDrainValve:
            return "ZAMKNIĘTY";
        case ServiceField::kPvDerivative1:
        case ServiceField::kPvDerivative2:
            return "-0.0000000";
        default:
            return nullptr;
    }
}

template <typename T>
bool Contains(std::span<const T> items, T item) {
    return std::find(items.begin(), items.end(), item) != items.end();
}

// How far the group's texts must shrink to fit in `font`: 1 when they fit.
double FitRatio(const QFont& font, const MainLayout& layout) {
    const QFontMetricsF metrics(font);
    double fit = 1.0;
    const auto need = [&fit, &metrics](const char* text, int width) {
        const double advance = metrics.horizontalAdvance(QString::fromUtf8(text));
        if (advance > width && advance > 0) {
            fit = std::min(fit, width / advance);
        }
    };
    for (const FieldPlacement& placed : layout.fields) {
        need(ServiceFieldLabel(placed.field), placed.label.Width());
        if (const char* widest = WidestText(placed.field)) {
            need(widest, placed.edit.Width() - kEditChrome);
        }
    }
    return fit;
}

}  // namespace

ServiceView::ServiceView(QWidget* client)
    : client_(client), font_(client->font()), values_(new ReadOnlyFields(client)) {
    values_->setObjectName(QStringLiteral("serviceValues"));
    for (ServiceBox box : kAllBoxes) {
        auto* widget = new QGroupBox(QString::fromUtf8(ServiceBoxTitle(box)), client);
        widget->setObjectName(QStringLiteral("box%1").arg(static_cast<int>(box)));
        widget->hide();
        boxes_[static_cast<int>(box)] = widget;
    }
    for (ServiceField field : AllServiceFields()) {
        const int id = static_cast<int>(field);
        Field f;
        f.value = values_->Add(id);
        fields_.emplace(id, f);
    }
    values_->raise();  // above the boxes, which it overlaps only where masked away
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
        if (shown) {
            Label(id).show();
        } else if (field.label) {
            field.label->hide();
        }
        values_->SetShown(field.value, shown);
    }
    values_->Arrange();
}

void ServiceView::Place(const MainLayout& layout) {
    FitFont(layout);
    ElideLabels(layout);
    for (const BoxPlacement& placed : layout.boxes) {
        Box(placed.box)->setGeometry(ToQRect(placed.rect));
    }
    for (const FieldPlacement& placed : layout.fields) {
        const int id = static_cast<int>(placed.field);
        Label(id).setGeometry(ToQRect(placed.label));
        values_->SetPlace(fields_.at(id).value, ToQRect(placed.edit));
    }
    values_->Arrange();
}

void ServiceView::FitFont(const MainLayout& layout) {
    // First narrower glyphs; where the font has no narrower face, smaller
    // ones, down to four fifths of the window's size.
    QFont font = client_->font();
    const double fit = FitRatio(font, layout);
    font.setStretch(std::clamp(static_cast<int>(std::floor(fit * 100)), kMinStretch, 100));
    const int basePixels = QFontInfo(font).pixelSize();
    int pixels = basePixels;
    while (FitRatio(font, layout) < 1.0 && pixels * 5 > basePixels * 4) {
        font.setPixelSize(--pixels);
    }
    if (font == font_) {
        return;
    }
    font_ = font;
    for (auto& [id, field] : fields_) {
        if (field.label) {
            field.label->setFont(font);
        }
    }
    values_->setFont(font);
}

void ServiceView::ElideLabels(const MainLayout& layout) {
    for (const FieldPlacement& placed : layout.fields) {
        QLabel* label = &Label(static_cast<int>(placed.field));
        const QString full = QString::fromUtf8(ServiceFieldLabel(placed.field));
        const QString shown =
            QFontMetrics(label->font()).elidedText(full, Qt::ElideRight, placed.label.Width());
        label->setText(shown);
        label->setToolTip(shown == full ? QString() : full);
    }
}

QLabel& ServiceView::Label(int id) {
    QLabel*& label = fields_.at(id).label;
    if (!label) {
        // Made when first needed: a window sees one or two kinds of panel,
        // and every widget, shown or not, costs memory and a look on each
        // paint.
        label = new QLabel(QString::fromUtf8(ServiceFieldLabel(static_cast<ServiceField>(id))),
                           client_);
        label->setObjectName(QStringLiteral("label%1").arg(id));
        label->setFont(font_);
        label->hide();
    }
    return *label;
}

void ServiceView::SetTexts(const std::vector<ServiceText>& texts) {
    for (const ServiceText& t : texts) {
        Field& field = fields_.at(static_cast<int>(t.field));
        if (field.text != t.text) {
            field.text = t.text;
            values_->SetText(field.value, QString::fromStdString(t.text));
        }
    }
}

QGroupBox* ServiceView::Box(ServiceBox box) const {
    return boxes_.at(static_cast<int>(box));
}

}  // namespace tk358
