#pragma once

// Helpers shared by the measurement log tests.

#include <gtest/gtest.h>

#include <string>

#include "log/log_line.h"
#include "support/temp_dir.h"

namespace tk358::test {

// A user with the given decimal sign whose clock always reads `dateTime`.
inline LogEnvironment FixedEnvironment(std::string decimalSign, std::string dateTime = "T") {
    return LogEnvironment{[decimalSign] { return decimalSign; }, [dateTime] { return dateTime; }};
}

// Connected readings: 21.5 °C, set point 22.0 °C, second display not in use.
inline LogReadings GoodReadings() {
    LogReadings r;
    r.connected = true;
    r.temperature.temperature = 21.5;
    r.temperature.valid = 1;
    r.setpoint.setpoint = 2200;
    r.setpoint.valid = 1;
    return r;
}

// Names a parameterised case after its `name` member.
struct CaseName {
    template <class Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& param) const {
        return param.param.name;
    }
};

}  // namespace tk358::test
