// The program ended by a signal writes its settings as when its window closes.

#include <signal.h>

#include <QFile>
#include <QProcess>
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

}  // namespace

class AppProcessTest : public QObject {
    Q_OBJECT

private slots:
    void signalEndsTheProgramWithItsSettingsSaved_data();
    void signalEndsTheProgramWithItsSettingsSaved();
};

void AppProcessTest::signalEndsTheProgramWithItsSettingsSaved_data() {
    QTest::addColumn<int>("signo");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
}

void AppProcessTest::signalEndsTheProgramWithItsSettingsSaved() {
    QFETCH(int, signo);
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("tk358.ini"));
    {
        QFile file(settings);
        QVERIFY(file.open(QIODevice::WriteOnly));
        // No port: the program runs without a link. The rectangle lies past
        // the right edge of the screen, so saving moves it.
        file.write(
            "[GENERAL]\r\nPORT_NR=0\r\nWINDOW_LEFT=700\r\nWINDOW_RIGHT=1500\r\n"
            "TOPMOST=1\r\n");
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
    // Offscreen screens are 800 pixels wide.
    QVERIFY2(saved.contains("WINDOW_RIGHT=800"), saved.constData());
}

QTEST_GUILESS_MAIN(AppProcessTest)
#include "app_process_test.moc"
