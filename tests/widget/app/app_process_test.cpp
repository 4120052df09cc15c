// SPDX-License-Identifier: GPL-3.0-or-later
// The program ended by a signal writes its settings as when its window closes.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// True once the process has a handler for `signo` (its SigCgt mask in /proc).
bool Catches(qint64 pid, int signo) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) {
        return false;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:")) {
            const qulonglong mask = line.mid(7).trimmed().toULongLong(nullptr, 16);
            return (mask >> (signo - 1)) & 1u;
        }
    }
    return false;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A TCP server on loopback that accepts every connection and hangs up at once.
class HangingUpServer {
public:
    HangingUpServer() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
            ::listen(fd_, 4) == 0 &&
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
            port_ = ntohs(address.sin_port);
        }
        QObject::connect(&notifier_, &QSocketNotifier::activated, [this] {
            const int connection = ::accept(fd_, nullptr, nullptr);
            if (connection >= 0) {
                ::close(connection);
            }
        });
    }
    ~HangingUpServer() { ::close(fd_); }
    int Port() const { return port_; }

private:
    int fd_;
    int port_ = 0;
    QSocketNotifier notifier_{static_cast<qintptr>(fd_), QSocketNotifier::Read};
};

}  // namespace

class AppProcessTest : public QObject {
    Q_OBJECT

private slots:
    void signalEndsTheProgramWithItsSettingsSaved_data();
    void signalEndsTheProgramWithItsSettingsSaved();
    void settingsThatCannotBeSavedAreReportedOnce();
    void informationOptionsNeedNoDisplay_data();
    void informationOptionsNeedNoDisplay();
    void commandLineTextsArePolish_data();
    void commandLineTextsArePolish();
    void parameterCommandsNeedNoDisplay_data();
    void parameterCommandsNeedNoDisplay();
    void everyAnswerWithoutADisplay_data();
    void everyAnswerWithoutADisplay();
};

void AppProcessTest::signalEndsTheProgramWithItsSettingsSaved_data() {
    QTest::addColumn<int>("signo");
    QTest::addColumn<int>("port");
    QTest::newRow("SIGTERM") << SIGTERM << 0;
    QTest::newRow("SIGINT") << SIGINT << 0;
    // A port that does not open: the signal comes while its message is shown.
    QTest::newRow("SIGTERM, message up") << SIGTERM << 200;
}

void AppProcessTest::signalEndsTheProgramWithItsSettingsSaved() {
    QFETCH(int, signo);
    QFETCH(int, port);
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("tk358.ini"));
    {
        QFile file(settings);
        QVERIFY(file.open(QIODevice::WriteOnly));
        // No port, or one that does not open (COM200 is neither in the empty
        // port directory nor in the table). The rectangle lies past the right
        // edge of the screen, so saving moves it.
        file.write(QStringLiteral("[GENERAL]\r\nPORT_NR=%1\r\nWINDOW_LEFT=700\r\n"
                                  "WINDOW_RIGHT=1500\r\nTOPMOST=1\r\n")
                       .arg(port)
                       .toUtf8());
    }
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TK358_SETTINGS_FILE"), settings);
    env.insert(QStringLiteral("TK358_PORT_DIR"), dir.filePath(QStringLiteral("ports")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(TK358_EXECUTABLE), QStringList{});
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(Catches(program.processId(), signo), 20000);

    ::kill(static_cast<pid_t>(program.processId()), signo);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);

    const QByteArray saved = ReadAll(settings);
    for (const char* section : {"[INPUT_TEMP]", "[INPUT_SP]", "[INPUT_SP2]", "[LOG]"}) {
        QVERIFY2(saved.contains(section), section);
    }
    QVERIFY2(saved.contains("TOPMOST=1"), saved.constData());
    QVERIFY2(saved.contains(QStringLiteral("PORT_NR=%1").arg(port).toUtf8()), saved.constData());
    // Offscreen screens are 800 pixels wide.
    QVERIFY2(saved.contains("WINDOW_RIGHT=800"), saved.constData());
}

