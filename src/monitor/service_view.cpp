#include "monitor/service_view.h"

#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <algorithm>
#include <cmath>

#include "widgets/read_only_field.h"

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

ServiceView::ServiceView(QWidget* client) : client_(client) {
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
        f.edit = new ReadOnlyField(client);
        f.edit->setObjectName(QStringLiteral("field%1").arg(id));
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
    FitFont(layout);
    ElideLabels(layout);
    for (const BoxPlacement& placed : layout.boxes) {
        Box(placed.box)->setGeometry(ToQRect(placed.rect));
    }
    for (const FieldPlacement& placed : layout.fields) {
        const Field& field = fields_.at(static_cast<int>(placed.field));
        field.label->setGeometry(ToQRect(placed.label));
        field.edit->setGeometry(ToQRect(placed.edit));
    }
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
        field.label->setFont(font);
        field.edit->setFont(font);
    }
}

void ServiceView::ElideLabels(const MainLayout& layout) {
    for (const FieldPlacement& placed : layout.fields) {
        QLabel* label = fields_.at(static_cast<int>(placed.field)).label;
        const QString full = QString::fromUtf8(ServiceFieldLabel(placed.field));
        const QString shown =
            QFontMetrics(label->font()).elidedText(full, Qt::ElideRight, placed.label.Width());
        label->setText(shown);
        label->setToolTip(shown == full ? QString() : full);
    }
}

void ServiceView::SetTexts(const std::vector<ServiceText>& texts) {
    for (const ServiceText& t : texts) {
        Field& field = fields_.at(static_cast<int>(t.field));
        if (field.text != t.text) {
            field.text = t.text;
            field.edit->setText(QString::fromStdString(t.text));
        }
    }
}

QGroupBox* ServiceView::Box(ServiceBox box) const {
    return boxes_.at(static_cast<int>(box));
}

}  // namespace tk358
