// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Builds the lines of the measurement log: an optional header naming the
// columns, then the date and time and the selected readings. Pure text work;
// the user's decimal sign and the clock come in through LogEnvironment so the
// rules can be checked without a locale or a file.

#include <functional>
#include <string>
#include <string_view>

#include "link/records.h"

namespace tk358 {

// Column separator codes (FILE_SEP_FORMAT).
inline constexpr int kSeparatorLocale = 0;
inline constexpr int kSeparatorTab = 1;
inline constexpr int kSeparatorComma = 2;
inline constexpr int kSeparatorSemicolon = 3;

// Decimal sign codes (FILE_DEC_SEPARATOR).
inline constexpr int kDecimalLocale = 0;
inline constexpr int kDecimalComma = 1;
inline constexpr int kDecimalPoint = 2;

// Date and time codes (LOG_DATE_FORMAT): the locale's "%c", or ISO 8601 with
// the offset from UTC.
inline constexpr int kDateLocale = 0;
inline constexpr int kDateIso8601 = 1;

// The logging options a line depends on. Codes outside their range count as
// the locale code, as the setup dialog shows them.
struct LogLineOptions {
    int separatorCode = kSeparatorLocale;
    int decimalCode = kDecimalLocale;
    bool temperature = true;     // LOG of INPUT_TEMP
    bool setpoint = true;        // LOG of INPUT_SP
    bool secondSetpoint = true;  // LOG of INPUT_SP2
    int dateCode = kDateLocale;  // after the columns: positional initialisers stay valid

    // temperature + 2 x set point + 4 x second set point
    int Mask() const;
};

// The second set point as the main window's second set-point display shows it.
// When that display is not in use (any panel but a TK-358C with two active
// channels) the column repeats the set-point column.
struct SecondSetpointShown {
    bool inUse = false;  // the second display is shown
    bool valid = false;  // it shows a value rather than "???"
    double value = 0.0;  // °C, as displayed
};

// The readings as the main window last copied them from the session.
// A reading that is not valid, or any reading while the link is down, is
// written as "???". The session hands out a reading that is no longer current
// (not refreshed within the link's silence time, or from before the panel was
// last identified) as not valid, so an old value is never logged as a new one.
struct LogReadings {
    bool connected = false;  // link status 0
    TemperatureReading temperature;
    SetpointReading setpoint;  // hundredths of °C
    SecondSetpointShown secondSetpoint;
};

// What a line takes from the user's environment; read afresh for every line.
struct LogEnvironment {
    std::function<std::string()> decimalSign;            // the user's decimal sign
    std::function<std::string()> dateTime;               // the current date and time text
    std::function<std::string()> isoDateTime = nullptr;  // the same in ISO 8601; none: dateTime
};

// The user's LC_NUMERIC radix and "%c" (or ISO 8601) of the current local time.
LogEnvironment UserLogEnvironment();

// The decimal sign of a line for the given code.
std::string LogDecimalSign(int decimalCode, const std::string& userDecimalSign);

// The column separator of a line. The locale code gives ';' where the user's
// decimal sign is ',', otherwise ','; it also gives ';' whenever the numbers
// are written with ',' so that the columns can be told apart.
char LogSeparator(int separatorCode, const std::string& userDecimalSign,
                  const std::string& decimalSign);

// "%.01f" with a point regardless of the program's locale, then every '.'
// replaced by the decimal sign. Values that are not finite give "???".
std::string FormatLogValue(double value, const std::string& decimalSign);

// The comment written when a file is opened from the setup dialog: an empty
// line first when appending, then the text with its line ends turned into
// CR LF, and a final CR LF. Empty when there is nothing to write.
std::string BuildLogComment(std::string_view text, bool appending);

// One piece to append, with the header state it leaves behind once written.
struct LogLine {
    std::string text;     // header (when due), date and time, values, CR LF
    int headerMask = -1;  // columns the header state refers to afterwards
    std::string header;   // header part of this line, empty if none
};

class LogLineBuilder {
public:
    explicit LogLineBuilder(LogEnvironment environment = UserLogEnvironment());

    // The file was reopened for appending: the next line carries the header,
    // unless the line before it carried the same one.
    void ResetHeader();
    // The file was created or emptied: the next line carries the header.
    void StartNewFile();

    // The next line. Nothing changes until Written is called, so a line that
    // could not be written leaves the header due.
    LogLine Build(const LogLineOptions& options, const LogReadings& readings) const;
    // The line reached the file.
    void Written(const LogLine& line);

private:
    LogEnvironment environment_;
    int headerMask_ = -1;     // columns of the last header, -1: header due
    std::string lastHeader_;  // header part of the last line, empty if none
};

}  // namespace tk358
