// SPDX-License-Identifier: GPL-3.0-or-later
// "Rejestracja do pliku": enable rules, interval, file choice, radio codes and
// the refusal without a logged quantity.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QTimer>
#include <QtTest>

#include "dialogs/log_setup_dlg.h"
#include "recording_sink.h"
#include "support/log_setup_dlg_probe.h"

namespace tk358::test {
namespace {

const QString kNoQuantity = QStringLiteral("Wybierz przynajmniej jedną wielkość do zapisu");

// Every control that logging switched off disables, besides the second
// set-point box and the comment edit, which have rules of their own.
const char* const kLoggingControls[] = {
    "intervalEdit",
    "fileLabel",
    "fileEdit",
    "browseButton",
    "separatorLabel",
    "separatorTabRadio",
    "separatorCommaRadio",
    "separatorSemicolonRadio",
    "separatorLocaleRadio",
    "decimalLabel",
    "decimalCommaRadio",
    "decimalPointRadio",
    "decimalLocaleRadio",
    "temperatureCheck",
    "setpointCheck",
    "commentCheck",
};

LogSetup SampleSetup() {
    LogSetup s;
    s.loggingOn = true;
    s.temperatureColumn = true;
    s.setpointColumn = true;
    s.secondSetpointColumn = true;
    s.interval = 60;
    s.filePath = "/tmp/pomiary.csv";
    return s;
}

template <typename W>
W* Child(QWidget& dlg, const char* name) {
    W* w = dlg.findChild<W*>(QLatin1String(name));
    if (w == nullptr) {
        qFatal("no control %s", name);
    }
    return w;
}

void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

}  // namespace

class LogSetupDlgTest : public QObject {
    Q_OBJECT

private:
    void ShowActive(CLogSetupDlg& dlg) {
        dlg.SetMessageSink(&sink_);
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
    }
    RecordingSink sink_;

private slots:
    void init() { sink_.boxes.clear(); }

    void controlTexts() {
        CLogSetupDlg dlg(SampleSetup());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Rejestracja do pliku"));
        const std::pair<const char*, const char*> texts[] = {
            {"loggingCheck", "Rejestruj wyniki pomiarów"},
            {"fileLabel", "W pliku"},
            {"browseButton", "..."},
            {"separatorLabel", "Separator kolumn:"},
            {"separatorTabRadio", "Tabulator"},
            {"separatorCommaRadio", "Przecinek"},
            {"separatorSemicolonRadio", "Średnik"},
            {"separatorLocaleRadio", "Wg ustawień lokalnych"},
            {"decimalLabel", "Znak dziesiętny:"},
            {"decimalCommaRadio", "Przecinek"},
            {"decimalPointRadio", "Kropka"},
            {"decimalLocaleRadio", "Wg ustawień lokalnych"},
            {"temperatureCheck", "Temperatura"},
            {"setpointCheck", "Watrość zadana"},
            {"secondSetpointCheck", "Watrość zadana 2"},
            {"commentCheck", "Dodaj komentarz przy rozpoczęciu rejestracji:"},
            {"okButton", "OK"},
            {"cancelButton", "Anuluj"},
        };
        for (const auto& [name, text] : texts) {
            QWidget* w = Child<QWidget>(dlg, name);
            const QString shown = qobject_cast<QLabel*>(w)
                                      ? qobject_cast<QLabel*>(w)->text()
                                      : qobject_cast<QAbstractButton*>(w)->text();
            QCOMPARE(shown, QString::fromUtf8(text));
        }
        QCOMPARE(Child<QTimeEdit>(dlg, "intervalEdit")->displayFormat(),
                 QStringLiteral("HH:mm:ss"));
    }

