// SPDX-License-Identifier: GPL-3.0-or-later
// The panel dialog frame: opening check, validation, the worker and its end.

#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <chrono>
#include <ctime>
#include <memory>
#include <thread>

#include "dialogs/panel_dialog.h"
#include "recording_sink.h"
#include "support/fake_panel.h"

using namespace std::chrono_literals;

namespace tk358::test {
namespace {

const QString kReadFailure = QStringLiteral("Nie można odczytać wartości próbnych");
const QString kWriteFailure = QStringLiteral("Nie można zapisać wartości próbnych");
const QString kFirstRefused = QStringLiteral("Pierwsza wartość poza zakresem");
const QString kSecondRefused = QStringLiteral("Druga wartość poza zakresem");

// Two fields 0 to 100, checked first then second, written as WriteSetpoint(a, b).
class SampleDialog final : public PanelDialog {
public:
    SampleDialog(FakePanel& panel, bool openable)
        : PanelDialog(panel, {kReadFailure, kWriteFailure, QStringLiteral("start")}),
          openable_(openable) {
        first = new QLineEdit;
        first->setObjectName(QStringLiteral("firstEdit"));
        second = new QLineEdit;
        second->setObjectName(QStringLiteral("secondEdit"));
        auto* form = new QFormLayout(Body());
        form->addRow(QStringLiteral("Pierwsza"), first);
        form->addRow(QStringLiteral("Druga"), second);
    }

    QLineEdit* first = nullptr;
    QLineEdit* second = nullptr;
    int fills = 0;
    int validations = 0;
    WriteJob job;  // replaces the single write when set

protected:
    bool Fill() override {
        ++fills;
        first->setText(QStringLiteral("10"));
        second->setText(QStringLiteral("20"));
        return openable_;
    }
    std::optional<FieldError> Validate() override {
        ++validations;
        bool ok = false;
        const int a = first->text().toInt(&ok);
        if (!ok || a < 0 || a > 100) {
            return FieldError{first, kFirstRefused};
        }
        const int b = second->text().toInt(&ok);
        if (!ok || b < 0 || b > 100) {
            return FieldError{second, kSecondRefused};
        }
        a_ = a;
        b_ = b;
        return std::nullopt;
    }
    WriteJob MakeWriteJob() const override {
        if (job) {
            return job;
        }
        return OneWrite([a = a_, b = b_](PanelAccess& s) { return s.WriteSetpoint(a, b); });
    }
    void EnableFields(bool enable) override {
        first->setEnabled(enable);
        second->setEnabled(enable);
    }

private:
    bool openable_;
    int a_ = -1;
    int b_ = -1;
};

// Counts the dialog's Show events: a refused opening must show nothing.
class ShowCounter : public QObject {
public:
    int shows = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            ++shows;
        }
        return false;
    }
};

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

bool ControlsEnabled(SampleDialog& dlg) {
    return dlg.first->isEnabled() && dlg.second->isEnabled() &&
           dlg.findChild<QPushButton*>(QStringLiteral("okButton"))->isEnabled() &&
           dlg.findChild<QPushButton*>(QStringLiteral("cancelButton"))->isEnabled();
}

bool AnyControlEnabled(SampleDialog& dlg) {
    return dlg.first->isEnabled() || dlg.second->isEnabled() ||
           dlg.findChild<QPushButton*>(QStringLiteral("okButton"))->isEnabled() ||
           dlg.findChild<QPushButton*>(QStringLiteral("cancelButton"))->isEnabled();
}

}  // namespace

class PanelDialogTest : public QObject {
    Q_OBJECT

private:
    // Shows the dialog as the active window, with the recording sink.
    void ShowActive(SampleDialog& dlg) {
        dlg.SetMessageSink(&sink_);
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
    }
    void ClickOk(SampleDialog& dlg) {
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
    }

    RecordingSink sink_;

private slots:
    void init() { sink_.boxes.clear(); }

