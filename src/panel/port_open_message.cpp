// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/port_open_message.h"

#include <cerrno>

namespace tk358 {

std::string PortOpenFailureText(int portNumber, int error) {
    std::string text = "Nie można otworzyć portu COM" + std::to_string(portNumber);
    switch (error) {
        case EACCES:
        case EPERM:
            return text +
                   "\nBrak uprawnień do portu: konto użytkownika musi należeć do grupy dialout "
                   "(w niektórych dystrybucjach uucp). Po dopisaniu do grupy trzeba się "
                   "wylogować i zalogować ponownie.";
        case EBUSY:
            return text +
                   "\nPort jest zajęty przez inny program. Zamknij ten program i spróbuj ponownie.";
        case ENOTTY:
            return text + "\nUrządzenie przypisane do COM" + std::to_string(portNumber) +
                   " nie jest portem szeregowym. Sprawdź, dokąd prowadzi dowiązanie COM" +
                   std::to_string(portNumber) + " w katalogu portów.";
        case ECONNREFUSED:
            return text + "\nCOM" + std::to_string(portNumber) +
                   " prowadzi do wspólnej linii tk358d, ale usługa nie przyjmuje połączeń. "
                   "Uruchom ją (albo połączenie ssh do niej) i spróbuj ponownie.";
        default:
            return text;
    }
}

}  // namespace tk358