    void enableRules_data() {
        QTest::addColumn<bool>("loggingOn");
        QTest::addColumn<bool>("available");
        QTest::addColumn<bool>("commentOn");
        QTest::newRow("off, type 4, comment") << false << true << true;
        QTest::newRow("off, other type") << false << false << false;
        QTest::newRow("on, type 4, comment") << true << true << true;
        QTest::newRow("on, other type, no comment") << true << false << false;
    }
    void enableRules() {
        QFETCH(bool, loggingOn);
        QFETCH(bool, available);
        QFETCH(bool, commentOn);
        LogSetup in = SampleSetup();
        in.loggingOn = loggingOn;
        in.secondSetpointAvailable = available;
        in.commentOn = commentOn;
        CLogSetupDlg dlg(in);
        ShowActive(dlg);
        auto* logging = Child<QCheckBox>(dlg, "loggingCheck");
        auto* second = Child<QCheckBox>(dlg, "secondSetpointCheck");
        auto* comment = Child<QPlainTextEdit>(dlg, "commentEdit");
        QCOMPARE(second->isVisible(), available);

        // Start, then switched over, then back: the rules hold in every state.
        for (bool on : {loggingOn, !loggingOn, loggingOn}) {
            if (logging->isChecked() != on) {
                Click(logging);
            }
            QCOMPARE(logging->isChecked(), on);
            for (const char* name : kLoggingControls) {
                QVERIFY2(Child<QWidget>(dlg, name)->isEnabled() == on, name);
            }
            QCOMPARE(second->isEnabled(), on && available);
            QCOMPARE(comment->isEnabled(), on && commentOn);
            QVERIFY(Child<QLabel>(dlg, "intervalLabel")->isEnabled());
        }
        if (loggingOn) {
            Click(Child<QCheckBox>(dlg, "commentCheck"));
            QCOMPARE(comment->isEnabled(), !commentOn);
        }
    }

    void intervalShownAndKeptAtLeastOneSecond() {
        LogSetup in = SampleSetup();
        in.interval = 3725;
        CLogSetupDlg dlg(in);
        ShowActive(dlg);
        auto* picker = Child<QTimeEdit>(dlg, "intervalEdit");
        QCOMPARE(picker->text(), QStringLiteral("01:02:05"));

        picker->setFocus();
        picker->setTime(QTime(0, 0, 0));
        Child<QLineEdit>(dlg, "fileEdit")->setFocus();
        QCOMPARE(picker->text(), QStringLiteral("00:00:01"));
        QCOMPARE(dlg.Result().interval, 1);
    }

    void valuesInFieldsBeingEditedCountOnOk() {
        CLogSetupDlg dlg(SampleSetup());
        ShowActive(dlg);
        auto* picker = Child<QTimeEdit>(dlg, "intervalEdit");
        picker->setFocus();
        picker->setTime(QTime(0, 10, 0));
        dlg.accept();  // Enter: the picker never lost the focus
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.Result().interval, 600);

        CLogSetupDlg second(SampleSetup());
        ShowActive(second);
        auto* file = Child<QLineEdit>(second, "fileEdit");
        file->setFocus();
        file->setText(QStringLiteral("/tmp/nowy.txt"));
        second.accept();
        QCOMPARE(second.Result().filePath, std::string("/tmp/nowy.txt"));
    }

    void fileEditBecomesThePathOnFocusLoss() {
        CLogSetupDlg dlg(SampleSetup());
        ShowActive(dlg);
        auto* file = Child<QLineEdit>(dlg, "fileEdit");
        file->setFocus();
        QTest::keyClick(file, Qt::Key_End);
        QTest::keyClicks(file, QStringLiteral(".bak"));
        Child<QTimeEdit>(dlg, "intervalEdit")->setFocus();
        QCOMPARE(dlg.Result().filePath, std::string("/tmp/pomiary.csv.bak"));
    }

    void chosenFileGetsTheFiltersExtension() {
        CLogSetupDlg dlg(SampleSetup());
        int asked = 0;
        QString startedFrom;
        test::LogSetupDlgProbe::SetFileChooser(
            dlg, [&](QWidget*, const QString& current) -> std::optional<ChosenFile> {
                ++asked;
                startedFrom = current;
                return ChosenFile{QStringLiteral("/tmp/raport"), 1};
            });
        ShowActive(dlg);
        QTest::mouseClick(Child<QPushButton>(dlg, "browseButton"), Qt::LeftButton);
        QCOMPARE(asked, 1);
        QCOMPARE(startedFrom, QStringLiteral("/tmp/pomiary.csv"));
        QCOMPARE(Child<QLineEdit>(dlg, "fileEdit")->text(), QStringLiteral("/tmp/raport.csv"));
        QCOMPARE(dlg.Result().filePath, std::string("/tmp/raport.csv"));

        test::LogSetupDlgProbe::SetFileChooser(
            dlg, [](QWidget*, const QString&) { return std::optional<ChosenFile>(); });
        QTest::mouseClick(Child<QPushButton>(dlg, "browseButton"), Qt::LeftButton);
        QCOMPARE(dlg.Result().filePath, std::string("/tmp/raport.csv"));  // cancelled: kept
    }

