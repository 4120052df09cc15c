// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The operator's messages about the measurement log file.

#include <string>

namespace tk358 {

// Asked when a log file chosen in the setup dialog already exists (Yes/No).
inline constexpr const char* kLogFileExistsQuestion =
    "Plik rejestracji pomiarów już istnieje.\n"
    "Wybierz Tak aby dopisywać wyniki do poprzednich,\n"
    "wybierz Nie aby skasować poprzednią zawartość pliku.";

// The file could not be opened; a second line names the causes an operator
// can act on (another tk358 writing it, no permission, read-only disk).
std::string LogOpenFailureText(int error);

// Writing a line failed; a second line names a full disk or a file at its
// size limit.
std::string LogWriteFailureText(int error);

}  // namespace tk358
