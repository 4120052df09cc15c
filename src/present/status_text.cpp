// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/status_text.h"

#include "log/locale_format.h"
#include "panel/panel_model.h"
#include "text/text_format.h"

namespace tk358 {

namespace {

std::string PanelLabel(const PanelIdentity& id) {
    if (id.identified == 0 || id.noNumber != 0) {
        return "TK-358";
    }
    return std::string(PanelModelName(id.deviceType)) + " nr " + FormatInt(id.serialNumber) + ". ";
}

bool ShowsPanelClock(const ReadingsSnapshot& s) {
    return s.clock.valid != 0 &&
           (s.identity.deviceType != kThresholdRegulator || s.clock.clockEnabled != 0);
}

}  // namespace

StatusLine BuildStatusLine(const ReadingsSnapshot& s, const LoggingState& logging,
                           const DateTimeFormatter& formatDateTime) {
    StatusLine line;
    if (s.connected) {
        if (IsUnsupportedPanel(s.identity)) {
            line.stop = true;
            line.indicator = IndicatorState::kNoLink;
            return line;
        }
        line.text = PanelLabel(s.identity);
        const bool temperatureFault = s.temperature.valid != 0 && s.temperature.sensorError != 0;
        const bool setpointFault = s.setpoint.valid != 0 && s.setpoint.error != 0;
        if (temperatureFault) {
            line.text += " Błąd temperatury.";
        }
        if (setpointFault) {
            line.text += " Błąd wartości zadanej.";
        }
        line.indicator =
            temperatureFault || setpointFault ? IndicatorState::kError : IndicatorState::kCorrect;
    } else {
        line.text = "Brak komunikacji z urządzeniem. ";
        line.indicator = IndicatorState::kNoLink;
    }
    if (logging.active) {
        line.text += " Rejestracja do pliku co " + FormatHms(logging.intervalSeconds) + ". ";
    }
    if (ShowsPanelClock(s) && formatDateTime) {
        line.text += formatDateTime(PanelTimeToTm(s.clock.time));
    }
    return line;
}

std::tm PanelTimeToTm(const SystemTime& t) {
    std::tm tm{};
    if (t.year < 1900) {
        const std::time_t zero = 0;
        localtime_r(&zero, &tm);
        return tm;
    }
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_wday = t.dayOfWeek;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    tm.tm_isdst = -1;
    return tm;
}

std::string FormatLocaleDateTime(const std::tm& tm) {
    return FormatDateTime(tm);
}

bool StatusTextHolder::Update(const std::string& text) {
    if (text == last_) {
        return false;
    }
    last_ = text;
    return true;
}

}  // namespace tk358