    void reportFileDialogAddsTheSelectedFiltersSuffix_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("text") << "Plik tekstowy (*.txt)"
                              << ".txt";
        QTest::newRow("CSV") << "Lista CSV (*.csv)"
                             << ".csv";
    }
    void reportFileDialogAddsTheSelectedFiltersSuffix() {
        QFETCH(QString, filter);
        QFETCH(QString, suffix);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QString title;
        QStringList filters;
        QString folder;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            title = box->windowTitle();
            folder = box->directory().absolutePath();
            filters = box->nameFilters();
            // As the operator does it: pick the filter in the list, type a bare name.
            auto* types = box->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            QVERIFY(types != nullptr);
            const int index = types->findText(filter);
            types->setCurrentIndex(index);
            emit types->activated(index);
            box->selectFile(dir.filePath(QStringLiteral("raport")));
            static_cast<QDialog*>(box)->accept();  // the dialog's "Zapisz"
        });
        const std::optional<ChosenFile> chosen =
            ChooseReportFile(nullptr, dir.filePath(QStringLiteral("stary.txt")));
        QVERIFY(chosen.has_value());
        QCOMPARE(title, QStringLiteral("Wybierz plik raportu"));
        QCOMPARE(folder, QDir(dir.path()).absolutePath());  // the current file's folder
        QCOMPARE(filters, (QStringList{QStringLiteral("Plik tekstowy (*.txt)"),
                                       QStringLiteral("Lista CSV (*.csv)")}));
        QCOMPARE(chosen->path, dir.filePath(QStringLiteral("raport")) + suffix);
        QCOMPARE(chosen->filterIndex, suffix == QStringLiteral(".csv") ? 1 : 0);
    }

    // An existing log is chosen to be continued as often as to be replaced:
    // the chooser asks nothing, the log asks whether to append when it opens.
    void existingFileIsChosenWithoutAQuestion() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile existing(dir.filePath(QStringLiteral("raport.csv")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.close();
        bool confirms = true;
        QString question;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            confirms = !box->testOption(QFileDialog::DontConfirmOverwrite);
            auto* types = box->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            types->setCurrentIndex(1);
            emit types->activated(1);
            box->selectFile(dir.filePath(QStringLiteral("raport")));
            QTimer::singleShot(0, [&] {  // a question would be open by now
                if (auto* ask = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    question = ask->text();
                    ask->button(QMessageBox::Yes)->click();
                }
            });
            static_cast<QDialog*>(box)->accept();
        });
        const std::optional<ChosenFile> chosen =
            ChooseReportFile(nullptr, dir.filePath(QStringLiteral("stary.txt")));
        QVERIFY(!confirms);
        QCOMPARE(question, QString());
        QVERIFY(chosen.has_value());
        QCOMPARE(chosen->path, dir.filePath(QStringLiteral("raport.csv")));
        QTest::qWait(10);  // the watch above has run before the next test
    }

    void okNeedsAQuantity_data() {
        QTest::addColumn<bool>("loggingOn");
        QTest::addColumn<bool>("available");
        QTest::addColumn<bool>("temperature");
        QTest::addColumn<bool>("setpoint");
        QTest::addColumn<bool>("second");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("none") << true << true << false << false << false << false;
        QTest::newRow("none, logging off") << false << true << false << false << false << false;
        QTest::newRow("temperature") << true << true << true << false << false << true;
        QTest::newRow("set point, logging off") << false << false << false << true << false << true;
        QTest::newRow("hidden second still counts")
            << true << false << false << false << true << true;
    }
    void okNeedsAQuantity() {
        QFETCH(bool, loggingOn);
        QFETCH(bool, available);
        QFETCH(bool, temperature);
        QFETCH(bool, setpoint);
        QFETCH(bool, second);
        QFETCH(bool, accepted);
        LogSetup in = SampleSetup();
        in.loggingOn = loggingOn;
        in.secondSetpointAvailable = available;
        in.temperatureColumn = temperature;
        in.setpointColumn = setpoint;
        in.secondSetpointColumn = second;
        CLogSetupDlg dlg(in);
        ShowActive(dlg);
        QTest::mouseClick(Child<QPushButton>(dlg, "okButton"), Qt::LeftButton);
        QCOMPARE(dlg.result() == QDialog::Accepted, accepted);
        QCOMPARE(dlg.isVisible(), !accepted);
        if (accepted) {
            QVERIFY(sink_.boxes.empty());
            QCOMPARE(dlg.Result().secondSetpointColumn, second);
        } else {
            QCOMPARE(sink_.Texts(), QStringList{kNoQuantity});
            QCOMPARE(sink_.boxes.front().icon, MessageIcon::Information);
        }
    }

    void untickingTheLastQuantityIsRefused() {
        LogSetup in = SampleSetup();
        in.secondSetpointAvailable = true;
        in.setpointColumn = false;
        in.secondSetpointColumn = false;
        CLogSetupDlg dlg(in);
        ShowActive(dlg);
        Click(Child<QCheckBox>(dlg, "temperatureCheck"));
        dlg.accept();
        QCOMPARE(sink_.Texts(), QStringList{kNoQuantity});
        Click(Child<QCheckBox>(dlg, "secondSetpointCheck"));
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.Result().temperatureColumn);
        QVERIFY(dlg.Result().secondSetpointColumn);
    }

    void radioCodes_data() {
        QTest::addColumn<int>("separatorIn");
        QTest::addColumn<QString>("separatorRadio");
        QTest::addColumn<int>("decimalIn");
        QTest::addColumn<QString>("decimalRadio");
        QTest::addColumn<int>("separatorOut");
        QTest::addColumn<int>("decimalOut");
        QTest::newRow("tab, comma")
            << 1 << "separatorTabRadio" << 1 << "decimalCommaRadio" << 1 << 1;
        QTest::newRow("comma, point")
            << 2 << "separatorCommaRadio" << 2 << "decimalPointRadio" << 2 << 2;
        QTest::newRow("semicolon, locale")
            << 3 << "separatorSemicolonRadio" << 0 << "decimalLocaleRadio" << 3 << 0;
        QTest::newRow("locale, locale")
            << 0 << "separatorLocaleRadio" << 0 << "decimalLocaleRadio" << 0 << 0;
        QTest::newRow("unknown codes are locale")
            << 9 << "separatorLocaleRadio" << -1 << "decimalLocaleRadio" << 0 << 0;
    }
    void radioCodes() {
        QFETCH(int, separatorIn);
        QFETCH(QString, separatorRadio);
        QFETCH(int, decimalIn);
        QFETCH(QString, decimalRadio);
        QFETCH(int, separatorOut);
        QFETCH(int, decimalOut);
        LogSetup in = SampleSetup();
        in.separatorCode = separatorIn;
        in.decimalCode = decimalIn;
        CLogSetupDlg dlg(in);
        ShowActive(dlg);
        QVERIFY(dlg.findChild<QRadioButton*>(separatorRadio)->isChecked());
        QVERIFY(dlg.findChild<QRadioButton*>(decimalRadio)->isChecked());
        dlg.accept();
        QCOMPARE(dlg.Result().separatorCode, separatorOut);
        QCOMPARE(dlg.Result().decimalCode, decimalOut);
    }

    void commentKeepsItsLinesAndTheOtherValues() {
        LogSetup in = SampleSetup();
        in.commentOn = true;
        in.commentText = "Piec 2\r\nźródło: sonda A";
        CLogSetupDlg dlg(in);
        ShowActive(dlg);
        auto* edit = Child<QPlainTextEdit>(dlg, "commentEdit");
        QCOMPARE(edit->toPlainText(), QStringLiteral("Piec 2\nźródło: sonda A"));
        edit->appendPlainText(QStringLiteral("koniec"));
        dlg.accept();
        const LogSetup& out = dlg.Result();
        QCOMPARE(out.commentText, std::string("Piec 2\r\nźródło: sonda A\r\nkoniec"));
        QVERIFY(out.commentOn);
        QVERIFY(out.loggingOn);
        QCOMPARE(out.interval, 60);
        QCOMPARE(out.filePath, std::string("/tmp/pomiary.csv"));
    }
};

}  // namespace tk358::test

QTEST_MAIN(tk358::test::LogSetupDlgTest)
#include "log_setup_dlg_test.moc"
