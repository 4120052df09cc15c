// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window's service boxes, labels and values, found by their object names.

#include <QGroupBox>
#include <QLabel>

#include "present/service_fields.h"
#include "widgets/read_only_fields.h"

namespace tk358::test {

inline QGroupBox* ServiceBoxWidget(const QWidget& window, ServiceBox box) {
    return window.findChild<QGroupBox*>(QStringLiteral("box%1").arg(static_cast<int>(box)));
}

inline QLabel* ServiceLabel(const QWidget& window, ServiceField field) {
    return window.findChild<QLabel*>(QStringLiteral("label%1").arg(static_cast<int>(field)));
}

// One service value as it stands.
struct ServiceValueState {
    bool visible = false;
    QRect geometry;  // in the client area
    QString text;
};

inline ServiceValueState ServiceValue(const QWidget& window, ServiceField field) {
    const auto* values = window.findChild<ReadOnlyFields*>(QStringLiteral("serviceValues"));
    const int index = values->IndexOf(static_cast<int>(field));
    return {values->IsShown(index), values->Place(index), values->Text(index)};
}

}  // namespace tk358::test
