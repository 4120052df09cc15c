// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/daemon_help.h"

#include <cstdio>

#include "panel/regulation_fields.h"

namespace tk358 {

namespace {

constexpr const char* kPanelAndLog = R"(Użycie: tk358d --port COMn [OPCJE]
       tk358d --demo [RODZAJ] [OPCJE]
       tk358d --config PLIK [OPCJE]

Rejestruje odczyty jednego panelu TK-358 bez okna: plik rejestracji w formacie
programu tk358 i (lub) publikacja w brokerze MQTT. Jeden proces na jedną linię
szeregową; komunikaty idą na standardowe wyjście błędów, po jednym w wierszu.

Panel:
  --port COMn            port panelu (także sama liczba n); COMn z katalogu portów
                         ($TK358_PORT_DIR) albo z tabeli: COM1-32 /dev/ttyS0-31,
                         COM33-64 /dev/ttyUSB0-31, COM65-96 /dev/ttyACM0-31,
                         COM97-128 /dev/ttyAMA0-31
  --demo [RODZAJ]        wbudowany symulowany panel: 0 sterownik temperatury,
                         1 sterownik zaworu zrzutowego, 2 TK-358W,
                         3 TK-358D (domyślnie), 4 TK-358C

Plik rejestracji:
  --log PLIK             dopisuje wiersz odczytów co --interval sekund (pierwszy
                         6 s po starcie); ten sam format co w programie tk358;
                         data w nazwie (%Y %y %m %d %j %H %M %S %F, %% to znak
                         %) daje nowy plik z nagłówkiem przy każdej zmianie
                         nazwy, np. /var/log/tk358/linia1-%Y-%m-%d.csv
  --keep-days N          usuwa pliki tego wzorca sprzed więcej niż N dni (dzień
                         z nazwy albo z czasu modyfikacji); inne pliki nigdy
  --interval S           odstęp wierszy w sekundach, 1-86399 (domyślnie 60)
  --log-separator S      locale (domyślnie), tab, comma albo semicolon
  --log-decimal D        locale (domyślnie), comma albo point
  --log-date F           locale (domyślnie: data i godzina jak w ustawieniach
                         regionalnych) albo iso (ISO 8601 z przesunięciem
                         względem UTC, np. 2026-10-25T02:30:00+01:00)
)";

constexpr const char* kBroker = R"(
Broker MQTT (MQTT 5):
  --mqtt ADRES           mqtt://[użytkownik[:hasło]@]host[:port] (port 1883)
                         albo mqtts://... dla TLS (port 8883); hasło w adresie
                         tylko w pliku --config
  --topic PREFIKS        początek tematów (domyślnie tk358, nie od '$')
  --name NAZWA           nazwa panelu w tematach: litery, cyfry, '_' i '-'
                         (domyślnie com3 dla COM3, demo dla --demo); jeden
                         PREFIKS/NAZWA ma tylko jeden proces (drugi kończy
                         pracę z kodem 2)
  --qos 0|1              QoS wiadomości stanu i wyników (domyślnie 0);
                         wiadomości zachowywane idą zawsze z QoS 1
  --ha-discovery         konfiguracja Home Assistant MQTT discovery
  --discovery-prefix P   temat discovery (domyślnie homeassistant)
  --user NAZWA           użytkownik brokera
  --password-file PLIK   hasło brokera z pierwszego wiersza pliku; bez niej
                         hasło z poświadczenia systemd mqtt-password
                         ($CREDENTIALS_DIRECTORY), jeśli jest
  --ca-file PLIK         certyfikat CA dla mqtts:// (domyślnie systemowe)
  --cert-file PLIK       certyfikat klienta dla mqtts://
  --key-file PLIK        klucz klienta dla mqtts://
  --reconnect-max S      najdłuższy odstęp prób połączenia z brokerem,
                         1-3600 s (domyślnie 10); odstępy rosną 1, 4, 9 ... s

Tematy (BAZA = PREFIKS/NAZWA):
  BAZA/availability      "online" / "offline" (zachowywany, także ostatnia wola)
  BAZA/state             odczyty co sekundę (JSON); null: brak bieżącego odczytu
  BAZA/info              identyfikacja panelu (JSON, zachowywany)
  BAZA/link              "online", gdy panel odpowiada, "offline" przed jego
                         pierwszą odpowiedzią i po utracie komunikacji
                         (zachowywany)
  BAZA/health            stan tk358d: ostatnia odpowiedź panelu, plik
                         rejestracji, odmowy brokera, czas pracy (JSON,
                         zachowywany)
  BAZA/set/setpoint      nowa wartość zadana w °C, np. 21.5 (tylko z
                         --allow-setpoint-writes); TK-358D:
                         BAZA/set/zone1Setpoint i BAZA/set/zone2Setpoint;
                         polecenie zachowane (retained) nie jest wykonywane,
                         tylko usuwane z brokera
  BAZA/result/POLECENIE  wynik polecenia (JSON)

Zapis do panelu:
  --allow-setpoint-writes  wykonuje polecenia BAZA/set/... w granicach
                         okna "Wartość zadana" (@BOUNDS@)
  --sync-clock           TK-358D i TK-358C z włączonym zegarem: ustawia zegar
                         panelu na czas lokalny komputera, jak okno "Data
                         i czas", gdy różni się o ponad 60 s albo zmieniło się
                         przesunięcie względem UTC (czas letni); po pierwszym
                         odczycie zegara, potem najwyżej raz na godzinę; każde
                         ustawienie trafia do dziennika. BAZA/state podaje
                         clockOffset: zegar panelu minus komputera w sekundach
                         (co minutę), także bez tej opcji
Bez tych opcji tk358d wysyła do panelu tylko polecenia nawiązania łączności
i trybu monitorowania.
)";

