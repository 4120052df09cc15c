// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement log driven through the main window: the start-up open, the
// setup dialog's flows on real files, the interval timer, and what the
// operator sees when the file cannot be opened or written.

#include "monitor/log_controller.h"
#include "widgets/read_only_field.h"

#include <sys/mount.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <deque>
#include <functional>
#include <memory>

#include "app/dialog_wiring.h"
#include "log/log_file.h"
#include "log/log_messages.h"
#include "monitor/main_window.h"
#include "monitor/window_menu.h"
#include "support/fake_panel.h"
#include "text/text_format.h"
#include "unit/log/scripted_file_ops.h"
#include "widget/dialogs/recording_sink.h"

namespace tk358 {
namespace {

using test::FakePanel;
using test::RecordingSink;
using test::ScriptedFileOps;
using test::WriteStep;

// Separator ";" and decimal ",", every column, a clock that always reads "T";
// the fake panel reads 21.5 °C with the set point at 22.5 °C.
const QByteArray kHeader =
    "Data i Godzina;Temperatura °C;Wartość zadana °C;Wartość zadana 2 °C\r\n";
const QByteArray kLine = "T;21,5;22,5;22,5\r\n";
const QByteArray kOld = "stara linia\r\n";
const char kNote[] = " Rejestracja do pliku co ";

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// True when no other program holds the file for logging: the controller has
// closed it.
bool FileReleased(const QString& path) {
    LogFile probe;
    return probe.Open(path.toStdString()).error != EBUSY;
}

// The timer that writes a line each interval.
const QTimer& IntervalTimer(const LogController& logs) {
    const auto* timer = logs.findChild<QTimer*>(QStringLiteral("logInterval"));
    if (timer == nullptr) {
        qFatal("no timer named logInterval");
    }
    return *timer;
}

// The message boxes on the screen.
QList<QMessageBox*> OpenBoxes() {
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box != nullptr && box->isVisible()) {
            boxes << box;
        }
    }
    return boxes;
}

// Each dialog answer edits the options it is given; nullptr cancels.
using Answer = std::function<void(LogSetup&)>;

Answer LogTo(const QString& path, const QString& comment = {}) {
    return [path, comment](LogSetup& s) {
        s.loggingOn = true;
        s.filePath = path.toStdString();
        s.commentOn = !comment.isEmpty();
        s.commentText = comment.toStdString();
    };
}

struct Harness {
    FakePanel panel;
    RecordingSink sink;
    QTemporaryDir dir;
    std::deque<Answer> answers;
    std::vector<LogSetup> offered;  // what each dialog was opened with
    std::shared_ptr<ScriptedFileOps> ops = std::make_shared<ScriptedFileOps>();
    std::unique_ptr<MainWindow> window;
    LogController* logs = nullptr;

    explicit Harness(const std::function<void(LogSettings&)>& configure = {}) {
        panel.linkStatus = kStatusFailed;  // until the test connects it
        window = std::make_unique<MainWindow>(panel);
        window->SetMessageSink(&sink);
        AppSettings settings = AppSettings::FileDefaults();
        settings.log.sepFormat = 3;
        settings.log.decSeparator = 1;
        if (configure) {
            configure(settings.log);
        }
        window->ApplySettings(settings);
        auto log = std::make_unique<MeasurementLog>(
            LogEnvironment{[] { return std::string("."); }, [] { return std::string("T"); }}, ops);
        logs = new LogController(
            *window,
            [this](QWidget*, const LogSetup& current, MessageSink&) -> std::optional<LogSetup> {
                offered.push_back(current);
                if (answers.empty() || !answers.front()) {
                    if (!answers.empty()) {
                        answers.pop_front();
                    }
                    return std::nullopt;
                }
                LogSetup edited = current;
                answers.front()(edited);
                answers.pop_front();
                return edited;
            },
            std::move(log));
        WireLog(*window, *logs);
        logs->ApplySettings(settings);
        panel.Connect(kTemperatureController);
        window->UpdateReadings();
    }

