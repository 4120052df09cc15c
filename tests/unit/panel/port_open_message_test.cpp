// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/port_open_message.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace tk358 {
namespace {

TEST(PortOpenMessageTest, SecondLineOnlyForCausesTheUserCanFix) {
    const std::string noAccess =
        "Nie można otworzyć portu COM3\n"
        "Brak uprawnień do portu: konto użytkownika musi należeć do grupy dialout "
        "(w niektórych dystrybucjach uucp). Po dopisaniu do grupy trzeba się wylogować i "
        "zalogować ponownie.";
    const struct {
        int port;
        int error;
        std::string text;
    } cases[] = {
        {3, EACCES, noAccess},
        {3, EPERM, noAccess},
        {33, EBUSY,
         "Nie można otworzyć portu COM33\n"
         "Port jest zajęty przez inny program. Zamknij ten program i spróbuj ponownie."},
        {5, ENOTTY,
         "Nie można otworzyć portu COM5\n"
         "Urządzenie przypisane do COM5 nie jest portem szeregowym. Sprawdź, dokąd prowadzi "
         "dowiązanie COM5 w katalogu portów."},
        {9, ECONNREFUSED,
         "Nie można otworzyć portu COM9\n"
         "COM9 prowadzi do wspólnej linii tk358d, ale usługa nie przyjmuje połączeń. Uruchom ją "
         "(albo połączenie ssh do niej) i spróbuj ponownie."},
        {7, ENOENT, "Nie można otworzyć portu COM7"},
        {7, EIO, "Nie można otworzyć portu COM7"},
        {200, 0, "Nie można otworzyć portu COM200"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PortOpenFailureText(c.port, c.error), c.text) << c.error;
    }
}

}  // namespace
}  // namespace tk358
