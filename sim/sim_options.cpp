// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/sim_options.h"

#include <charconv>
#include <cstdio>
#include <functional>
#include <map>

#include "sim/panel_calendar.h"
#include "sim/sim_codec.h"

namespace tk358::sim {

namespace {

template <class T>
bool ParseInteger(const std::string& text, T low, T high, T& out) {
    int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < static_cast<int64_t>(low) ||
        value > static_cast<int64_t>(high)) {
        return false;
    }
    out = static_cast<T>(value);
    return true;
}

// "105" or "1.05" (major.minor, the minor in two digits).
bool ParseFirmware(const std::string& text, int& out) {
    const std::size_t dot = text.find('.');
    if (dot == std::string::npos) {
        return ParseInteger(text, 0, 25599, out);
    }
    int major = 0;
    int minor = 0;
    if (!ParseInteger(text.substr(0, dot), 0, 255, major) ||
        !ParseInteger(text.substr(dot + 1), 0, 99, minor)) {
        return false;
    }
    out = major * 100 + minor;
    return true;
}

// "2001-03-01 12:30:00" (or with "T" between date and time).
bool ParseDateTime(const std::string& text, uint32_t& out) {
    CalendarTime t;
    char separator = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d", &t.year, &t.month, &t.day, &separator,
                    &t.hour, &t.minute, &t.second) != 7 ||
        (separator != ' ' && separator != 'T') || t.year < 2000 || t.year > 2135 || t.month < 1 ||
        t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59 || t.second > 59) {
        return false;
    }
    out = PanelSeconds(t);
    return true;
}

bool ParseSetting(const std::string& text, std::pair<int, int64_t>& out) {
    const std::size_t eq = text.find('=');
    return eq != std::string::npos && ParseInteger(text.substr(0, eq), 0, 165, out.first) &&
           ParseInteger(text.substr(eq + 1), int64_t{-2147483648LL}, int64_t{4294967295LL},
                        out.second);
}

bool ParseTemperature(const std::string& text, double& out) {
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size() && out > -100.0 && out < 500.0;
}

using Flag = std::function<void(SimCommandLine&)>;
using Valued = std::function<bool(SimCommandLine&, const std::string&)>;

const std::map<std::string, Flag>& Flags() {
    static const std::map<std::string, Flag> flags = {
        {"--help", [](SimCommandLine& c) { c.help = true; }},
        {"-h", [](SimCommandLine& c) { c.help = true; }},
        {"--no-number", [](SimCommandLine& c) { c.runner.panel.noNumber = true; }},
        {"--short-id", [](SimCommandLine& c) { c.runner.panel.shortIdentification = true; }},
        {"--monitoring", [](SimCommandLine& c) { c.runner.panel.monitoring = true; }},
        {"--pace", [](SimCommandLine& c) { c.runner.pace = true; }},
        {"--silent", [](SimCommandLine& c) { c.silent = true; }},
        {"--garbage", [](SimCommandLine& c) { c.faults.garbageBetweenLines = true; }},
        {"--overlong", [](SimCommandLine& c) { c.faults.overlongLines = true; }},
        {"--noise", [](SimCommandLine& c) { c.faults.noisyStatusLines = true; }},
        {"--short", [](SimCommandLine& c) { c.faults.shortLines = true; }},
        {"--busy", [](SimCommandLine& c) { c.faults.busyPanelInfo = true; }},
        {"--refuse-writes", [](SimCommandLine& c) { c.faults.refuseParameterWrites = true; }},
        {"--read-error", [](SimCommandLine& c) { c.faults.parameterReadError = true; }},
        {"--regulator-error", [](SimCommandLine& c) { c.faults.regulatorError = true; }},
        {"--clock-error", [](SimCommandLine& c) { c.faults.clockError = true; }},
        {"--sensor-fault", [](SimCommandLine& c) { c.faults.sensorFault = true; }},
        {"--calibration-error",
         [](SimCommandLine& c) { c.runner.panel.probeCalibrationError = true; }},
    };
    return flags;
}

