#include "app/command_line.h"

#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>

#include "tk358_version.h"

namespace tk358 {

namespace {

// An unknown option as the operator typed it.
QString OptionAsTyped(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

void PrintAndExit(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
    std::fflush(stdout);
    std::exit(0);
}

}  // namespace

QString CommandLineHelpText() {
    // Written out here rather than by QCommandLineParser, whose own words are
    // English: the whole text is Polish like the rest of the program.
    return QStringLiteral(
        "Użycie: tk358 [--demo [RODZAJ]]\n"
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
        "Ustawienia są w pliku tk358.ini (zobacz pomoc programu, menu „Pomoc”).\n");
}

QString CommandLineVersionText() {
    return QStringLiteral("tk358 %1\n").arg(QLatin1String(TK358_VERSION));
}

std::optional<CommandLine> ParseCommandLine(const QStringList& arguments, QString* error) {
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{"h", "help", "?"});
    const QCommandLineOption version(QStringList{"v", "version"});
    const QCommandLineOption demo(QStringLiteral("demo"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(demo);
    if (!parser.parse(arguments)) {
        // The parser's own words are English; the options take no values, so
        // anything else it refuses is a value given to one.
        const QStringList unknown = parser.unknownOptionNames();
        *error = unknown.isEmpty()
                     ? QStringLiteral("Opcje nie przyjmują wartości: %1")
                           .arg(arguments.mid(1).join(QLatin1Char(' ')))
                     : QStringLiteral("Nieznana opcja: %1").arg(OptionAsTyped(unknown.first()));
        return std::nullopt;
    }
    if (parser.isSet(help)) {
        PrintAndExit(CommandLineHelpText());
    }
    if (parser.isSet(version)) {
        PrintAndExit(CommandLineVersionText());
    }

    CommandLine line;
    line.demo = parser.isSet(demo);
    const QStringList rest = parser.positionalArguments();
    if (rest.size() > 1 || (!rest.isEmpty() && !line.demo)) {
        *error = QStringLiteral("Nieoczekiwany argument: %1").arg(rest.last());
        return std::nullopt;
    }
    if (!rest.isEmpty()) {
        bool ok = false;
        line.demoKind = rest[0].toInt(&ok);
        if (!ok || line.demoKind < 0 || line.demoKind > 4) {
            *error = QStringLiteral("Rodzaj panelu musi być liczbą od 0 do 4: %1").arg(rest[0]);
            return std::nullopt;
        }
    }
    return line;
}

}  // namespace tk358
