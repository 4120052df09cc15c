#pragma once

// The window's service boxes, labels and fields, found by their object names.

#include <QGroupBox>
#include <QLabel>

#include "present/service_fields.h"
#include "widgets/read_only_field.h"

namespace tk358::test {

inline QGroupBox* ServiceBoxWidget(const QWidget& window, ServiceBox box) {
    return window.findChild<QGroupBox*>(QStringLiteral("box%1").arg(static_cast<int>(box)));
}

inline QLabel* ServiceLabel(const QWidget& window, ServiceField field) {
    return window.findChild<QLabel*>(QStringLiteral("label%1").arg(static_cast<int>(field)));
}

inline ReadOnlyField* ServiceEdit(const QWidget& window, ServiceField field) {
    return window.findChild<ReadOnlyField*>(QStringLiteral("field%1").arg(static_cast<int>(field)));
}

}  // namespace tk358::test