// The settings file's folder vanishes while the program runs: the changes
// cannot be kept, and one line says so when the program ends.
void AppProcessTest::settingsThatCannotBeSavedAreReportedOnce() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("conf")));
    const QString settings = dir.filePath(QStringLiteral("conf/tk358.ini"));
    {
        QFile file(settings);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[GENERAL]\r\nPORT_NR=0\r\n");
    }
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TK358_SETTINGS_FILE"), settings);
    env.insert(QStringLiteral("TK358_PORT_DIR"), dir.filePath(QStringLiteral("ports")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(TK358_EXECUTABLE), QStringList{});
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(Catches(program.processId(), SIGTERM), 20000);
    QVERIFY(QDir(dir.filePath(QStringLiteral("conf"))).removeRecursively());

    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitCode(), 0);
    const QByteArray expected = "tk358: ustawienia nie zostały zapisane: nie można zapisać pliku " +
                                settings.toUtf8() + " (" + std::strerror(ENOENT) + ")\n";
    const QByteArray errors = program.readAllStandardError();
    QCOMPARE(errors.count(expected), 1);
}

void AppProcessTest::informationOptionsNeedNoDisplay_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("--help") << QStringLiteral("--help") << QByteArray("--demo");
    QTest::newRow("-h") << QStringLiteral("-h") << QByteArray("--demo");
    QTest::newRow("--version") << QStringLiteral("--version")
                               << QByteArray("\nLicencja: GPL-3.0-or-later\n");
}

// A terminal without X: no platform plugin may be needed to print these.
void AppProcessTest::informationOptionsNeedNoDisplay() {
    QFETCH(QString, option);
    QFETCH(QByteArray, expected);
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(TK358_EXECUTABLE), QStringList{option});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY2(program.readAllStandardOutput().contains(expected), qPrintable(option));
}

void AppProcessTest::commandLineTextsArePolish_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("expected");  // on standard output, or error when exitCode != 0
    QTest::newRow("--help") << QStringList{"--help"} << 0 << QByteArray("Użycie: tk358");
    QTest::newRow("-?") << QStringList{"-?"} << 0 << QByteArray("Opcje:");
    QTest::newRow("unknown option")
        << QStringList{"--bogus"} << 2 << QByteArray("Nieznana opcja: --bogus");
    QTest::newRow("value given") << QStringList{"--demo=3"} << 2 << QByteArray("tk358 --help");
    QTest::newRow("kind") << QStringList{"--demo", "9"} << 2 << QByteArray("od 0 do 4");
    QTest::newRow("port missing") << QStringList{"--backup"} << 2
                                  << QByteArray("Brak nazwy portu (COMn) po opcji");
    QTest::newRow("value to --yes")
        << QStringList{"--yes=1"} << 2 << QByteArray("Opcja nie przyjmuje wartości");
}

// No word of Qt's own English help or parser errors reaches the operator.
void AppProcessTest::commandLineTextsArePolish() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, expected);
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(TK358_EXECUTABLE), arguments);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitCode(), exitCode);
    const QByteArray text =
        exitCode == 0 ? program.readAllStandardOutput() : program.readAllStandardError();
    QVERIFY2(text.contains(expected), text.constData());
    for (const char* english : {"Usage", "Options:", "Displays", "Unknown", "Unexpected"}) {
        QVERIFY2(!text.contains(english), text.constData());
    }
}

void AppProcessTest::parameterCommandsNeedNoDisplay_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("missing file") << QStringList{"--compare", "COM250", "missing.tk358par"} << 5
                                  << QByteArray("Nie można odczytać pliku missing.tk358par");
    QTest::newRow("no port") << QStringList{"--backup", "COM250", "a.tk358par"} << 3
                             << QByteArray("Nie można otworzyć portu COM250");
    QTest::newRow("usage") << QStringList{"--restore", "COM250"} << 2
                           << QByteArray("Należy podać jeden plik parametrów");
}

// A shell loop over panels needs no window: these run with no display at all,
// and each failure has its own exit code.
void AppProcessTest::parameterCommandsNeedNoDisplay() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, message);
    QTemporaryDir ports;
    QVERIFY(QFile::setPermissions(
        ports.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("TK358_PORT_DIR"), ports.path());
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(ports.path());
    program.start(QStringLiteral(TK358_EXECUTABLE), arguments);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    const QByteArray errors = program.readAllStandardError();
    QCOMPARE(program.exitCode(), exitCode);
    QVERIFY2(errors.contains(message), errors.constData());
}

