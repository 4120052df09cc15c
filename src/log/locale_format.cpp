// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/locale_format.h"

#include <langinfo.h>
#include <locale.h>

#include <cstring>
#include <vector>

namespace tk358 {

namespace {

// Length of the UTF-8 character that starts with `lead` (1 for a stray byte).
size_t Utf8Length(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) {
        return 4;
    }
    if (lead >= 0xE0) {
        return lead < 0xF0 ? 3 : 1;
    }
    return lead >= 0xC0 ? 2 : 1;
}

}  // namespace

std::optional<std::string> DecimalSignOfLocale(const char* localeName) {
    locale_t loc = newlocale(LC_NUMERIC_MASK, localeName, static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0)) {
        return std::nullopt;
    }
    std::string radix = nl_langinfo_l(RADIXCHAR, loc);
    freelocale(loc);
    if (radix.empty()) {
        return std::string(".");
    }
    // Only the first character counts, as with the separator of other systems.
    size_t length = Utf8Length(static_cast<unsigned char>(radix[0]));
    return radix.substr(0, length <= radix.size() ? length : 1);
}

std::string UserDecimalSign() {
    return DecimalSignOfLocale("").value_or(".");
}

char ListSeparatorFor(const std::string& decimalSign) {
    return decimalSign == "," ? ';' : ',';
}

void SetUpProcessLocale() {
    setlocale(LC_TIME, "");
    setlocale(LC_NUMERIC, "C");
}

std::string FormatDateTime(const std::tm& time) {
    // "%c" is never empty, so a zero result means the buffer was too small.
    for (size_t size = 128; size <= 4096; size *= 2) {
        std::vector<char> buffer(size);
        size_t length = std::strftime(buffer.data(), buffer.size(), "%c", &time);
        if (length > 0) {
            return std::string(buffer.data(), length);
        }
    }
    return std::string();
}

std::string FormatLocalDateTime(std::time_t time) {
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr) {
        return std::string();
    }
    return FormatDateTime(local);
}

std::string FormatIsoDateTime(std::time_t time) {
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr) {
        return std::string();
    }
    char buffer[64];
    const size_t length = std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::string text(buffer, length);
    // strftime's offset is +hhmm; ISO 8601's extended form has a colon.
    if (text.size() >= 5) {
        text.insert(text.size() - 2, 1, ':');
    }
    return text;
}

}  // namespace tk358
