// SPDX-License-Identifier: GPL-3.0-or-later
// tk358d's --log-date: the log's date format.

#include <gtest/gtest.h>

#include <string>

#include "daemon/daemon_command_line.h"
#include "log/log_line.h"

namespace tk358 {
namespace {

TEST(DaemonLogDate, ChoosesTheDateFormat) {
    const struct {
        const char* value;  // nullptr: no option
        int dateCode;       // -1: refused
    } cases[] = {{nullptr, kDateLocale},
                 {"iso", kDateIso8601},
                 {"ISO", kDateIso8601},
                 {"locale", kDateLocale},
                 {"utc", -1}};
    for (const auto& c : cases) {
        std::vector<std::string> args{"--demo", "--log", "/tmp/x.csv"};
        if (c.value != nullptr) {
            args.push_back(std::string("--log-date=") + c.value);
        }
        const DaemonCommand command = ParseDaemonCommandLine(args);
        const std::string shown = c.value != nullptr ? c.value : "(none)";
        if (c.dateCode < 0) {
            EXPECT_EQ(command.error, "log-date: locale albo iso: utc") << shown;
        } else {
            ASSERT_EQ(command.action, DaemonCommand::Action::kRun) << shown << command.error;
            EXPECT_EQ(command.options.dateCode, c.dateCode) << shown;
        }
    }
}

}  // namespace
}  // namespace tk358