    QString File(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    // What the log stores of its settings.
    AppSettings Saved() const {
        AppSettings s = AppSettings::FileDefaults();
        logs->StoreSettings(s);
        return s;
    }
    QString Status() {
        window->UpdateReadings();
        return window->findChild<ReadOnlyField*>(QStringLiteral("statusLine"))->text();
    }
    QAction* SetupCommand() const { return window->Menu().Action(MenuCommand::kLogSetup); }
};

}  // namespace

class LogControllerTest : public QObject {
    Q_OBJECT

private slots:
    void startUpOpenAppendsWithoutAsking_data();
    void startUpOpenAppendsWithoutAsking();
    void startUpOpenFailureOffersTheDialog_data();
    void startUpOpenFailureOffersTheDialog();
    void existingFileIsKeptOrEmptiedAsAnswered_data();
    void existingFileIsKeptOrEmptiedAsAnswered();
    void noLineReachesAFileBeforeTheQuestionIsAnswered();
    void changedColumnsGiveANewHeaderWithoutReopening();
    void cancelledDialogSwitchesLoggingOffOnlyWithoutAFile_data();
    void cancelledDialogSwitchesLoggingOffOnlyWithoutAFile();
    void fileThatDoesNotOpenAsksAgain();
    void newIntervalRestartsTheTimerAndTheNote();
    void loggingOffAndTheWindowsEndCloseTheFile();
    void writeFailureIsReportedOnceAndLoggingResumes();
    void fullDiskIsReportedOnceAndLoggingResumes();
    void loggingGoesOnWhileTheFailureBoxIsOpen_data();
    void loggingGoesOnWhileTheFailureBoxIsOpen();
    void unsupportedPanelIsNotLogged();
};

void LogControllerTest::startUpOpenAppendsWithoutAsking_data() {
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("interval");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("timerMs");  // 0: not running

    QTest::newRow("existing file")
        << true << true << "log.csv" << 60 << kOld + kHeader + kLine << 60000;
    QTest::newRow("missing file") << false << true << "log.csv" << 7 << kHeader + kLine << 7000;
    // The stored interval is used as the setup dialog would keep it.
    QTest::newRow("interval 0") << false << true << "log.csv" << 0 << kHeader + kLine << 1000;
    QTest::newRow("interval past a day")
        << false << true << "log.csv" << 100000 << kHeader + kLine << 86399000;
    QTest::newRow("logging off") << true << false << "log.csv" << 60 << kOld << 0;
    QTest::newRow("no file name") << false << true << "" << 60 << QByteArray() << 0;
}

void LogControllerTest::startUpOpenAppendsWithoutAsking() {
    QFETCH(bool, existing);
    QFETCH(bool, on);
    QFETCH(QString, name);
    QFETCH(int, interval);
    QFETCH(QByteArray, contents);
    QFETCH(int, timerMs);
    QTemporaryDir dir;
    const QString path = name.isEmpty() ? QString() : dir.filePath(name);
    if (existing) {
        WriteAll(path, kOld);
    }
    Harness h([&](LogSettings& o) {
        o.fileLog = on;
        o.fileName = path.toStdString();
        o.interval = interval;
    });
    QVERIFY(!h.SetupCommand()->isEnabled());

    h.logs->StartUpOpen(h.window.get());

    QVERIFY(h.SetupCommand()->isEnabled());
    QVERIFY2(h.sink.Texts().isEmpty(), qPrintable(h.sink.Texts().join('|')));
    QVERIFY(h.offered.empty());
    if (!path.isEmpty()) {
        QCOMPARE(ReadAll(path), contents);
    }
    QCOMPARE(IntervalTimer(*h.logs).isActive(), timerMs != 0);
    if (timerMs != 0) {
        QCOMPARE(IntervalTimer(*h.logs).interval(), timerMs);
        QVERIFY(h.Status().endsWith(QString::fromStdString(" Rejestracja do pliku co " +
                                                           FormatHms(timerMs / 1000) + ". ")));
    } else {
        QVERIFY(!h.Status().contains(QString::fromUtf8(kNote)));
    }
}

