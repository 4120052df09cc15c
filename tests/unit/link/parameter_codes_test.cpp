#include "link/parameter_codes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/parameter_set.h"
#include "link/records.h"

namespace tk358 {
namespace {

using Bytes = std::vector<std::string>;

TEST(ParameterCodesTest, ByteTextsMostSignificantFirst) {
    struct Case {
        int code;
        int64_t value;
        Bytes bytes;
    };
    const Case cases[] = {
        {90, -2000, {"F8", "30"}},
        {32, -1, {"FF", "FF"}},
        {33, 300, {"01", "2C"}},
        {36, 5, {"05"}},
        {38, 1, {"01"}},
        {76, -1, {"FF"}},
        {6, -100, {"FF", "FF", "FF", "9C"}},
        {132, 55000, {"00", "00", "D6", "D8"}},
        {165, 2, {"00", "02"}},
        {1, 70000, {"11", "70"}},  // cut to the width
        {0, 2500, {}},
        {166, 1, {}},
        {2, 1, {}},
        {94, 1, {}},
        {147, 1, {}},
        {-1, 1, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParameterByteTexts(c.code, c.value), c.bytes) << "code " << c.code;
    }
}

// Every code with a write format has a cache slot, and the full reads fetch
// only cached codes.
TEST(ParameterCodesTest, WritableAndReadCodesHaveCacheSlots) {
    for (int code = -1; code <= 200; ++code) {
        if (WriteFormatOf(code)) {
            EXPECT_TRUE(ParameterSet::HasSlot(code)) << code;
        }
    }
    for (int kind = 0; kind <= 5; ++kind) {
        for (const int code : FullReadCodes(kind)) {
            EXPECT_TRUE(ParameterSet::HasSlot(code)) << kind << " " << code;
        }
    }
    EXPECT_TRUE(FullReadCodes(kUnknownDevice).empty());
}

}  // namespace
}  // namespace tk358