const std::map<std::string, Valued>& ValuedOptions() {
    static const std::map<std::string, Valued> options = {
        {"--port",
         [](SimCommandLine& c, const std::string& v) {
             return ParseInteger(v, 1, 255, c.runner.portNumber);
         }},
        {"--port-dir",
         [](SimCommandLine& c, const std::string& v) {
             c.runner.portDirectory = v;
             return !v.empty();
         }},
        {"--serial",
         [](SimCommandLine& c, const std::string& v) {
             return ParseInteger(v, uint16_t{0}, uint16_t{65535}, c.runner.panel.serialNumber);
         }},
        {"--firmware",
         [](SimCommandLine& c, const std::string& v) {
             return ParseFirmware(v, c.runner.panel.firmwareVersion);
         }},
        {"--variant",
         [](SimCommandLine& c, const std::string& v) {
             return ParseInteger(v, 0, 255, c.runner.panel.hardwareVariant);
         }},
        {"--clock",
         [](SimCommandLine& c, const std::string& v) {
             uint32_t seconds = 0;
             if (!ParseDateTime(v, seconds)) {
                 return false;
             }
             c.runner.panel.clockSeconds = seconds;
             return true;
         }},
        {"--clock-enabled",
         [](SimCommandLine& c, const std::string& v) {
             int on = 0;
             const bool ok = ParseInteger(v, 0, 1, on);
             c.runner.panel.clockEnabled = on != 0;
             return ok;
         }},
        {"--status-period",
         [](SimCommandLine& c, const std::string& v) {
             int ms = 0;
             const bool ok = ParseInteger(v, 50, 600000, ms);
             c.runner.panel.statusPeriod = std::chrono::milliseconds(ms);
             return ok;
         }},
        {"--turnaround",
         [](SimCommandLine& c, const std::string& v) {
             int ms = 0;
             const bool ok = ParseInteger(v, 0, 10000, ms);
             c.runner.turnaround = std::chrono::milliseconds(ms);
             return ok;
         }},
        {"--silent-for",
         [](SimCommandLine& c, const std::string& v) {
             int ms = 0;
             const bool ok = ParseInteger(v, 0, 86400000, ms);
             c.silentFor = std::chrono::milliseconds(ms);
             return ok;
         }},
        {"--short-prefix",
         [](SimCommandLine& c, const std::string& v) {
             c.faults.shortLines = true;
             c.faults.shortPrefix = v;
             return true;
         }},
        {"--setpoint-faults",
         [](SimCommandLine& c, const std::string& v) {
             return ParseInteger(v, uint8_t{0}, uint8_t{7}, c.faults.setpointFaultBits);
         }},
        {"--drop-every",
         [](SimCommandLine& c, const std::string& v) {
             return ParseInteger(v, 0, 1000000, c.faults.dropEveryNthAnswer);
         }},
        {"--set",
         [](SimCommandLine& c, const std::string& v) {
             std::pair<int, int64_t> setting;
             const bool ok = ParseSetting(v, setting);
             c.parameters.push_back(setting);
             return ok;
         }},
        {"--temperature",
         [](SimCommandLine& c, const std::string& v) {
             double t = 0.0;
             const bool ok = ParseTemperature(v, t);
             c.temperature = t;
             return ok;
         }},
    };
    return options;
}

// "--name=value" or "--name value"; `next` is advanced past a separate value.
bool SplitOption(const std::vector<std::string>& args, std::size_t& next, std::string& name,
                 std::optional<std::string>& value) {
    const std::string& arg = args[next];
    const std::size_t eq = arg.find('=');
    name = arg.substr(0, eq);
    value.reset();
    if (eq != std::string::npos) {
        value = arg.substr(eq + 1);
    } else if (ValuedOptions().count(name) != 0 && next + 1 < args.size()) {
        value = args[++next];
    }
    return Flags().count(name) != 0 || ValuedOptions().count(name) != 0;
}