void LogControllerTest::startUpOpenFailureOffersTheDialog_data() {
    QTest::addColumn<bool>("heldElsewhere");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing folder") << false << QString::fromStdString(LogOpenFailureText(ENOENT));
    QTest::newRow("held by another tk358")
        << true
        << QStringLiteral(
               "Wybrany plik rejestracji wyników pomiaru jest niedostępny.\n"
               "Plik jest już zapisywany przez inny program tk358.");
}

void LogControllerTest::startUpOpenFailureOffersTheDialog() {
    QFETCH(bool, heldElsewhere);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = heldElsewhere ? dir.filePath(QStringLiteral("log.csv"))
                                       : dir.filePath(QStringLiteral("brak/log.csv"));
    LogFile other;
    if (heldElsewhere) {
        QVERIFY(other.Open(path.toStdString()).ok());
    }
    Harness h([&](LogSettings& o) {
        o.fileLog = true;
        o.fileName = path.toStdString();
    });
    h.answers.push_back(nullptr);  // the operator cancels the dialog

    h.logs->StartUpOpen(h.window.get());

    QCOMPARE(h.sink.boxes.size(), std::size_t{1});
    QCOMPARE(h.sink.boxes[0].icon, MessageIcon::Warning);
    QCOMPARE(h.sink.boxes[0].text, message);
    QCOMPARE(h.offered.size(), std::size_t{1});
    QCOMPARE(h.offered[0].filePath, path.toStdString());
    QVERIFY(h.offered[0].loggingOn);
    // Cancelled without a file: logging is off, and stays off when saved.
    QVERIFY(!h.Saved().log.fileLog);
    QVERIFY(!IntervalTimer(*h.logs).isActive());
    QVERIFY(h.SetupCommand()->isEnabled());
}

void LogControllerTest::existingFileIsKeptOrEmptiedAsAnswered_data() {
    QTest::addColumn<bool>("keep");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QByteArray>("contents");
    const QString comment = QStringLiteral("Próba 1\nkocioł B");
    const QByteArray written = "Próba 1\r\nkocioł B\r\n";
    QTest::newRow("Yes, comment") << true << comment << kOld + "\r\n" + written + kHeader + kLine;
    QTest::newRow("No, comment") << false << comment << written + kHeader + kLine;
    QTest::newRow("Yes, no comment") << true << QString() << kOld + kHeader + kLine;
    QTest::newRow("No, no comment") << false << QString() << kHeader + kLine;
}

void LogControllerTest::existingFileIsKeptOrEmptiedAsAnswered() {
    QFETCH(bool, keep);
    QFETCH(QString, comment);
    QFETCH(QByteArray, contents);
    Harness h;
    const QString path = h.File("log.csv");
    WriteAll(path, kOld);
    h.sink.answer = keep;
    h.answers.push_back(LogTo(path, comment));

    h.logs->RunSetup(h.window.get());

    QCOMPARE(h.sink.Texts(), QStringList{QString::fromUtf8(kLogFileExistsQuestion)});
    QCOMPARE(ReadAll(path), contents);
    QVERIFY(IntervalTimer(*h.logs).isActive());
    const LogSettings saved = h.Saved().log;
    QVERIFY(saved.fileLog);
    QCOMPARE(saved.fileName, path.toStdString());
    QCOMPARE(saved.checkComment, !comment.isEmpty());
}

