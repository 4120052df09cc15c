// SPDX-License-Identifier: GPL-3.0-or-later
// tk358d's --log-date: the log's date format.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "daemon/daemon_command_line.h"
#include "daemon/daemon_options.h"
#include "log/log_line.h"

namespace tk358 {
namespace {

using Action = DaemonCommand::Action;

TEST(DaemonLogDate, ChoosesTheDateFormat) {
    const struct {
        std::vector<std::string> args;
        Action action;
        int dateCode;
        const char* error;
    } cases[] = {
        {{}, Action::kRun, kDateLocale, ""},
        {{"--log-date", "iso"}, Action::kRun, kDateIso8601, ""},
        {{"--log-date=ISO"}, Action::kRun, kDateIso8601, ""},
        {{"--log-date", "iso", "--log-date", "locale"}, Action::kRun, kDateLocale, ""},
        {{"--log-date", "utc"}, Action::kError, kDateLocale, "log-date: locale albo iso: utc"},
        {{"--log-date"}, Action::kError, kDateLocale, "wymaga wartości"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"--demo", "--log", "/tmp/x.csv"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const DaemonCommand command = ParseDaemonCommandLine(args);
        const std::string shown = c.args.empty() ? "(none)" : c.args.front();
        EXPECT_EQ(command.action, c.action) << shown << " " << command.error;
        EXPECT_NE(command.error.find(c.error), std::string::npos) << shown << command.error;
        if (c.action == Action::kRun) {
            EXPECT_EQ(command.options.dateCode, c.dateCode) << shown;
        }
    }
}

}  // namespace
}  // namespace tk358
