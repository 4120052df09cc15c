// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/log_line.h"

#include <cmath>
#include <ctime>
#include <utility>

#include "log/locale_format.h"
#include "text/text_format.h"

namespace tk358 {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kFaulty = "???";

std::string ReplacePoints(const std::string& text, const std::string& decimalSign) {
    std::string out;
    out.reserve(text.size() + 4);
    for (char c : text) {
        if (c == '.') {
            out += decimalSign;
        } else {
            out += c;
        }
    }
    return out;
}

// A field that contains the separator or a quote is quoted, so the localised
// date text ("pon, 7 gru 2026, 19:50:42") stays one column.
std::string QuoteField(const std::string& field, char separator) {
    if (field.find(separator) == std::string::npos && field.find('"') == std::string::npos) {
        return field;
    }
    std::string out = "\"";
    for (char c : field) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

std::string ReadingText(bool usable, bool fault, double value, const std::string& decimalSign) {
    if (!usable || fault) {
        return std::string(kFaulty);
    }
    return FormatLogValue(value, decimalSign);
}

std::string ValuesText(const LogLineOptions& options, const LogReadings& r, char separator,
                       const std::string& decimalSign) {
    const bool link = r.connected;
    const std::string setpoint =
        ReadingText(link && r.setpoint.valid, r.setpoint.error != 0,
                    static_cast<double>(r.setpoint.setpoint) / 100.0, decimalSign);
    std::string values;
    bool first = true;
    auto column = [&](const std::string& text) {
        if (!first) {
            values += separator;
        }
        first = false;
        values += text;
    };
    if (options.temperature) {
        column(ReadingText(link && r.temperature.valid, r.temperature.sensorError != 0,
                           r.temperature.temperature, decimalSign));
    }
    if (options.setpoint) {
        column(setpoint);
    }
    if (options.secondSetpoint) {
        const SecondSetpointShown& second = r.secondSetpoint;
        column(second.inUse ? ReadingText(link && second.valid, false, second.value, decimalSign)
                            : setpoint);
    }
    return values;
}

std::string HeaderText(const LogLineOptions& options, char separator) {
    std::string header = "Data i Godzina";
    if (options.temperature) {
        header += separator;
        header += "Temperatura °C";
    }
    if (options.setpoint) {
        header += separator;
        header += "Wartość zadana °C";
    }
    if (options.secondSetpoint) {
        header += separator;
        header += "Wartość zadana 2 °C";
    }
    return header + std::string(kLineEnd);
}

}  // namespace

int LogLineOptions::Mask() const {
    return (temperature ? 1 : 0) + (setpoint ? 2 : 0) + (secondSetpoint ? 4 : 0);
}

LogEnvironment UserLogEnvironment() {
    return LogEnvironment{
        [] { return UserDecimalSign(); },
        [] { return FormatLocalDateTime(std::time(nullptr)); },
        [] { return FormatIsoDateTime(std::time(nullptr)); },
    };
}

std::string LogDecimalSign(int decimalCode, const std::string& userDecimalSign) {
    switch (decimalCode) {
        case kDecimalComma:
            return ",";
        case kDecimalPoint:
            return ".";
        default:
            return userDecimalSign;
    }
}

char LogSeparator(int separatorCode, const std::string& userDecimalSign,
                  const std::string& decimalSign) {
    switch (separatorCode) {
        case kSeparatorTab:
            return '\t';
        case kSeparatorComma:
            return ',';
        case kSeparatorSemicolon:
            return ';';
        default:
            return decimalSign == "," ? ';' : ListSeparatorFor(userDecimalSign);
    }
}

std::string FormatLogValue(double value, const std::string& decimalSign) {
    if (!std::isfinite(value)) {
        return std::string(kFaulty);
    }
    return ReplacePoints(FormatFixed(value, 1), decimalSign);
}

std::string BuildLogComment(std::string_view text, bool appending) {
    std::string out = appending ? std::string(kLineEnd) : std::string();
    if (text.empty()) {
        return out;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;  // the LF that follows ends the line
        }
        if (text[i] == '\r' || text[i] == '\n') {
            out += kLineEnd;
        } else {
            out += text[i];
        }
    }
    return out + std::string(kLineEnd);
}

LogLineBuilder::LogLineBuilder(LogEnvironment environment) : environment_(std::move(environment)) {}

void LogLineBuilder::ResetHeader() {
    headerMask_ = -1;
}

void LogLineBuilder::StartNewFile() {
    headerMask_ = -1;
    lastHeader_.clear();
}

LogLine LogLineBuilder::Build(const LogLineOptions& options, const LogReadings& readings) const {
    const std::string userDecimal = environment_.decimalSign();
    const std::string decimal = LogDecimalSign(options.decimalCode, userDecimal);
    const char separator = LogSeparator(options.separatorCode, userDecimal, decimal);

    LogLine line;
    line.headerMask = options.Mask();
    if (line.headerMask != headerMask_) {
        line.header = HeaderText(options, separator);
    }
    // A header never stands on two consecutive lines.
    if (line.header != lastHeader_) {
        line.text = line.header;
    }
    const bool iso = options.dateCode == kDateIso8601 && environment_.isoDateTime;
    line.text += QuoteField(iso ? environment_.isoDateTime() : environment_.dateTime(), separator);
    line.text += separator;
    line.text += ValuesText(options, readings, separator, decimal);
    line.text += kLineEnd;
    return line;
}

void LogLineBuilder::Written(const LogLine& line) {
    headerMask_ = line.headerMask;
    lastHeader_ = line.header;
}

}  // namespace tk358