void LogControllerTest::noLineReachesAFileBeforeTheQuestionIsAnswered() {
    // The operator takes longer than an interval to answer; the timers run
    // meanwhile.
    struct SlowSink final : MessageSink {
        void Show(QWidget*, MessageIcon, const QString&) override {}
        bool Ask(QWidget*, const QString&) override {
            QTest::qWait(2500);
            return true;
        }
    } slow;
    Harness h([](LogSettings& o) { o.interval = 1; });
    h.window->SetMessageSink(&slow);
    const QString first = h.File("first.csv");
    const QString second = h.File("second.csv");
    WriteAll(second, kOld);
    h.answers.push_back(LogTo(first));
    h.answers.push_back(LogTo(second, QStringLiteral("kocioł B")));
    h.logs->RunSetup(h.window.get());
    h.logs->RunSetup(h.window.get());

    QCOMPARE(ReadAll(first), kHeader + kLine);
    QCOMPARE(ReadAll(second), kOld + "\r\nkocioł B\r\n" + kHeader + kLine);
}

void LogControllerTest::changedColumnsGiveANewHeaderWithoutReopening() {
    Harness h;
    const QString path = h.File("log.csv");
    h.answers.push_back(LogTo(path, QStringLiteral("kocioł B")));
    h.answers.push_back([](LogSetup& s) { s.setpointColumn = false; });
    h.logs->RunSetup(h.window.get());
    h.logs->RunSetup(h.window.get());

    QVERIFY(h.sink.boxes.empty());  // the file was not opened again: no question
    QCOMPARE(h.offered[1].commentText, std::string("kocioł B"));
    QCOMPARE(ReadAll(path),
             "kocioł B\r\n" + kHeader + kLine +
                 "Data i Godzina;Temperatura °C;Wartość zadana 2 °C\r\nT;21,5;22,5\r\n");
    QVERIFY(!h.Saved().displays[kSetpointDisplay].log);
}

void LogControllerTest::cancelledDialogSwitchesLoggingOffOnlyWithoutAFile_data() {
    QTest::addColumn<bool>("fileOpen");
    QTest::newRow("no file") << false;
    QTest::newRow("file open") << true;
}

void LogControllerTest::cancelledDialogSwitchesLoggingOffOnlyWithoutAFile() {
    QFETCH(bool, fileOpen);
    Harness h;
    const QString path = h.File("log.csv");
    AppSettings stored = h.Saved();
    stored.log.fileLog = true;  // stored on, but not opened yet
    h.logs->ApplySettings(stored);
    if (fileOpen) {
        h.answers.push_back(LogTo(path));
        h.logs->RunSetup(h.window.get());
    }
    h.answers.push_back(nullptr);
    h.logs->RunSetup(h.window.get());

    QCOMPARE(h.Saved().log.fileLog, fileOpen);
    QCOMPARE(!FileReleased(path), fileOpen);
    QCOMPARE(IntervalTimer(*h.logs).isActive(), fileOpen);
}

void LogControllerTest::fileThatDoesNotOpenAsksAgain() {
    Harness h;
    const QString bad = h.File("brak/log.csv");
    const QString good = h.File("log.csv");
    h.answers.push_back(LogTo(bad));
    h.answers.push_back(LogTo(good));
    h.logs->RunSetup(h.window.get());

    QCOMPARE(h.sink.Texts(), QStringList{QString::fromStdString(LogOpenFailureText(ENOENT))});
    QCOMPARE(h.offered.size(), std::size_t{2});
    QCOMPARE(h.offered[1].filePath, bad.toStdString());  // shown again as chosen
    QCOMPARE(ReadAll(good), kHeader + kLine);
    QVERIFY(IntervalTimer(*h.logs).isActive());
}

void LogControllerTest::newIntervalRestartsTheTimerAndTheNote() {
    Harness h([](LogSettings& o) { o.interval = 3725; });
    const QString path = h.File("log.csv");
    h.answers.push_back(LogTo(path));
    h.logs->RunSetup(h.window.get());
    QVERIFY(h.Status().endsWith(QStringLiteral(" Rejestracja do pliku co 01:02:05. ")));

    h.answers.push_back([](LogSetup& s) { s.interval = 1; });
    h.logs->RunSetup(h.window.get());
    QCOMPARE(IntervalTimer(*h.logs).interval(), 1000);
    QVERIFY(h.Status().endsWith(QStringLiteral(" Rejestracja do pliku co 00:00:01. ")));
    QCOMPARE(ReadAll(path), kHeader + kLine + kLine);  // a line at each start

    // The timer itself writes the lines from here on.
    QTRY_COMPARE_WITH_TIMEOUT(ReadAll(path).count(kLine), 4, 10000);
}

