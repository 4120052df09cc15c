// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement log written by the running program against its simulated
// panel: a file that a spreadsheet in a Polish locale reads, and no torn line
// when the program is killed while it logs.

#include <signal.h>

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QStringList kColumns = {QStringLiteral("Data i Godzina"), QStringLiteral("Temperatura °C"),
                              QStringLiteral("Wartość zadana °C"),
                              QStringLiteral("Wartość zadana 2 °C")};

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One CSV record: fields split at `separator` outside double quotes, a doubled
// quote inside quotes standing for one.
QStringList ParseRecord(const QString& line, QChar separator) {
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            field += c;
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == separator && !quoted) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    return fields << field;
}

// The file cut into records at CR LF; false when any line is not ended by
// CR LF (a torn last line or a bare LF).
bool SplitRecords(const QByteArray& bytes, QList<QStringList>* records) {
    if (!bytes.endsWith("\r\n") || bytes.count("\r\n") != bytes.count('\n')) {
        return false;
    }
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast();
    for (const QByteArray& line : lines) {
        records->append(ParseRecord(QString::fromUtf8(line.chopped(1)), ';'));
    }
    return true;
}

bool IsReading(const QString& field) {
    static const QRegularExpression number(QStringLiteral("^-?\\d+,\\d$"));
    return field == QStringLiteral("???") || number.match(field).hasMatch();
}

// tk358 --demo with logging on every second into `logPath`, separator ";"
// and decimal sign ",", under the Polish locale when the system has it.
class LoggingProgram {
public:
    LoggingProgram(const QTemporaryDir& dir, const QString& logPath) {
        const QString settings = dir.filePath(QStringLiteral("tk358.ini"));
        QFile file(settings);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return;
        }
        file.write(QStringLiteral("[LOG]\r\nFILE_NAME=%1\r\nFILE_LOG=1\r\nFILE_SEP_FORMAT=3\r\n"
                                  "FILE_DEC_SEPARATOR=1\r\nFILE_INTERVAL=1\r\n")
                       .arg(logPath)
                       .toUtf8());
        file.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TK358_SETTINGS_FILE"), settings);
        env.insert(QStringLiteral("TK358_PORT_DIR"), dir.filePath(QStringLiteral("ports")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("pl_PL.UTF-8"));
        process_.setProcessEnvironment(env);
        process_.start(QStringLiteral(TK358_EXECUTABLE), {QStringLiteral("--demo")});
    }
    ~LoggingProgram() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(10000);
        }
    }
    LoggingProgram(const LoggingProgram&) = delete;
    LoggingProgram& operator=(const LoggingProgram&) = delete;

    bool Started() { return process_.waitForStarted(); }
    bool End(int signo) {
        ::kill(static_cast<pid_t>(process_.processId()), signo);
        return process_.waitForFinished(20000);
    }
    QProcess& Process() { return process_; }

private:
    QProcess process_;
};

}  // namespace

class LogProcessTest : public QObject {
    Q_OBJECT

private slots:
    void logReadsBackInAPolishSpreadsheet();
    void killedProgramLeavesOnlyWholeLines();
};

void LogProcessTest::logReadsBackInAPolishSpreadsheet() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pomiary.csv"));
    {
        LoggingProgram program(dir, path);
        QVERIFY(program.Started());
        // The file opens six seconds after start, then one line a second.
        QTRY_VERIFY_WITH_TIMEOUT(ReadAll(path).count("\r\n") >= 5, 60000);
        QVERIFY(program.End(SIGTERM));
        QCOMPARE(program.Process().exitCode(), 0);
    }
    QList<QStringList> records;
    const QByteArray bytes = ReadAll(path);
    QVERIFY2(SplitRecords(bytes, &records), bytes.constData());
    QCOMPARE(records.first(), kColumns);
    int measured = 0;
    const QString year = QString::number(QDate::currentDate().year());
    for (const QStringList& record : records.mid(1)) {
        QCOMPARE(record.size(), kColumns.size());
        QVERIFY2(record[0].contains(year), qPrintable(record[0]));
        bool all = true;
        for (const QString& value : record.mid(1)) {
            QVERIFY2(IsReading(value), qPrintable(value));
            all = all && value != QStringLiteral("???");
        }
        measured += all ? 1 : 0;
    }
    // The simulated panel answers well within the six seconds before the
    // first line.
    QVERIFY(measured >= 2);
}

void LogProcessTest::killedProgramLeavesOnlyWholeLines() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pomiary.csv"));
    QByteArray before;
    for (int run = 0; run < 2; ++run) {
        LoggingProgram program(dir, path);
        QVERIFY(program.Started());
        const qsizetype lines = before.count("\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(ReadAll(path).count("\r\n") >= lines + 3, 60000);
        // A different moment within the second in each run.
        QTest::qSleep(150 + 400 * run);
        QVERIFY(program.End(SIGKILL));
        QCOMPARE(program.Process().exitStatus(), QProcess::CrashExit);

        const QByteArray after = ReadAll(path);
        QVERIFY(after.startsWith(before));  // the start-up open appends
        QList<QStringList> records;
        QVERIFY2(SplitRecords(after, &records), after.right(200).constData());
        for (const QStringList& record : records) {
            QCOMPARE(record.size(), kColumns.size());
            if (record != kColumns) {
                for (const QString& value : record.mid(1)) {
                    QVERIFY2(IsReading(value), qPrintable(value));
                }
            }
        }
        QCOMPARE(records.count(kColumns), run + 1);  // a header at each start
        before = after;
    }
}

QTEST_GUILESS_MAIN(LogProcessTest)
#include "log_process_test.moc"
