#include "present/kind_fields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
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

// Each edit row edits its own value within the bounds its code has, under a
// distinct object name.
TEST(KindFieldsTest, VentilationRowsMatchTheirCodes) {
    struct Case {
        const char* name;
        std::span<const DialogRow<VentilationParameters>> rows;
    };
    const Case cases[] = {{"thresholds", VentilationThresholdRows()},
                          {"airing", VentilationAiringRows()}};
    std::set<std::string> names;
    std::vector<int VentilationParameters::*> values;  // members have no order
    for (const Case& c : cases) {
        for (const DialogRow<VentilationParameters>& row : c.rows) {
            const ParameterBounds bounds = Parameter(row.code).bounds;
            EXPECT_EQ(row.rule->min, bounds.min) << c.name << " " << row.objectName;
            EXPECT_EQ(row.rule->max, bounds.max) << c.name << " " << row.objectName;
            EXPECT_NE(Parameter(row.code).kinds & param_table::K(kVentilationController), 0)
                << c.name << " " << row.objectName;
            EXPECT_TRUE(names.insert(row.objectName).second) << row.objectName;
            EXPECT_EQ(std::find(values.begin(), values.end(), row.value), values.end())
                << row.objectName;
            values.push_back(row.value);
        }
    }
    EXPECT_EQ(names.size(), 7u);
}

}  // namespace
}  // namespace tk358