void LogControllerTest::loggingOffAndTheWindowsEndCloseTheFile() {
    Harness h;
    const QString path = h.File("log.csv");
    h.answers.push_back(LogTo(path));
    h.logs->RunSetup(h.window.get());
    QVERIFY(!FileReleased(path));

    h.answers.push_back([](LogSetup& s) { s.loggingOn = false; });
    h.logs->RunSetup(h.window.get());
    QVERIFY(FileReleased(path));
    QVERIFY(!IntervalTimer(*h.logs).isActive());
    QVERIFY(!h.Status().contains(QString::fromUtf8(kNote)));

    h.answers.push_back(LogTo(path));
    h.sink.answer = true;
    h.logs->RunSetup(h.window.get());
    QVERIFY(!FileReleased(path));
    h.window.reset();
    QVERIFY(FileReleased(path));
}

void LogControllerTest::writeFailureIsReportedOnceAndLoggingResumes() {
    Harness h;
    const QString path = h.File("log.csv");
    h.answers.push_back(LogTo(path));
    h.logs->RunSetup(h.window.get());
    QVERIFY(h.Status().contains(QString::fromUtf8(kNote)));

    // A line cut short by a full disk, then three intervals without space.
    h.ops->writes = {WriteStep::kShort, WriteStep::kNoSpace, WriteStep::kNoSpace,
                     WriteStep::kNoSpace, WriteStep::kNoSpace};
    for (int i = 0; i < 4; ++i) {
        h.logs->WriteLine();
    }
    QCOMPARE(h.sink.Texts(), QStringList{QString::fromStdString(LogWriteFailureText(ENOSPC))});
    QCOMPARE(h.sink.boxes[0].icon, MessageIcon::Warning);
    QVERIFY(!h.Status().contains(QString::fromUtf8(kNote)));
    QCOMPARE(ReadAll(path), kHeader + kLine);    // nothing torn left behind
    QVERIFY(IntervalTimer(*h.logs).isActive());  // still trying

    h.logs->WriteLine();
    QVERIFY(h.Status().contains(QString::fromUtf8(kNote)));
    QCOMPARE(ReadAll(path), kHeader + kLine + kLine);
    QCOMPARE(h.sink.boxes.size(), std::size_t{1});
}

void LogControllerTest::fullDiskIsReportedOnceAndLoggingResumes() {
    QTemporaryDir mountPoint;
    if (::geteuid() != 0 || ::mount("tmpfs", QFile::encodeName(mountPoint.path()).constData(),
                                    "tmpfs", 0, "size=64k") != 0) {
        QSKIP("a small tmpfs cannot be mounted here");
    }
    const auto unmount = qScopeGuard(
        [&] { ::umount2(QFile::encodeName(mountPoint.path()).constData(), MNT_DETACH); });
    const QString path = mountPoint.filePath(QStringLiteral("log.csv"));
    const QString filler = mountPoint.filePath(QStringLiteral("filler"));
    {
        Harness h;
        h.answers.push_back(LogTo(path));
        h.logs->RunSetup(h.window.get());
        // Up to where the next line needs a page of its own: the file's last
        // page takes no space from the full disk.
        while (QFileInfo(path).size() % 4096 + kLine.size() <= 4096) {
            h.logs->WriteLine();
        }
        {
            QFile fill(filler);
            QVERIFY(fill.open(QIODevice::WriteOnly));
            const QByteArray block(512, 'x');
            while (fill.write(block) == block.size() && fill.flush()) {
            }
        }
        for (int i = 0; i < 3; ++i) {
            h.logs->WriteLine();
        }
        QCOMPARE(h.sink.Texts(), QStringList{QString::fromStdString(LogWriteFailureText(ENOSPC))});
        QVERIFY(!h.Status().contains(QString::fromUtf8(kNote)));

        QVERIFY(QFile::remove(filler));
        h.logs->WriteLine();
        QVERIFY(h.Status().contains(QString::fromUtf8(kNote)));
        QCOMPARE(h.sink.boxes.size(), std::size_t{1});
    }
    const QByteArray written = ReadAll(path);
    QVERIFY2(written.startsWith(kHeader + kLine) && written.endsWith(kLine), written.constData());
    QCOMPARE(written.count("\r\n"), written.count('\n'));
}