// The kind comes first, so that every option changes that kind's panel
// wherever the kind stands on the line.
int FindKind(const std::vector<std::string>& args, std::string& error) {
    int kind = kKindDualZone;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name;
        std::optional<std::string> value;
        if (args[i].starts_with("-")) {
            SplitOption(args, i, name, value);
        } else if (!ParseInteger(args[i], 0, kKindCount - 1, kind)) {
            error = "nieznany rodzaj panelu \"" + args[i] + "\" (dozwolone 0-4)";
        }
    }
    return kind;
}

}  // namespace

SimCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    SimCommandLine c;
    c.runner.panel = DefaultConfig(FindKind(args, c.error));
    bool clockFlagGiven = false;
    for (std::size_t i = 0; i < args.size() && c.error.empty(); ++i) {
        if (!args[i].starts_with("-")) {
            continue;
        }
        std::string name;
        std::optional<std::string> value;
        if (!SplitOption(args, i, name, value)) {
            c.error = "nieznana opcja " + args[i];
        } else if (const auto flag = Flags().find(name); flag != Flags().end()) {
            if (value) {
                c.error = "opcja " + name + " nie przyjmuje wartości";
            } else {
                flag->second(c);
            }
        } else if (!value) {
            c.error = "opcja " + name + " wymaga wartości";
        } else if (!ValuedOptions().at(name)(c, *value)) {
            c.error = "niepoprawna wartość opcji " + name + ": \"" + *value + "\"";
        }
        clockFlagGiven = clockFlagGiven || name == "--clock-enabled";
    }
    // A threshold regulator of firmware 1.00 or older has no day and night sets
    // and so no clock to switch them.
    if (!clockFlagGiven && c.runner.panel.kind == kKindThreshold &&
        c.runner.panel.firmwareVersion <= 100) {
        c.runner.panel.clockEnabled = false;
    }
    return c;
}

std::string KindName(int kind) {
    switch (kind) {
        case kKindTemperature:
            return "sterownik temperatury";
        case kKindDrainValve:
            return "sterownik zaworu zrzutowego";
        case kKindVentilation:
            return "TK-358W sterownik wentylacji";
        case kKindDualZone:
            return "TK-358D dwustrefowy sterownik temperatury";
        case kKindThreshold:
            return "TK-358C progowy regulator temperatury";
        default:
            return "nieznany panel";
    }
}

