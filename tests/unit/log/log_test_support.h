#pragma once

// Helpers shared by the measurement log tests.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "log/log_line.h"

namespace tk358::test {

// A directory of its own under the system's temporary directory, removed
// with everything in it at the end of the test.
class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tk358-log-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "mkdtemp failed";
        }
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

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
