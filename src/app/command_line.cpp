// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <QCommandLineParser>
#include <array>
#include <string_view>

#include "tk358_version.h"
#include "trend/trend_history.h"

namespace tk358 {

namespace {

// An unknown option as the operator typed it.
QString OptionAsTyped(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// The options QGuiApplication and its platform plugins read (with one dash or
// two) and whether each takes a value. A session manager restarts the
// program with -session, and -platform offscreen serves scripts.
struct QtOption {
    std::string_view name;
    bool value;
};
constexpr std::array kQtOptions{
    QtOption{"platform", true},      QtOption{"platformpluginpath", true},
    QtOption{"platformtheme", true}, QtOption{"plugin", true},
    QtOption{"qmljsdebugger", true}, QtOption{"qwindowgeometry", true},
    QtOption{"qwindowicon", true},   QtOption{"qwindowtitle", true},
    QtOption{"session", true},       QtOption{"display", true},
    QtOption{"name", true},          QtOption{"geometry", true},
    QtOption{"title", true},         QtOption{"style", true},
    QtOption{"stylesheet", true},    QtOption{"reverse", false},
    QtOption{"widgetcount", false},  QtOption{"nograb", false},
    QtOption{"dograb", false},       QtOption{"sync", false},
};

const QtOption* FindQtOption(std::string_view arg) {
    if (arg.size() < 2 || arg[0] != '-') {
        return nullptr;
    }
    arg.remove_prefix(arg[1] == '-' ? 2 : 1);
    for (const QtOption& option : kQtOptions) {
        if (option.name == arg) {
            return &option;
        }
    }
    return nullptr;
}

struct BackupOptions {
    QCommandLineOption backup{QStringLiteral("backup"),
                              QStringLiteral("Zapisuje parametry panelu na porcie COMn do pliku "
                                             "PLIK."),
                              QStringLiteral("COMn")};
    QCommandLineOption compare{QStringLiteral("compare"),
                               QStringLiteral("Porównuje parametry panelu na porcie COMn z "
                                              "plikiem PLIK."),
                               QStringLiteral("COMn")};
    QCommandLineOption restore{QStringLiteral("restore"),
                               QStringLiteral("Zapisuje w panelu na porcie COMn wartości z pliku "
                                              "PLIK, które się różnią."),
                               QStringLiteral("COMn")};
    QCommandLineOption yes{QStringLiteral("yes"),
                           QStringLiteral("Z --restore: zapisuje bez pytania (dla skryptów).")};
};

// --backup, --compare or --restore with its port and file.
bool ReadBackupCommand(const QCommandLineParser& parser, const BackupOptions& o, CommandLine& line,
                       QString* error) {
    int count = 0;
    for (const auto& [option, action] : {std::pair{&o.backup, BackupAction::kBackup},
                                         std::pair{&o.compare, BackupAction::kCompare},
                                         std::pair{&o.restore, BackupAction::kRestore}}) {
        if (parser.isSet(*option)) {
            ++count;
            BackupCommand command;
            command.action = action;
            const QString port = parser.value(*option);
            command.port = ParsePortName(port.toStdString());
            if (command.port <= 0) {
                *error = QStringLiteral("Błędna nazwa portu: %1 (oczekiwano COMn)").arg(port);
                return false;
            }
            line.backup = command;
        }
    }
    if (count > 1 || (count == 1 && line.demo)) {
        *error = QStringLiteral("Opcje --backup, --compare, --restore i --demo wykluczają się");
        return false;
    }
    if (parser.isSet(o.yes) && (!line.backup || line.backup->action != BackupAction::kRestore)) {
        *error = QStringLiteral("Opcja --yes dotyczy tylko --restore");
        return false;
    }
    const QStringList rest = parser.positionalArguments();
    if (line.backup) {
        if (rest.size() != 1) {
            *error = QStringLiteral("Należy podać jeden plik parametrów");
            return false;
        }
        line.backup->file = rest[0].toStdString();
        line.backup->yes = parser.isSet(o.yes);
    }
    return true;
}

struct HistoryOptions {
    QCommandLineOption chart{QStringLiteral("chart")};
    QCommandLineOption plot{QStringLiteral("plot")};
    QCommandLineOption output{QStringList{"o", "output"}, QString(), QStringLiteral("OBRAZ")};
    QCommandLineOption from{QStringLiteral("from"), QString(), QStringLiteral("CZAS")};
    QCommandLineOption to{QStringLiteral("to"), QString(), QStringLiteral("CZAS")};
    QCommandLineOption size{QStringLiteral("size"), QString(), QStringLiteral("SZERxWYS")};
};

bool ReadTime(const QString& text, std::optional<int64_t>& out, QString* error) {
    out = ParseLocalTimeArgument(text.toStdString());
    if (!out) {
        *error = QStringLiteral("Błędny czas: %1 (oczekiwano np. 2026-12-08 06:00)").arg(text);
    }
    return out.has_value();
}

// --plot's output, range and size.
bool ReadPlotCommand(const QCommandLineParser& parser, const HistoryOptions& o, PlotCommand& plot,
                     QString* error) {
    plot.output = parser.value(o.output);
    if (!plot.output.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) &&
        !plot.output.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        *error = QStringLiteral("Należy podać plik obrazu .png lub .svg: -o OBRAZ");
        return false;
    }
    if ((parser.isSet(o.from) && !ReadTime(parser.value(o.from), plot.from, error)) ||
        (parser.isSet(o.to) && !ReadTime(parser.value(o.to), plot.to, error))) {
        return false;
    }
    if (plot.from && plot.to && *plot.from >= *plot.to) {
        *error = QStringLiteral("Czas --from musi być wcześniejszy niż --to");
        return false;
    }
    if (parser.isSet(o.size)) {
        const std::optional<QSize> size = ParsePlotSize(parser.value(o.size));
        if (!size) {
            *error = QStringLiteral("Błędny rozmiar: %1 (oczekiwano np. 1200x600)")
                         .arg(parser.value(o.size));
            return false;
        }
        plot.size = *size;
    }
    return true;
}

// A parameter command, --plot or --chart: the positional arguments are its.
bool HasCommand(const CommandLine& line) {
    return line.backup || line.plot || !line.chartFiles.isEmpty();
}

// What is wrong with the combination of --chart or --plot and the other
// options; empty when nothing is.
QString HistoryMistake(const QCommandLineParser& parser, const HistoryOptions& o,
                       const CommandLine& line) {
    const bool chart = parser.isSet(o.chart);
    const bool plot = parser.isSet(o.plot);
    const int commands = int{chart} + int{plot} + int{line.backup.has_value()};
    if ((commands > 1 && (chart || plot)) || (plot && line.demo)) {
        return QStringLiteral(
            "Opcje --chart, --plot i --backup, --compare, --restore "
            "wykluczają się; --plot nie działa z --demo");
    }
    int plotOnly = 0;
    for (const QCommandLineOption* option : {&o.output, &o.from, &o.to, &o.size}) {
        plotOnly += parser.isSet(*option) ? 1 : 0;
    }
    if (!plot && plotOnly > 0) {
        return QStringLiteral("Opcje -o, --from, --to i --size dotyczą tylko --plot");
    }
    if ((chart || plot) && parser.positionalArguments().isEmpty()) {
        return QStringLiteral("Należy podać co najmniej jeden plik rejestracji");
    }
    return QString();
}

// --chart or --plot with their files.
bool ReadHistoryCommand(const QCommandLineParser& parser, const HistoryOptions& o,
                        CommandLine& line, QString* error) {
    *error = HistoryMistake(parser, o, line);
    if (!error->isEmpty()) {
        return false;
    }
    const bool chart = parser.isSet(o.chart);
    const bool plot = parser.isSet(o.plot);
    if (chart) {
        line.chartFiles = parser.positionalArguments();
    }
    if (plot) {
        PlotCommand command;
        command.files = parser.positionalArguments();
        if (!ReadPlotCommand(parser, o, command, error)) {
            return false;
        }
        line.plot = command;
    }
    return true;
}

// The parser's own words are English. Besides an unknown option it refuses a
// missing value (--backup and its kin, -o and the times of --plot) or a value
// given to an option that takes none.
QString ParserMistake(const QCommandLineParser& parser, const QStringList& arguments) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        return QStringLiteral("Nieznana opcja: %1").arg(OptionAsTyped(unknown.first()));
    }
    const QString typed = arguments.mid(1).join(QLatin1Char(' '));
    if (!parser.errorText().startsWith(QLatin1String("Missing value"))) {
        return QStringLiteral("Opcja nie przyjmuje wartości: %1").arg(typed);
    }
    return (IsPlotCommand(arguments) ? QStringLiteral("Brak wartości po opcji: %1")
                                     : QStringLiteral("Brak nazwy portu (COMn) po opcji: %1"))
        .arg(typed);
}

