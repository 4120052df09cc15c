// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The logging options edited by the "Rejestracja do pliku" dialog, and the
// rules of that dialog that need no widget.

#include <string>

#include "log/log_interval.h"

namespace tk358 {

struct LogSetup {
    bool secondSetpointAvailable = false;  // in only: an identified panel of type 4
    bool commentOn = false;                // FILE_CHECK_COMMENT
    std::string commentText;               // kept for the run only (UTF-8)
    bool temperatureColumn = false;        // LOG of INPUT_TEMP
    bool setpointColumn = false;           // LOG of INPUT_SP
    bool secondSetpointColumn = false;     // LOG of INPUT_SP2
    int separatorCode = 0;                 // FILE_SEP_FORMAT: 0 locale, 1 tab, 2 comma, 3 semicolon
    int decimalCode = 0;                   // FILE_DEC_SEPARATOR: 0 locale, 1 comma, 2 point
    int interval = 1;                      // FILE_INTERVAL, seconds
    std::string filePath;                  // FILE_NAME (UTF-8)
    bool loggingOn = false;                // FILE_LOG
};

// An interval as the time of day the interval picker shows.
struct ClockTime {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
};

// A stored interval outside 1 to 86 399 s is shown as the nearest bound, so
// what the picker shows is what will be used.
ClockTime IntervalToClock(int seconds);
// The picker's time as an interval; 00:00:00 gives 1 s.
int ClockToInterval(const ClockTime& time);

// At least one of the three columns is selected, whether or not its check box
// is shown; logging needs a quantity even while it is switched off.
bool HasLoggedQuantity(const LogSetup& setup);

// A file name chosen without an extension gets the one of the selected filter:
// ".txt" for the first (text), ".csv" for the second (CSV list).
std::string WithFilterExtension(const std::string& path, int filterIndex);

}  // namespace tk358
