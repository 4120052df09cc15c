// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/kind_fields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "link/parameter_codes.h"
#include "link/records.h"

namespace tk358 {
namespace {

// A field shown from a parameter belongs to its kind's group and shows a code
// of that kind, each field once: a field missing from the group would never
// be seen, a code of another kind would show a stale cache slot.
TEST(KindFieldsTest, ServiceParametersBelongToTheirKindsGroup) {
    const int kinds[] = {kTemperatureController, kDrainValveController, kVentilationController,
                         kDualZoneController, kThresholdRegulator};
    for (const int kind : kinds) {
        const ServiceGroup group = ServiceGroupFor(kind);
        std::set<ServiceField> seen;
        for (const ServiceParameter& entry : ServiceParameters(kind)) {
            const int field = static_cast<int>(entry.field);
            EXPECT_NE(std::find(group.fields.begin(), group.fields.end(), entry.field),
                      group.fields.end())
                << "kind " << kind << " field " << field;
            EXPECT_TRUE(seen.insert(entry.field).second) << "kind " << kind << " field " << field;
            EXPECT_NE(Parameter(entry.code).kinds & param_table::K(kind), 0)
                << "kind " << kind << " code " << entry.code;
        }
    }
}

// Each edit row of a dialog edits its own value within the bounds its code
// has, under a distinct object name; returns how many rows there were.
template <class Values>
std::size_t ExpectRowsMatchTheirCodes(
    int kind, std::initializer_list<std::span<const DialogRow<Values>>> parts) {
    std::set<std::string> names;
    std::vector<int Values::*> values;  // members have no order
    for (const auto rows : parts) {
        for (const DialogRow<Values>& row : rows) {
            const ParameterBounds bounds = Parameter(row.code).bounds;
            EXPECT_EQ(row.rule->min, bounds.min) << row.objectName;
            EXPECT_EQ(row.rule->max, bounds.max) << row.objectName;
            EXPECT_NE(Parameter(row.code).kinds & param_table::K(kind), 0) << row.objectName;
            EXPECT_TRUE(names.insert(row.objectName).second) << row.objectName;
            EXPECT_EQ(std::find(values.begin(), values.end(), row.value), values.end())
                << row.objectName;
            values.push_back(row.value);
        }
    }
    return names.size();
}

TEST(KindFieldsTest, DialogRowsMatchTheirCodes) {
    EXPECT_EQ(ExpectRowsMatchTheirCodes<ValveParameters>(kTemperatureController, {ValveRows()}),
              6u);
    EXPECT_EQ(
        ExpectRowsMatchTheirCodes<DrainValveParameters>(kDrainValveController, {DrainValveRows()}),
        3u);
    EXPECT_EQ(ExpectRowsMatchTheirCodes<VentilationParameters>(
                  kVentilationController, {VentilationThresholdRows(), VentilationAiringRows()}),
              7u);
}

}  // namespace
}  // namespace tk358
