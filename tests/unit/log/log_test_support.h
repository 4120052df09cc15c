// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers shared by the measurement log tests.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "log/log_line.h"
#include "support/temp_dir.h"

namespace tk358::test {

// The process's time zone is Warsaw's (summer time from the last Sunday of
// March to the last Sunday of October) while the object lives.
class WarsawTime {
public:
    WarsawTime() {
        const char* old = std::getenv("TZ");
        saved_ = old != nullptr ? old : "";
        hadZone_ = old != nullptr;
        ::setenv("TZ", "Europe/Warsaw", 1);
        ::tzset();
    }
    ~WarsawTime() {
        hadZone_ ? ::setenv("TZ", saved_.c_str(), 1) : ::unsetenv("TZ");
        ::tzset();
    }
    WarsawTime(const WarsawTime&) = delete;
    WarsawTime& operator=(const WarsawTime&) = delete;

private:
    std::string saved_;
    bool hadZone_ = false;
};

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