constexpr const char* kOther = R"(
Wspólna linia (okno tk358 i tk358 --backup przy działającym tk358d):
  --share GNIAZDO        udostępnia linię jednemu klientowi naraz przez gniazdo
                         Unix (prawa 0660); klient widzi linie stanu i odpowiedzi
                         na swoje żądania (do 8 czeka w kolejce, następne są
                         odrzucane), tryb monitorowania zostaje włączony,
                         każdy zapis klienta trafia do dziennika; w katalogu
                         portów klienta COMn to dowiązanie do gniazda
  --share-group GRUPA    grupa gniazda: jej członkowie mogą się połączyć
                         i zapisywać do panelu (wartości zadane, parametry,
                         zegar), chyba że podano --share-read-only
  --share-read-only      żaden zapis klienta nie idzie do panelu: klient
                         dostaje odmowę, a jego zapis kończy się błędem

Inne:
  --config PLIK          opcje z pliku: klucz=wartość (nazwy jak wyżej, bez --),
                         przed sekcjami albo w sekcji [tk358d]; hasło także
                         jako password=...; opcje wiersza poleceń mają
                         pierwszeństwo
  -h, --help             ten opis
  --version              wersja programu

Kody wyjścia:
  0  koniec na sygnał SIGTERM lub SIGINT (panel wyłącza tryb
     monitorowania, broker dostaje "offline")
  1  nie można uruchomić klienta MQTT lub panelu demonstracyjnego albo
     połączenie z brokerem zakończył błąd TLS/protokołu (plik rejestracji,
     którego nie da się zapisać, nie kończy pracy: kolejne próby co interwał)
  2  błąd w wierszu poleceń lub pliku konfiguracji albo tematy PREFIKS/NAZWA
     ma już inny proces
  3  nie można otworzyć portu szeregowego
  4  panel nie jest podstawową wersją panelu

Sygnał SIGHUP: ponowne otwarcie pliku rejestracji (po logrotate) i ponowne
wczytanie konfiguracji; zmienia tylko ustawienia rejestracji (log, keep-days,
interval, log-separator, log-decimal, log-date), błędny plik zostawia
dotychczasowe.
)";

}  // namespace

std::string DaemonHelpText() {
    std::string text = std::string(kPanelAndLog) + kBroker + kOther;
    char bounds[64];
    std::snprintf(bounds, sizeof bounds, "%.2f do %.2f °C", rules::kSetpoint.min / 100.0,
                  rules::kSetpoint.max / 100.0);
    text.replace(text.find("@BOUNDS@"), 8, bounds);
    return text;
}

}  // namespace tk358
