// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/log_messages.h"

#include <cerrno>

namespace tk358 {

std::string LogOpenFailureText(int error) {
    std::string text = "Wybrany plik rejestracji wyników pomiaru jest niedostępny.";
    switch (error) {
        case EBUSY:
            return text + "\nPlik jest już zapisywany przez inny program tk358.";
        case EACCES:
        case EPERM:
            return text + "\nBrak uprawnień do zapisu tego pliku.";
        case EROFS:
            return text + "\nDysk jest tylko do odczytu.";
        default:
            return text;
    }
}

std::string LogWriteFailureText(int error) {
    std::string text = "Nie można zapisać wyników pomiaru do pliku rejestracji.";
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return text + "\nNa dysku zabrakło miejsca.";
        case EFBIG:
            return text + "\nPlik osiągnął największy dopuszczalny rozmiar.";
        default:
            return text;
    }
}

}  // namespace tk358