std::string HelpText() {
    const auto request = [](std::string_view code, std::string_view data = {}) {
        const std::string line = RequestLine(code, data);
        return line.substr(0, line.size() - 2);  // without CR LF
    };
    std::string text = R"(Użycie: tk358-sim [opcje] [RODZAJ]

Symulowany panel TK-358 na pseudoterminalu. Program tk358 (i każdy program
terminalowy) rozmawia z nim jak z panelem podłączonym do portu szeregowego.
Symulator rejestruje swój terminal jako port COMn: dowiązanie symboliczne COMn
w katalogu portów ($TK358_PORT_DIR, a gdy go nie ma $XDG_RUNTIME_DIR/tk358/ports,
a gdy i tego nie ma /tmp/tk358-<uid>/ports). Po uruchomieniu wypisuje numer
portu i ścieżkę terminala; działa do Ctrl+C (albo SIGTERM) i wtedy usuwa
dowiązanie.

RODZAJ panelu (domyślnie 3):
  0  sterownik temperatury (zawór z siłownikiem, regulator PID)
  1  sterownik zaworu zrzutowego
  2  TK-358W, sterownik wentylacji (dwa wentylatory, wietrzenie)
  3  TK-358D, dwustrefowy sterownik temperatury (dwie wartości zadane, zegar)
  4  TK-358C, progowy regulator temperatury (dwa przekaźniki, dzień i noc)

Tożsamość panelu:
  --port N             zarejestruj jako COMN (1-255); domyślnie pierwszy wolny od COM200
  --port-dir KATALOG   inny katalog portów
  --serial N           numer seryjny panelu (0-65535)
  --firmware W         wersja oprogramowania, np. 105 albo 1.05; TK-358C
                       z wersją 1.00 lub starszą nie ma strefy nocnej ani zegara
  --variant N          wariant sprzętu (0-255); domyślnie zgodny z rodzajem
                       (0 dla rodzajów 0 i 1, 1 dla 2, 5 dla 3, 3 dla 4)
  --no-number          panel prosi, by nie pokazywać jego numeru
  --short-id           krótka, 25-znakowa odpowiedź identyfikacji (stary panel)
  --calibration-error  panel zgłasza błąd kalibracji sondy

Stan początkowy:
  --clock "RRRR-MM-DD GG:MM:SS"  zegar panelu; domyślnie czas lokalny komputera
  --clock-enabled 0|1  czy zegar jest włączony (rodzaje 3 i 4)
  --monitoring         od razu wysyłaj linie stanu (zwykle włącza je program)
  --status-period MS   co ile wysyłać linie stanu (domyślnie 1000 ms)
  --set KOD=WARTOŚĆ    ustaw parametr o danym kodzie (można powtarzać),
                       np. --set 132=2250 to wartość zadana 1 równa 22,50 °C
  --temperature T      temperatura początkowa w °C

Łącze:
  --pace               nadawaj z szybkością 9600 bodów (ok. 1,04 ms na bajt)
  --turnaround MS      czekaj tyle przed każdą odpowiedzią

Usterki (do prób):
  --silent             nie odpowiadaj wcale
  --silent-for MS      milcz przez MS milisekund od startu
  --garbage            przed każdą linią wysyłaj linię śmieci
  --overlong           przed każdą linią wysyłaj linię dłuższą niż 256 bajtów
  --noise              zakłócenia: w każdej linii stanu przekłamany bit kodu,
                       program nie odczyta z niej nic, ale łącze trwa
  --short              skracaj linie o bajt poniżej długości, której potrzebuje program
  --short-prefix P     to samo, tylko dla linii zaczynających się od P, np. 020200:
  --busy               informacje o panelu zawsze odpowiadają "zajęty"
  --refuse-writes      odrzucaj każdy zapis parametru
  --read-error         bit błędu w każdej odpowiedzi odczytu parametru
  --regulator-error    bit błędu w linii regulatora
  --clock-error        bit błędu w linii zegara
  --setpoint-faults B  bity usterek wartości zadanej (1 A, 2 B, 4 C; suma)
  --sensor-fault       błąd czujnika temperatury
  --drop-every N       nie wysyłaj co N-tej odpowiedzi

Rozmowa ręczna: w drugim terminalu
  socat - /dev/pts/N,raw,echo=0,crlf
(N z komunikatu startowego). Każda wpisana linia idzie do panelu z CR LF.
Żądania mają sumę kontrolną na końcu; dla panelu rodzaju 3 na przykład:
)";
    const std::pair<const char*, std::string> examples[] = {
        {"identyfikacja", request("020A00")},
        {"informacje o panelu", request("050100")},
        {"linie stanu włączone", request("023000", "0051")},
        {"linie stanu wyłączone", request("023000", "0000")},
        {"odczyt parametru 132 (wartość zadana 1)", request("028600", "0084")},
        {"zapis 6:30 do parametru 138: bajt 0", request("028700", "008A0000")},
        {"                           i bajt 1", request("028700", "008A0127")},
    };
    for (const auto& [what, line] : examples) {
        text += "  " + line + std::string(18 - std::min<std::size_t>(line.size(), 16), ' ') + what +
                "\n";
    }
    return text;
}

}  // namespace tk358::sim
