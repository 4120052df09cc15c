#include "app/command_line.h"

#include <QCommandLineParser>

namespace tk358 {

std::optional<CommandLine> ParseCommandLine(const QStringList& arguments, QString* error) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Serwis i monitorowanie paneli sterowników TK-358."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption demo(
        QStringLiteral("demo"),
        QStringLiteral("Uruchamia w programie symulowany panel rodzaju RODZAJ i łączy się z nim: "
                       "0 sterownik temperatury, 1 sterownik zaworu zrzutowego, 2 TK-358W, "
                       "3 TK-358D (domyślnie), 4 TK-358C. Zapisany numer portu się nie "
                       "zmienia."));
    parser.addOption(demo);
    parser.addPositionalArgument(QStringLiteral("rodzaj"),
                                 QStringLiteral("Rodzaj symulowanego panelu (z --demo)."),
                                 QStringLiteral("[RODZAJ]"));
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(help)) {
        parser.showHelp(0);  // ends the process
    }
    if (parser.isSet(version)) {
        parser.showVersion();  // ends the process
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
