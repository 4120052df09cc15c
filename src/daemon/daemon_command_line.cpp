// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/daemon_command_line.h"

#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>

#include "daemon/daemon_config_file.h"
#include "daemon/secret_files.h"

namespace tk358 {

namespace {

bool IsKindDigit(const std::string& arg) {
    return arg.size() == 1 && arg[0] >= '0' && arg[0] <= '9';
}

// The value of option `key` given as args[i] (bare or "--key=value"); moves
// `i` past a value in the next argument. Nothing, with the reason, when the
// option's form does not allow what is given.
std::optional<std::string> OptionValue(const std::vector<std::string>& args, std::size_t& i,
                                       const std::string& key, std::optional<std::string> value,
                                       std::string& error) {
    switch (key == "config" ? OptionForm::kValue : FormOfOption(key, false)) {
        case OptionForm::kUnknown:
            error = "nieznana opcja: --" + key;
            return std::nullopt;
        case OptionForm::kSwitch:
            if (value) {
                error = "--" + key + " nie przyjmuje wartości";
                return std::nullopt;
            }
            return std::string();
        case OptionForm::kOptionalValue:
            if (!value && i + 1 < args.size() && IsKindDigit(args[i + 1])) {
                value = args[++i];
            }
            return value.value_or(std::string());
        case OptionForm::kValue:
            if (!value && i + 1 >= args.size()) {
                error = "--" + key + " wymaga wartości";
                return std::nullopt;
            }
            return value ? *value : args[++i];
    }
    return std::nullopt;
}

// The options of the command line in order, or the reason they cannot be read.
std::optional<std::vector<ConfigEntry>> SplitArguments(const std::vector<std::string>& args,
                                                       DaemonCommand& command) {
    std::vector<ConfigEntry> entries;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help" || arg == "--version") {
            command.action =
                arg == "--version" ? DaemonCommand::Action::kVersion : DaemonCommand::Action::kHelp;
            return entries;
        }
        if (!arg.starts_with("--") || arg.size() == 2) {
            command.error = "nieoczekiwany argument: " + arg;
            return std::nullopt;
        }
        const std::size_t equals = arg.find('=');
        std::string key =
            arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        std::optional<std::string> value = OptionValue(
            args, i, key,
            equals == std::string::npos ? std::nullopt : std::optional(arg.substr(equals + 1)),
            command.error);
        if (!value) {
            return std::nullopt;
        }
        entries.push_back({std::move(key), std::move(*value)});
    }
    return entries;
}

// A password on the command line can be read by every user of the machine
// (/proc/PID/cmdline); in a file or a credential it cannot.
std::string RefusedOnCommandLine(const ConfigEntry& entry) {
    if (entry.key != "mqtt") {
        return {};
    }
    std::string error;
    const std::optional<MqttUrl> url = ParseMqttUrl(entry.value, &error);
    if (!url || url->password.empty()) {
        return {};
    }
    return "hasła nie podaje się w adresie --mqtt w wierszu poleceń (widzą je wszyscy "
           "użytkownicy): użyj --password-file, password= w pliku --config albo poświadczenia "
           "systemd mqtt-password";
}

// The file's options, checked against the options a file may hold.
bool ApplyConfigFile(const std::string& path, DaemonCommand& command) {
    std::string error;
    const std::optional<std::vector<ConfigEntry>> entries = ReadDaemonConfig(path, &error);
    if (!entries) {
        command.error = error;
        return false;
    }
    bool holdsPassword = false;
    for (const ConfigEntry& entry : *entries) {
        std::string reason = FormOfOption(entry.key, true) == OptionForm::kUnknown
                                 ? "nieznany klucz: " + entry.key
                                 : ApplyDaemonOption(command.options, entry.key, entry.value);
        if (!reason.empty()) {
            command.error = path + ": " + reason;
            return false;
        }
        holdsPassword =
            holdsPassword || entry.key == "password" || !RefusedOnCommandLine(entry).empty();
    }
    if (std::string warning = holdsPassword ? ExposedFileWarning(path) : std::string();
        !warning.empty()) {
        command.options.warnings.push_back(std::move(warning));
    }
    return true;
}

// Applies the command line's options over the file's; empty, or the reason.
std::string ApplyCommandLine(const std::vector<ConfigEntry>& entries, DaemonOptions& options) {
    for (const ConfigEntry& entry : entries) {
        if (entry.key == "config") {
            continue;
        }
        std::string reason = RefusedOnCommandLine(entry);
        if (reason.empty()) {
            reason = ApplyDaemonOption(options, entry.key, entry.value);
        }
        if (!reason.empty()) {
            return reason;
        }
    }
    return {};
}

}  // namespace

DaemonCommand ParseDaemonCommandLine(const std::vector<std::string>& args) {
    DaemonCommand command;
    const std::optional<std::vector<ConfigEntry>> entries = SplitArguments(args, command);
    if (!entries) {
        command.action = DaemonCommand::Action::kError;
        return command;
    }
    if (command.action != DaemonCommand::Action::kRun) {
        return command;
    }
    for (const ConfigEntry& entry : *entries) {
        if (entry.key == "config" && !ApplyConfigFile(entry.value, command)) {
            command.action = DaemonCommand::Action::kError;
            return command;
        }
    }
    if (std::string reason = ApplyCommandLine(*entries, command.options); !reason.empty()) {
        command.error = reason;
        command.action = DaemonCommand::Action::kError;
        return command;
    }
    DaemonOptions& o = command.options;
    if (o.passwordFile.empty()) {
        if (std::optional<std::string> password =
                ReadPasswordCredential(std::getenv("CREDENTIALS_DIRECTORY"))) {
            o.password = *password;
        }
    }
    if (std::string reason = FinishDaemonOptions(command.options); !reason.empty()) {
        command.error = reason;
        command.action = DaemonCommand::Action::kError;
    }
    return command;
}

}  // namespace tk358
