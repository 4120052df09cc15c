// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTemporaryDir>
#include <QtTest>
#include <clocale>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/command_line.h"
#include "app/settings_keeper.h"
#include "log/locale_format.h"

namespace tk358 {
namespace {

std::string ReadFile(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

class AppStartTest : public QObject {
    Q_OBJECT

private slots:
    void commandLine_data();
    void commandLine();
    void numbersKeepThePointUnderAUserLocale();
    void freshSettingsFileGetsEverySection();
    void storedValuesAreKeptAndNamesMatchWithoutCase();
    void unopenableSettingsGiveBuiltInValuesAndWriteNothing();
};

void AppStartTest::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("demo");
    QTest::addColumn<int>("kind");
    QTest::newRow("plain") << QStringList{"tk358"} << true << false << 3;
    QTest::newRow("demo") << QStringList{"tk358", "--demo"} << true << true << 3;
    QTest::newRow("demo 0") << QStringList{"tk358", "--demo", "0"} << true << true << 0;
    QTest::newRow("demo 4 first") << QStringList{"tk358", "4", "--demo"} << true << true << 4;
    QTest::newRow("kind 5") << QStringList{"tk358", "--demo", "5"} << false << false << 0;
    QTest::newRow("kind -1") << QStringList{"tk358", "--demo", "-1"} << false << false << 0;
    QTest::newRow("kind text") << QStringList{"tk358", "--demo", "D"} << false << false << 0;
    QTest::newRow("kind alone") << QStringList{"tk358", "2"} << false << false << 0;
    QTest::newRow("two kinds") << QStringList{"tk358", "--demo", "1", "2"} << false << false << 0;
    // The parameter commands: a port, one file, --yes only with --restore.
    QTest::newRow("backup") << QStringList{"tk358", "--backup", "COM5", "a.tk358par"} << true
                            << false << 3;
    QTest::newRow("restore yes") << QStringList{"tk358", "--restore", "com5", "a.tk358par", "--yes"}
                                 << true << false << 3;
    QTest::newRow("no file") << QStringList{"tk358", "--compare", "COM5"} << false << false << 0;
    QTest::newRow("bad port") << QStringList{"tk358", "--compare", "X5", "a"} << false << false
                              << 0;
    QTest::newRow("yes to backup")
        << QStringList{"tk358", "--backup", "5", "a", "--yes"} << false << false << 0;
    QTest::newRow("two commands") << QStringList{"tk358", "--backup", "5", "--compare", "6", "a"}
                                  << false << false << 0;
    QTest::newRow("with demo") << QStringList{"tk358", "--demo", "--backup", "5", "a"} << false
                               << false << 0;
}

void AppStartTest::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, accepted);
    QFETCH(bool, demo);
    QFETCH(int, kind);
    QString error;
    const std::optional<CommandLine> line = ParseCommandLine(arguments, &error);
    QCOMPARE(line.has_value(), accepted);
    if (line) {
        QCOMPARE(line->demo, demo);
        QCOMPARE(line->demoKind, kind);
    } else {
        QVERIFY(!error.isEmpty());
    }
}

void AppStartTest::numbersKeepThePointUnderAUserLocale() {
    // What Qt does at start: every category from the environment.
    if (std::setlocale(LC_ALL, "pl_PL.UTF-8") == nullptr) {
        QSKIP("pl_PL.UTF-8 is not installed");
    }
    qputenv("LC_ALL", "pl_PL.UTF-8");
    SetUpProcessLocale();
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", 21.5);
    QCOMPARE(QString(text), QStringLiteral("21.5"));
    QCOMPARE(QString(std::setlocale(LC_TIME, nullptr)), QStringLiteral("pl_PL.UTF-8"));
    std::setlocale(LC_ALL, "C");
    qunsetenv("LC_ALL");
}

void AppStartTest::freshSettingsFileGetsEverySection() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tk358.ini"));
    {
        SettingsKeeper keeper(path.toStdString());
        QCOMPARE(keeper.Load(), AppSettings::FileDefaults());
        keeper.Save(keeper.Load(), 1280, 1024);
    }
    const std::string text = ReadFile(path);
    std::size_t at = 0;
    for (const char* section :
         {"[INPUT_TEMP]", "[INPUT_SP]", "[INPUT_SP2]", "[GENERAL]", "[LOG]"}) {
        const std::size_t found = text.find(section, at);
        QVERIFY2(found != std::string::npos, section);
        at = found;
    }
    QVERIFY(text.find("WINDOW_RIGHT=790\r\nTOPMOST=0\r\nSHOW_SERVICE=0") != std::string::npos);
}

void AppStartTest::storedValuesAreKeptAndNamesMatchWithoutCase() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tk358.ini"));
    {
        std::ofstream out(path.toStdString(), std::ios::binary);
        out << "[general]\r\nport_nr=7\r\nWINDOW_LEFT=1200\r\nWINDOW_RIGHT=1500\r\n"
               "[INPUT_SP2]\r\nFONT_HEIGHT_INPUT=-30\r\n";
    }
    AppSettings loaded;
    {
        SettingsKeeper keeper(path.toStdString());
        loaded = keeper.Load();
        QCOMPARE(loaded.portNr, 7);
        QCOMPARE(loaded.displays[kSetpoint2Display].fontHeight, -30);
        QCOMPARE(loaded.displays[kSetpointDisplay].fontHeight, -64);
        keeper.Save(loaded, 1280, 1024);
    }
    SettingsKeeper again(path.toStdString());
    const AppSettings saved = again.Load();
    QCOMPARE(saved.portNr, 7);
    // Pulled back onto a 1280 pixels wide screen.
    QCOMPARE(saved.window.right, 1280);
    QCOMPARE(saved.window.left, 980);
    QVERIFY(ReadFile(path).starts_with("[general]\r\nport_nr=7\r\n"));
}

void AppStartTest::unopenableSettingsGiveBuiltInValuesAndWriteNothing() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/tk358.ini"));
    SettingsKeeper keeper(path.toStdString());
    QCOMPARE(keeper.Load(), AppSettings::BuiltIn());
    keeper.Save(AppSettings::FileDefaults(), 1280, 1024);
    QVERIFY(!QFileInfo::exists(path));
}

}  // namespace tk358

QTEST_GUILESS_MAIN(tk358::AppStartTest)
#include "app_start_test.moc"