// The window's only argument: the simulated panel's kind after --demo.
bool ReadDemoKind(const QStringList& rest, CommandLine& line, QString* error) {
    if (rest.size() > 1 || (!rest.isEmpty() && !line.demo)) {
        *error = QStringLiteral("Nieoczekiwany argument: %1").arg(rest.last());
        return false;
    }
    if (!rest.isEmpty()) {
        bool ok = false;
        line.demoKind = rest[0].toInt(&ok);
        if (!ok || line.demoKind < 0 || line.demoKind > 4) {
            *error = QStringLiteral("Rodzaj panelu musi być liczbą od 0 do 4: %1").arg(rest[0]);
            return false;
        }
    }
    return true;
}

}  // namespace

QString CommandLineHelpText() {
    // Written out here rather than by QCommandLineParser, whose own words are
    // English: the whole text is Polish like the rest of the program.
    return QStringLiteral(
        "Użycie: tk358 [--demo [RODZAJ]]\n"
        "        tk358 --backup|--compare|--restore COMn PLIK [--yes]\n"
        "        tk358 [--demo] --chart PLIK...\n"
        "        tk358 --plot PLIK... -o OBRAZ [--from CZAS] [--to CZAS]\n"
        "                     [--size SZERxWYS]\n"
        "Serwis i monitorowanie paneli sterowników TK-358.\n"
        "\n"
        "Opcje:\n"
        "  --demo [RODZAJ]  uruchamia w programie symulowany panel rodzaju RODZAJ\n"
        "                   i łączy się z nim: 0 sterownik temperatury, 1 sterownik\n"
        "                   zaworu zrzutowego, 2 TK-358W, 3 TK-358D (domyślnie),\n"
        "                   4 TK-358C; zapisany numer portu się nie zmienia\n"
        "  -h, --help       wyświetla ten opis i kończy pracę\n"
        "  -v, --version    wyświetla wersję programu i kończy pracę\n"
        "\n"
        "Kopia parametrów panelu bez okna programu (plik *.tk358par):\n"
        "  --backup COMn PLIK   zapisuje parametry panelu do pliku\n"
        "  --compare COMn PLIK  wypisuje różnice między panelem a plikiem\n"
        "  --restore COMn PLIK  wypisuje różnice, pyta o zgodę (y/N) i zapisuje\n"
        "                       w panelu wartości z pliku\n"
        "  --yes                z --restore: zapisuje bez pytania (dla skryptów)\n"
        "\n"
        "Kody wyjścia tych poleceń:\n"
        "  0  wykonane; panel ma wszystkie wartości z pliku\n"
        "  1  panel ma inne wartości niż plik (--compare) lub nie wszystkie\n"
        "     wartości udało się zapisać (--restore)\n"
        "  2  błędne wywołanie\n"
        "  3  nie można otworzyć portu\n"
        "  4  panel nie odpowiada lub przestał odpowiadać\n"
        "  5  plik nieczytelny lub uszkodzony (błędny klucz lub wartość)\n"
        "  6  plik dotyczy panelu innego rodzaju\n"
        "  7  nie można zapisać pliku (--backup)\n"
        "  8  zapis nie został potwierdzony (--restore)\n"
        "\n"
        "Pliki rejestracji pomiarów (zapisane przez tk358 lub tk358d):\n"
        "  --chart PLIK...  otwiera pliki w oknie „Wykres” jako jeden przebieg\n"
        "  --plot PLIK...   rysuje wykres z plików do pliku obrazu, bez ekranu\n"
        "  -o OBRAZ         plik obrazu: *.png albo *.svg\n"
        "  --from CZAS      początek wykresu, czas lokalny, np. 2026-12-08 06:00\n"
        "                   lub 2026-12-08T06:00:00 (domyślnie początek plików)\n"
        "  --to CZAS        koniec wykresu (domyślnie koniec plików)\n"
        "  --size SZERxWYS  rozmiar obrazu w pikselach (domyślnie 1200x600)\n"
        "\n"
        "Kody wyjścia --plot:\n"
        "  0  obraz zapisany (pominięte wiersze wypisuje na stderr)\n"
        "  2  błędne wywołanie\n"
        "  5  w podanych plikach nie ma ani jednego odczytu\n"
        "  7  nie można zapisać pliku obrazu\n"
        "\n"
        "Ustawienia są w pliku tk358.ini (zobacz pomoc programu, menu „Pomoc”).\n");
}

