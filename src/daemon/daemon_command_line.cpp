#include "daemon/daemon_command_line.h"

#include <optional>
#include <string_view>
#include <utility>

#include "daemon/daemon_config_file.h"

namespace tk358 {

namespace {

bool IsKindDigit(const std::string& arg) {
    return arg.size() == 1 && arg[0] >= '0' && arg[0] <= '9';
}

// The options of the command line in order, or the reason they cannot be read.
std::optional<std::vector<ConfigEntry>> SplitArguments(const std::vector<std::string>& args,
                                                       DaemonCommand& command) {
    std::vector<ConfigEntry> entries;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            command.action = DaemonCommand::Action::kHelp;
            return entries;
        }
        if (arg == "--version") {
            command.action = DaemonCommand::Action::kVersion;
            return entries;
        }
        if (!arg.starts_with("--") || arg.size() == 2) {
            command.error = "nieoczekiwany argument: " + arg;
            return std::nullopt;
        }
        const std::size_t equals = arg.find('=');
        std::string key =
            arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const bool inlineValue = equals != std::string::npos;
        std::string value = inlineValue ? arg.substr(equals + 1) : std::string();
        const OptionForm form = key == "config" ? OptionForm::kValue : FormOfOption(key, false);
        switch (form) {
            case OptionForm::kUnknown:
                command.error = "nieznana opcja: --" + key;
                return std::nullopt;
            case OptionForm::kSwitch:
                if (inlineValue) {
                    command.error = "--" + key + " nie przyjmuje wartości";
                    return std::nullopt;
                }
                break;
            case OptionForm::kOptionalValue:
                if (!inlineValue && i + 1 < args.size() && IsKindDigit(args[i + 1])) {
                    value = args[++i];
                }
                break;
            case OptionForm::kValue:
                if (!inlineValue) {
                    if (i + 1 >= args.size()) {
                        command.error = "--" + key + " wymaga wartości";
                        return std::nullopt;
                    }
                    value = args[++i];
                }
                break;
        }
        entries.push_back({std::move(key), std::move(value)});
    }
    return entries;
}

// The file's options, checked against the options a file may hold.
bool ApplyConfigFile(const std::string& path, DaemonCommand& command) {
    std::string error;
    const std::optional<std::vector<ConfigEntry>> entries = ReadDaemonConfig(path, &error);
    if (!entries) {
        command.error = error;
        return false;
    }
    for (const ConfigEntry& entry : *entries) {
        std::string reason = FormOfOption(entry.key, true) == OptionForm::kUnknown
                                 ? "nieznany klucz: " + entry.key
                                 : ApplyDaemonOption(command.options, entry.key, entry.value);
        if (!reason.empty()) {
            command.error = path + ": " + reason;
            return false;
        }
    }
    return true;
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
    for (const ConfigEntry& entry : *entries) {
        if (entry.key == "config") {
            continue;
        }
        if (std::string reason = ApplyDaemonOption(command.options, entry.key, entry.value);
            !reason.empty()) {
            command.error = reason;
            command.action = DaemonCommand::Action::kError;
            return command;
        }
    }
    if (std::string reason = FinishDaemonOptions(command.options); !reason.empty()) {
        command.error = reason;
        command.action = DaemonCommand::Action::kError;
    }
    return command;
}

}  // namespace tk358
