// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The service view's widgets: the group boxes, every field's label and the
// fields' values, all children of the window's client area and placed by the
// layout. The values are painted by one widget, since most of them change
// together once a second. The window shows one device type's group at a
// time, or none.

#include <QFont>
#include <QString>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "present/main_layout.h"
#include "present/service_fields.h"

class QGroupBox;
class QLabel;
class QWidget;

namespace tk358 {

class ReadOnlyFields;

class ServiceView {
public:
    // Creates the boxes and the values, hidden, as children of `client`; a
    // field's label is made when the field is first shown.
    explicit ServiceView(QWidget* client);

    // Shows the group of `deviceType` and hides every other control;
    // nothing shows for std::nullopt.
    void ShowGroup(std::optional<int> deviceType);

    // Moves the shown boxes and fields where the layout puts them. Labels and
    // values are narrowed (down to kMinStretch, then made smaller) so that the labels and the
    // widest fixed value texts fit their widths; a label that still does not
    // fit is elided and keeps its full text as its tool tip.
    void Place(const MainLayout& layout);

    static constexpr int kMinStretch = 70;  // percent of the normal width

    // Sets each field's text; a field whose text is unchanged is not touched,
    // so it is not repainted.
    void SetTexts(const std::vector<ServiceText>& texts);

    QGroupBox* Box(ServiceBox box) const;

private:
    void FitFont(const MainLayout& layout);
    void ElideLabels(const MainLayout& layout);
    QLabel& Label(int id);

    struct Field {
        QLabel* label = nullptr;  // until first needed
        int value = 0;            // index in values_
        std::string text;         // what the value shows
    };

    QWidget* client_;
    QFont font_;  // of the labels and values
    std::unordered_map<int, QGroupBox*> boxes_;
    ReadOnlyFields* values_;
    std::unordered_map<int, Field> fields_;
};

}  // namespace tk358