QString CommandLineVersionText() {
    return QStringLiteral("tk358 %1\nLicencja: %2\n")
        .arg(QLatin1String(TK358_VERSION), QLatin1String(TK358_LICENSE));
}

bool IsPlotCommand(const QStringList& arguments) {
    return arguments.contains(QStringLiteral("--plot"));
}

ProgramArguments SeparateQtOptions(int argc, const char* const* argv) {
    ProgramArguments result;
    for (int i = 0; i < argc; ++i) {
        const QtOption* qt = i > 0 ? FindQtOption(argv[i]) : nullptr;
        if (qt == nullptr) {
            result.arguments << QString::fromLocal8Bit(argv[i]);
            continue;
        }
        if (!qt->value || i + 1 >= argc) {
            continue;
        }
        const QString value = QString::fromLocal8Bit(argv[++i]);
        if (qt->name == "platform") {
            result.platform = value;
        } else if (qt->name == "display") {
            result.display = value;
        }
    }
    return result;
}

std::optional<CommandLine> ParseCommandLine(const QStringList& arguments, QString* error) {
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{"h", "help", "?"});
    const QCommandLineOption version(QStringList{"v", "version"});
    const QCommandLineOption demo(QStringLiteral("demo"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(demo);
    const BackupOptions backup;
    parser.addOptions({backup.backup, backup.compare, backup.restore, backup.yes});
    const HistoryOptions history;
    parser.addOptions(
        {history.chart, history.plot, history.output, history.from, history.to, history.size});
    if (!parser.parse(arguments)) {
        *error = ParserMistake(parser, arguments);
        return std::nullopt;
    }
    CommandLine line;
    if (parser.isSet(help) || parser.isSet(version)) {
        line.command = parser.isSet(help) ? Command::kHelp : Command::kVersion;
        return line;
    }
    line.demo = parser.isSet(demo);
    if (!ReadBackupCommand(parser, backup, line, error)) {
        return std::nullopt;
    }
    if (!ReadHistoryCommand(parser, history, line, error)) {
        return std::nullopt;
    }
    if (HasCommand(line)) {
        if (line.backup) {
            line.command = Command::kBackup;
        } else if (line.plot) {
            line.command = Command::kPlot;
        }
        return line;
    }
    if (!ReadDemoKind(parser.positionalArguments(), line, error)) {
        return std::nullopt;
    }
    return line;
}

}  // namespace tk358
