// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The status line at the top of the main window and its indicator.

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

#include "link/records.h"
#include "panel/readings_snapshot.h"

namespace tk358 {

enum class IndicatorState {
    kCorrect,  // link up, readings correct
    kError,    // temperature or set-point fault
    kNoLink,
};

// Formats the panel's date and time; the window passes FormatLocaleDateTime.
using DateTimeFormatter = std::function<std::string(const std::tm&)>;

struct StatusLine {
    bool stop = false;  // unsupported panel: the text is not to be touched
    std::string text;
    IndicatorState indicator = IndicatorState::kNoLink;
};

struct LoggingState {
    bool active = false;  // the log timer runs
    int64_t intervalSeconds = 0;

    friend bool operator==(const LoggingState&, const LoggingState&) = default;
};

// The text is, in this order: the panel label (or the no-link text), the
// fault notes, the logging note, the panel's date and time.
StatusLine BuildStatusLine(const ReadingsSnapshot& s, const LoggingState& logging,
                           const DateTimeFormatter& formatDateTime);

// The panel clock as a broken-down time; a year before 1900 becomes time
// value 0 (1970-01-01 00:00:00 UTC) in local time.
std::tm PanelTimeToTm(const SystemTime& t);

// strftime "%c" under the program's LC_TIME.
std::string FormatLocaleDateTime(const std::tm& tm);

// Keeps the text last put into the status line so that it is written only
// when it changes.
class StatusTextHolder {
public:
    // True when `text` differs from the last one (which it then becomes).
    bool Update(const std::string& text);
    const std::string& Text() const { return last_; }

private:
    std::string last_;
};

}  // namespace tk358
