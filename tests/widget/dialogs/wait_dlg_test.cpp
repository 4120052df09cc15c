// SPDX-License-Identifier: GPL-3.0-or-later
// The "Proszę czekać" box: the job runs off the GUI thread, the box closes when
// it ends, and the box never goes away under a running job.

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>

#include "dialogs/wait_dlg.h"

using namespace std::chrono_literals;

namespace tk358::test {

class WaitDlgTest : public QObject {
    Q_OBJECT

private slots:
    void jobRunsOffTheGuiThreadAndTheBoxClosesWhenItEnds() {
        std::thread::id jobThread;
        const std::atomic<bool>* stopRequested = nullptr;
        CWaitDlg dlg([&jobThread, &stopRequested](const std::atomic<bool>& stop) {
            jobThread = std::this_thread::get_id();
            stopRequested = &stop;
            return std::string("COM1:/dev/ttyS0\n");
        });
        QCOMPARE(dlg.findChild<QLabel*>(QStringLiteral("waitText"))->text(),
                 QStringLiteral("Proszę czekać"));
        QVERIFY(dlg.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        QCOMPARE(dlg.WaitForResult(), std::string("COM1:/dev/ttyS0\n"));
        QVERIFY(jobThread != std::thread::id());
        QVERIFY(jobThread != std::this_thread::get_id());
        QVERIFY(!stopRequested->load());
    }

    void cancelAsksTheJobToStopAndTheBoxStaysUntilItEnds() {
        std::promise<void> stopSeen;
        std::atomic<bool> finishJob{false};
        CWaitDlg dlg([&](const std::atomic<bool>& stop) {
            while (!stop.load()) {
                std::this_thread::sleep_for(1ms);
            }
            stopSeen.set_value();
            while (!finishJob.load()) {
                std::this_thread::sleep_for(1ms);
            }
            return std::string("zatrzymane");
        });
        bool visibleAfterCancel = false;
        QTimer::singleShot(0, &dlg, [&] {
            QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("waitCancelButton")),
                              Qt::LeftButton);
            QVERIFY(stopSeen.get_future().wait_for(5s) == std::future_status::ready);
            QCoreApplication::processEvents();
            visibleAfterCancel = dlg.isVisible();
            finishJob = true;
        });
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        QVERIFY(visibleAfterCancel);
        QCOMPARE(dlg.WaitForResult(), std::string("zatrzymane"));
    }

    void escapeClosesTheBoxButDestructionWaitsForTheJob() {
        std::atomic<bool> jobStarted{false};
        std::atomic<bool> jobEnded{false};
        std::atomic<bool> sawStop{false};
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        auto dlg = std::make_unique<CWaitDlg>([&, released](const std::atomic<bool>& stop) {
            jobStarted = true;
            released.wait();
            sawStop = stop.load();
            jobEnded = true;
            return std::string("COM2:x\n");
        });
        QTimer::singleShot(0, dlg.get(), [&] {
            QTRY_VERIFY(jobStarted.load());
            QTest::keyClick(dlg.get(), Qt::Key_Escape);
        });
        QCOMPARE(dlg->exec(), int(QDialog::Rejected));
        QVERIFY(!jobEnded.load());

        std::thread releaser([&release] {
            std::this_thread::sleep_for(300ms);
            release.set_value();
        });
        dlg.reset();
        QVERIFY(jobEnded.load());
        QVERIFY(sawStop.load());  // destruction asks the job to stop first
        releaser.join();
        QCoreApplication::processEvents();
    }

    void aThrowingJobGivesAnEmptyResult() {
        CWaitDlg dlg(
            [](const std::atomic<bool>&) -> std::string { throw std::runtime_error("no udev"); });
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        QCOMPARE(dlg.WaitForResult(), std::string());
    }
};

}  // namespace tk358::test

QTEST_MAIN(tk358::test::WaitDlgTest)
#include "wait_dlg_test.moc"