void LogControllerTest::loggingGoesOnWhileTheFailureBoxIsOpen_data() {
    QTest::addColumn<bool>("fromTheStart");
    QTest::newRow("no space at start") << true;
    QTest::newRow("no space while logging") << false;
}

// The real box, left open by the operator: the interval keeps trying, and the
// first interval after space returns writes its line.
void LogControllerTest::loggingGoesOnWhileTheFailureBoxIsOpen() {
    QFETCH(bool, fromTheStart);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.csv"));
    Harness h([&](LogSettings& o) {
        o.fileLog = true;
        o.fileName = path.toStdString();
        o.interval = 1;
    });
    h.window->SetMessageSink(nullptr);
    // A box that waits for the operator would stop everything until here.
    bool blocked = false;
    QTimer::singleShot(20000, h.window.get(), [&] {
        for (QMessageBox* box : OpenBoxes()) {
            blocked = true;
            box->close();
        }
    });
    const std::deque<WriteStep> noSpace(3, WriteStep::kNoSpace);
    if (fromTheStart) {
        h.ops->writes = noSpace;
    }
    h.logs->StartUpOpen(h.window.get());
    QVERIFY(IntervalTimer(*h.logs).isActive());
    if (!fromTheStart) {
        QTRY_COMPARE_WITH_TIMEOUT(ReadAll(path), kHeader + kLine + kLine, 3000);
        h.ops->writes = noSpace;
    }
    QTRY_VERIFY_WITH_TIMEOUT(blocked || !OpenBoxes().isEmpty(), 3000);
    QVERIFY2(!blocked, "the box held the log up until it was closed");
    QCOMPARE(OpenBoxes().size(), qsizetype{1});
    QCOMPARE(OpenBoxes().first()->text(), QString::fromStdString(LogWriteFailureText(ENOSPC)));
    const QByteArray before = ReadAll(path);

    QTRY_VERIFY_WITH_TIMEOUT(h.ops->writes.empty(), 5000);  // the last failed write
    QElapsedTimer sinceSpace;
    sinceSpace.start();
    QTRY_VERIFY_WITH_TIMEOUT(ReadAll(path).size() > before.size(), 5000);
    QVERIFY2(sinceSpace.elapsed() < 1500, qPrintable(QString::number(sinceSpace.elapsed())));
    QVERIFY(!blocked);
    QCOMPARE(OpenBoxes().size(), qsizetype{1});
    QVERIFY(ReadAll(path).endsWith(kLine));
    QVERIFY(h.Status().contains(QString::fromUtf8(kNote)));

    OpenBoxes().first()->close();
    QTRY_COMPARE(OpenBoxes().size(), qsizetype{0});
}

void LogControllerTest::unsupportedPanelIsNotLogged() {
    Harness h;
    const QString path = h.File("log.csv");
    h.answers.push_back(LogTo(path));
    h.logs->RunSetup(h.window.get());
    h.panel.identity.hardwareVariant = 2;
    h.window->UpdateReadings();
    QVERIFY(h.window->Stopped());
    h.logs->WriteLine();
    QCOMPARE(ReadAll(path), kHeader + kLine);
}

}  // namespace tk358

QTEST_MAIN(tk358::LogControllerTest)
#include "log_controller_test.moc"
