// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What tk358d is told to do, from its command line and its configuration
// file. Both name the options alike: "--interval 60" on the command line is
// "interval=60" in the file.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "daemon/mqtt_url.h"
#include "log/log_line.h"

namespace tk358 {

inline constexpr int kDefaultReconnectMax = 10;  // seconds
inline constexpr int kMaxReconnectMax = 3600;
inline constexpr int kDefaultLogIntervalSeconds = 60;

struct DaemonOptions {
    int portNumber = 0;           // COMn; 0 with --demo
    std::optional<int> demoKind;  // --demo: the built-in simulated panel of this kind

    std::string logPath;  // empty: no measurement log; may hold a date pattern
    int keepDays = 0;     // files of a dated log kept this many days; 0: all
    int interval = kDefaultLogIntervalSeconds;
    int separatorCode = kSeparatorLocale;
    int decimalCode = kDecimalLocale;
    int dateCode = kDateLocale;

    std::optional<MqttUrl> broker;  // none: no broker
    std::string topicPrefix = "tk358";
    std::string name;  // empty until FinishDaemonOptions: from the port
    bool haDiscovery = false;
    std::string discoveryPrefix = "homeassistant";
    int qos = 0;
    std::string user;          // over the address's user
    std::string password;      // --password-file over the credential over password=
    std::string passwordFile;  // over the address's password
    std::string caFile;
    std::string certFile;
    std::string keyFile;
    int reconnectMax = kDefaultReconnectMax;

    bool allowSetpointWrites = false;
    // Set the clock of a panel that switches zones by it from the computer's.
    bool syncClock = false;

    // The line shared with one client over a Unix socket (line_share.h).
    std::string sharePath;  // empty: not shared
    std::string shareGroup;
    bool shareReadOnly = false;

    // Said once at the start (Polish): files with a password that others can read.
    std::vector<std::string> warnings;
    friend bool operator==(const DaemonOptions&, const DaemonOptions&) = default;
};

// What a reload (SIGHUP) may change while tk358d runs: the measurement log's
// file, interval, columns and days kept. Copies those from `from` to `to`.
void CopyLogSettings(const DaemonOptions& from, DaemonOptions& to);

// How an option is written: with a value, or as a bare switch on the command
// line (a switch takes 1/0, yes/no, true/false, on/off in the file).
enum class OptionForm { kValue, kSwitch, kOptionalValue, kUnknown };

// `fromFile`: the option comes from the configuration file, where some
// options (config, help, version) are not allowed and "password" is.
OptionForm FormOfOption(std::string_view key, bool fromFile);

// Sets one option. A switch given without a value has `value` empty. Returns
// an empty string, or the Polish reason the value is refused.
std::string ApplyDaemonOption(DaemonOptions& options, std::string_view key, std::string_view value);

// Checks the options as a whole and fills in the defaults that depend on
// others (the name from the port). Empty, or the reason they do not fit.
std::string FinishDaemonOptions(DaemonOptions& options);

}  // namespace tk358
