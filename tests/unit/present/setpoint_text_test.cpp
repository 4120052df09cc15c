#include "dialogs/setpoint_text.h"

#include <gtest/gtest.h>

namespace tk358 {
namespace {

TEST(SetpointTextTest, StoredSetpointShownWithOneDecimal) {
    const std::pair<int, const char*> cases[] = {
        {2345, "23.5"},   {2341, "23.4"},   {2346, "23.5"},   {0, "0.0"},
        {1, "0.0"},       {4, "0.1"},       {6, "0.1"},       {-5, "-0.1"},
        {-2341, "-23.4"}, {-2345, "-23.5"}, {55000, "550.0"},
    };
    for (auto [stored, text] : cases) {
        EXPECT_EQ(FormatSetpointOneDecimal(stored), text) << stored;
    }
    EXPECT_EQ(FormatSetpoint(2345), "23.45");
    EXPECT_EQ(FormatSetpoint(-5), "-0.05");
}

TEST(SetpointTextTest, ReformatOnLeavingTheField) {
    const std::pair<const char*, const char*> cases[] = {
        {"23.45", "23.4"},
        {"23.46", "23.5"},
        {"-23.46", "-23.5"},
        {"-23.45", "-23.4"},
        {"-0.05", "0.0"},
        {"-0.06", "-0.1"},
        {"7,25", "7,2"},
        {"7,26", "7,3"},
        {"", "0.0"},
        {"abc", "0.0"},
        {"0.05", "0.0"},
        {"0.06", "0.1"},
        {"550", "550.0"},
        {"-200", "-200.0"},
        {"1,2,3", "1,2"},
        {"9.96", "10.0"},
        {"99999999999", "21474836.5"},
    };
    for (auto [typed, shown] : cases) {
        EXPECT_EQ(ReformatSetpointText(typed), shown) << '"' << typed << '"';
    }
}

TEST(SetpointTextTest, SetpointFieldBounds) {
    EXPECT_EQ(ParseSetpointField("550", false), 55000);
    EXPECT_EQ(ParseSetpointField("550.01", false), std::nullopt);
    EXPECT_EQ(ParseSetpointField("-200", false), -20000);
    EXPECT_EQ(ParseSetpointField("-200,01", false), std::nullopt);
    EXPECT_EQ(ParseSetpointField("23,45", false), 2345);
    EXPECT_EQ(ParseSetpointField("", false), std::nullopt);
    EXPECT_EQ(ParseSetpointField("", true), 0);
    EXPECT_EQ(ParseSetpointField("x", false), 0);  // no number is 0, which is in range
}

TEST(SetpointTextTest, SwitchOnTimeShown) {
    const struct {
        int steps, hours, minutes;
    } cases[] = {{0, 0, 0}, {45, 7, 30}, {13, 2, 10}, {143, 23, 50}};
    for (const auto& c : cases) {
        EXPECT_EQ(SwitchOnHours(c.steps), c.hours);
        EXPECT_EQ(SwitchOnMinutes(c.steps), c.minutes);
    }
}

TEST(SetpointTextTest, SwitchOnTimeTyped) {
    const struct {
        const char* hours;
        const char* minutes;
        std::optional<int> steps;
    } cases[] = {
        {"7", "35", 45},
        {"23", "59", 143},
        {"24", "0", std::nullopt},
        {"0", "75", 7},
        {"0", "0", 0},
        {"", "", 0},
        {"-1", "5", std::nullopt},
        {"1", "-10", 5},
        {"7,5", "30", 45},
        {"2147483647", "0", std::nullopt},  // hours x 6 must not wrap around
        {"-2147483648", "0", std::nullopt},
        {"0", "2147483647", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseSwitchOnTime(c.hours, c.minutes), c.steps) << c.hours << ":" << c.minutes;
    }
}

}  // namespace
}  // namespace tk358