    void successEndsWithAcceptedWithoutValidatingAgain() {
        FakePanel panel;
        panel.Hold();
        SampleDialog dlg(panel, true);
        ShowActive(dlg);
        dlg.first->setText(QStringLiteral("42"));
        dlg.second->setText(QStringLiteral("7"));
        ClickOk(dlg);
        QVERIFY(panel.WaitUntilWriting(5s));
        // A field changed behind the disabled controls must not be checked or written.
        dlg.first->setText(QStringLiteral("bad"));
        panel.Release();
        QTRY_COMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.validations, 1);
        const std::vector<WriteCall> calls = panel.Calls();
        QCOMPARE(calls.size(), std::size_t{1});
        QCOMPARE(calls[0].args.at(0), 42);
        QCOMPARE(calls[0].args.at(1), 7);
        QVERIFY(calls[0].thread != std::this_thread::get_id());
        QVERIFY(sink_.boxes.empty());
    }

    void execReturnsAcceptedAfterTheWrite() {
        FakePanel panel;
        SampleDialog dlg(panel, true);
        dlg.SetMessageSink(&sink_);
        QTimer::singleShot(0, &dlg, [&] { ClickOk(dlg); });
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        QCOMPARE(panel.Calls().size(), std::size_t{1});
        QCOMPARE(dlg.fills, 1);
    }

    void secondOkWhileWritingIsIgnoredAndFailureGivesControlsBack() {
        FakePanel panel;
        panel.Hold();
        SampleDialog dlg(panel, true);
        ShowActive(dlg);
        dlg.first->setText(QStringLiteral("55"));
        dlg.second->setText(QStringLiteral("66"));
        ClickOk(dlg);
        QVERIFY(panel.WaitUntilWriting(5s));

        QVERIFY(dlg.IsWriting());
        QVERIFY(!AnyControlEnabled(dlg));
        QVERIFY(dlg.findChild<QLabel*>(QStringLiteral("writingLabel"))->isVisible());
        QCOMPARE(dlg.cursor().shape(), Qt::BusyCursor);
        dlg.accept();  // a second OK however it arrives
        QTest::keyClick(&dlg, Qt::Key_Return);
        QTest::keyClick(&dlg, Qt::Key_Escape);  // cannot leave half way
        dlg.reject();
        QVERIFY(dlg.isVisible());

        panel.SetWriteStatus(kStatusFailed);
        panel.Release();
        QTRY_VERIFY(!dlg.IsWriting());
        QCOMPARE(panel.Calls().size(), std::size_t{1});
        QCOMPARE(sink_.Texts(), QStringList{kWriteFailure});
        QCOMPARE(sink_.boxes.front().icon, MessageIcon::Warning);
        QVERIFY(ControlsEnabled(dlg));
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.first->text(), QStringLiteral("55"));
        QCOMPARE(dlg.second->text(), QStringLiteral("66"));
        QVERIFY(!dlg.findChild<QLabel*>(QStringLiteral("writingLabel"))->isVisible());
        QCOMPARE(dlg.cursor().shape(), Qt::ArrowCursor);

        // After the failure a new OK starts a new worker.
        panel.SetWriteStatus(kStatusOk);
        ClickOk(dlg);
        QTRY_COMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(panel.Calls().size(), std::size_t{2});
        QCOMPARE(sink_.boxes.size(), std::size_t{1});
    }

    void exceptionGivesControlsBackWithoutMessage() {
        FakePanel panel;
        panel.ThrowOnWrites(true);
        SampleDialog dlg(panel, true);
        ShowActive(dlg);
        ClickOk(dlg);
        QTRY_COMPARE(panel.Returned(), 1);
        QTRY_VERIFY(!dlg.IsWriting());
        QVERIFY(ControlsEnabled(dlg));
        QVERIFY(dlg.isVisible());
        QVERIFY(sink_.boxes.empty());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }

    void refusedFieldGetsMessageAndFocus_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focused");
        QTest::newRow("first not a number") << "abc"
                                            << "20" << kFirstRefused << "firstEdit";
        QTest::newRow("second above") << "10"
                                      << "101" << kSecondRefused << "secondEdit";
        QTest::newRow("both refused, first wins") << "-1"
                                                  << "500" << kFirstRefused << "firstEdit";
    }
    void refusedFieldGetsMessageAndFocus() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, message);
        QFETCH(QString, focused);
        FakePanel panel;
        SampleDialog dlg(panel, true);
        ShowActive(dlg);
        dlg.first->setText(first);
        dlg.second->setText(second);
        ClickOk(dlg);
        QCOMPARE(sink_.Texts(), QStringList{message});
        QTRY_VERIFY(QApplication::focusWidget() != nullptr);
        QCOMPARE(QApplication::focusWidget()->objectName(), focused);
        QCOMPARE(panel.Calls().size(), std::size_t{0});
        QVERIFY(!dlg.IsWriting());
        QVERIFY(ControlsEnabled(dlg));
        QVERIFY(dlg.isVisible());
    }

    void refusedOpeningShowsReadFailureAndNeverShows() {
        FakePanel panel;
        SampleDialog dlg(panel, false);
        dlg.SetMessageSink(&sink_);
        ShowCounter counter;
        dlg.installEventFilter(&counter);
        QSignalSpy finished(&dlg, &QDialog::finished);
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QCOMPARE(sink_.Texts(), QStringList{kReadFailure});
        QCOMPARE(sink_.boxes.front().icon, MessageIcon::Warning);
        QCOMPARE(counter.shows, 0);
        QCOMPARE(finished.count(), 1);

        dlg.show();  // the modeless way refuses as well
        QVERIFY(!dlg.isVisible());
        QCOMPARE(counter.shows, 0);
        QCOMPARE(sink_.boxes.size(), std::size_t{2});
        QCOMPARE(panel.Calls().size(), std::size_t{0});
    }

    void outcomeMessagesShownInOrder_data() {
        QTest::addColumn<bool>("success");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("one of four failed") << true << QStringList{"pierwszy"};
        QTest::newRow("all four failed")
            << false << QStringList{"pierwszy", "drugi", "trzeci", "czwarty"};
        QTest::newRow("failure without text") << false << QStringList{};
    }
    void outcomeMessagesShownInOrder() {
        QFETCH(bool, success);
        QFETCH(QStringList, messages);
        FakePanel panel;
        SampleDialog dlg(panel, true);
        dlg.job = [success, messages](PanelAccess&) {
            return PanelDialog::WriteOutcome{success, messages};
        };
        ShowActive(dlg);
        ClickOk(dlg);
        QTRY_VERIFY(!dlg.IsWriting());
        QCOMPARE(sink_.Texts(), messages);
        QCOMPARE(dlg.result(), success ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QCOMPARE(dlg.isVisible(), !success);
        QCOMPARE(ControlsEnabled(dlg), !success);
    }

    void destructionWaitsForTheBlockedWorkerWithoutSpinning() {
        FakePanel panel;
        panel.Hold();
        auto dlg = std::make_unique<SampleDialog>(panel, true);
        ShowActive(*dlg);
        ClickOk(*dlg);
        QVERIFY(panel.WaitUntilWriting(5s));

        std::thread releaser([&panel] {
            std::this_thread::sleep_for(1s);
            panel.SetWriteStatus(kStatusFailed);
            panel.Release();
        });
        const double cpuBefore = ProcessCpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        dlg.reset();
        const auto waited = std::chrono::steady_clock::now() - wallBefore;
        const double cpu = ProcessCpuSeconds() - cpuBefore;
        releaser.join();

        QCOMPARE(panel.Returned(), 1);  // the write ended before the dialog was gone
        QVERIFY(waited >= 900ms);
        QVERIFY2(cpu < 0.3, qPrintable(QStringLiteral("CPU %1 s while waiting").arg(cpu)));
        QVERIFY(sink_.boxes.empty());       // nobody is left to read a failure
        QCoreApplication::processEvents();  // nothing queued for the dead dialog runs
    }
};

}  // namespace tk358::test

QTEST_MAIN(tk358::test::PanelDialogTest)
#include "panel_dialog_test.moc"
