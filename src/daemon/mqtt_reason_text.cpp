// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/mqtt_reason_text.h"

#include <array>

namespace tk358 {

namespace {

constexpr int kFirstFailure = 0x80;

// Indexed by code - 0x80; the codes of failures run without gaps to 0xA2.
constexpr std::array<const char*, 0x23> kFailures = {
    "nieokreślony błąd (Unspecified error)",
    "błędny pakiet (Malformed Packet)",
    "błąd protokołu (Protocol Error)",
    "błąd właściwy brokerowi (Implementation specific error)",
    "nieobsługiwana wersja protokołu (Unsupported Protocol Version)",
    "nieprawidłowy identyfikator klienta (Client Identifier not valid)",
    "zła nazwa użytkownika lub hasło (Bad User Name or Password)",
    "brak uprawnień (Not authorized)",
    "broker niedostępny (Server unavailable)",
    "broker zajęty (Server busy)",
    "klient zablokowany (Banned)",
    "broker kończy pracę (Server shutting down)",
    "zła metoda uwierzytelniania (Bad authentication method)",
    "przekroczony czas podtrzymania połączenia (Keep Alive timeout)",
    "sesję przejął inny klient (Session taken over)",
    "nieprawidłowy filtr tematów (Topic Filter invalid)",
    "nieprawidłowa nazwa tematu (Topic Name invalid)",
    "identyfikator pakietu w użyciu (Packet Identifier in use)",
    "nieznany identyfikator pakietu (Packet Identifier not found)",
    "za wiele wiadomości w drodze (Receive Maximum exceeded)",
    "nieprawidłowy alias tematu (Topic Alias invalid)",
    "za duży pakiet (Packet too large)",
    "za wiele wiadomości naraz (Message rate too high)",
    "przekroczony przydział (Quota exceeded)",
    "działanie administratora (Administrative action)",
    "nieprawidłowy format treści (Payload format invalid)",
    "broker nie przechowuje wiadomości zachowanych (Retain not supported)",
    "nieobsługiwany poziom QoS (QoS not supported)",
    "należy użyć innego brokera (Use another server)",
    "broker przeniesiony (Server moved)",
    "subskrypcje współdzielone nieobsługiwane (Shared Subscriptions not supported)",
    "za częste połączenia (Connection rate exceeded)",
    "przekroczony najdłuższy czas połączenia (Maximum connect time)",
    "identyfikatory subskrypcji nieobsługiwane (Subscription Identifiers not supported)",
    "subskrypcje z symbolami wieloznacznymi nieobsługiwane (Wildcard Subscriptions not "
    "supported)",
};

}  // namespace

std::string MqttReasonText(int code) {
    const int index = code - kFirstFailure;
    if (index < 0 || index >= static_cast<int>(kFailures.size())) {
        return "nieznany kod";
    }
    return kFailures[static_cast<std::size_t>(index)];
}

}  // namespace tk358