void AppProcessTest::everyAnswerWithoutADisplay_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("environment");  // NAME=value; X_PORT: a server that hangs up
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("expected");  // on standard output, or error when exitCode != 0
    const QByteArray unset =
        "nie ustawiono zmiennej DISPLAY ani WAYLAND_DISPLAY; bez ekranu "
        "działają --help, --version, --backup";
    QTest::newRow("--bogus") << QStringList{"--bogus"} << QStringList{} << 2
                             << QByteArray("tk358: Nieznana opcja: --bogus\n");
    QTest::newRow("--help") << QStringList{"--help"} << QStringList{} << 0
                            << QByteArray("Użycie: tk358");
    QTest::newRow("--version") << QStringList{"--version"} << QStringList{} << 0
                               << QByteArray("tk358 1.");
    QTest::newRow("Qt's own option") << QStringList{"-platform", "xcb", "--version"}
                                     << QStringList{} << 0 << QByteArray("tk358 1.");
    QTest::newRow("no port name") << QStringList{"--backup"} << QStringList{} << 2
                                  << QByteArray("Brak nazwy portu (COMn)");
    QTest::newRow("port absent") << QStringList{"--backup", "COM250", "a.tk358par"} << QStringList{}
                                 << 3 << QByteArray("Nie można otworzyć portu COM250");
    QTest::newRow("plain start") << QStringList{} << QStringList{} << 1
                                 << "tk358: okno programu wymaga sesji graficznej, a " + unset;
    QTest::newRow("demo") << QStringList{"--demo", "4"} << QStringList{} << 1 << unset;
    QTest::newRow("X display gone")
        << QStringList{} << QStringList{"DISPLAY=:4999"} << 1
        << QByteArray("nie można połączyć się z ekranem DISPLAY=:4999; bez ekranu");
    QTest::newRow("Wayland gone") << QStringList{}
                                  << QStringList{"WAYLAND_DISPLAY=/nonexistent/wayland-7"} << 1
                                  << QByteArray(
                                         "z ekranem WAYLAND_DISPLAY=/nonexistent/wayland-7;");
    QTest::newRow("X server hangs up")
        << QStringList{} << QStringList{"DISPLAY=X_PORT"} << 1
        << QByteArray("nie można połączyć się z ekranem DISPLAY=127.0.0.1:");
    QTest::newRow("-platform xcb")
        << QStringList{"-platform", "xcb"} << QStringList{"WAYLAND_DISPLAY=wayland-0"} << 1
        << QByteArray("a nie ustawiono zmiennej DISPLAY; bez ekranu");
}

// Over ssh on a plant box: every answer comes without a Qt word, a plugin
// message or a signal, and a window that cannot be shown says why in Polish.
void AppProcessTest::everyAnswerWithoutADisplay() {
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, environment);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(
        dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    // An X server that accepts the connection and hangs up at once: past the
    // probe, refused by the platform plugin itself.
    const HangingUpServer hangsUp;
    QVERIFY(hangsUp.Port() > 6000);
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"}) {
        env.remove(QString::fromLatin1(name));
    }
    env.insert(QStringLiteral("TK358_PORT_DIR"), dir.path());
    env.insert(QStringLiteral("TK358_SETTINGS_FILE"), dir.filePath(QStringLiteral("tk358.ini")));
    const QString display = QStringLiteral("127.0.0.1:%1").arg(hangsUp.Port() - 6000);
    for (const QString& variable : environment) {
        const QStringList pair = variable.split(u'=');
        env.insert(pair[0], QString(pair[1]).replace(QStringLiteral("X_PORT"), display));
    }
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(dir.path());
    program.start(QStringLiteral(TK358_EXECUTABLE), arguments);
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(program.state() == QProcess::NotRunning, 20000);

    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    const QByteArray out = program.readAllStandardOutput();
    const QByteArray errors = program.readAllStandardError();
    QCOMPARE(program.exitCode(), exitCode);
    QVERIFY2((exitCode == 0 ? out : errors).contains(expected), (out + errors).constData());
    for (const char* qtWord : {"Qt", "plugin", "qt.qpa"}) {
        QVERIFY2(!(out + errors).contains(qtWord), (out + errors).constData());
    }
    if (exitCode == 1) {
        QCOMPARE(errors.count('\n'), 1);  // one line
    }
}

QTEST_GUILESS_MAIN(AppProcessTest)
#include "app_process_test.moc"
