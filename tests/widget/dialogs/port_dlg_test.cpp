// SPDX-License-Identifier: GPL-3.0-or-later
// "Port szeregowy": the list filled off the GUI thread, the preselected port,
// and the number handed back.

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "dialogs/port_dlg.h"
#include "recording_sink.h"

namespace tk358::test {

namespace {

PortListingJob Listing(const std::string& text) {
    return [text](const std::atomic<bool>&) { return text; };
}

const char kThreePorts[] =
    "COM1:Port szeregowy, /dev/ttyS0\n"
    "COM12:FTDI FT232R USB UART, /dev/ttyUSB0\n"
    "COM200:→ /dev/pts/5\n";

QComboBox* PortList(const CPortDlg& dlg) {
    return dlg.findChild<QComboBox*>(QStringLiteral("portList"));
}

void ClickOk(const CPortDlg& dlg) {
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
}

// Runs `action` once the dialog is on screen, after the wait box has gone.
void WhenShown(CPortDlg& dlg, std::function<void()> action) {
    QTimer::singleShot(1, &dlg, [&dlg, action] {
        if (dlg.isVisible()) {
            action();
        } else {
            WhenShown(dlg, action);
        }
    });
}

}  // namespace

class PortDlgTest : public QObject {
    Q_OBJECT

private slots:
    void portInUseIsPreselected_data() {
        QTest::addColumn<QString>("listing");
        QTest::addColumn<int>("portIn");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("current");
        const QString inUse = QStringLiteral("Aktualnie używany port: COM%1");
        const QString none = QStringLiteral("Aktualnie żaden port nie jest używany");
        QTest::newRow("COM12") << kThreePorts << 12 << 1 << inUse.arg(12);
        QTest::newRow("COM1 is not COM12") << "COM12:a\nCOM1:b\nCOM13:c\n"
                                           << 1 << 1 << inUse.arg(1);
        QTest::newRow("last match wins") << "COM3:a\nCOM4:b\nCOM3:c\n" << 3 << 2 << inUse.arg(3);
        QTest::newRow("gone") << kThreePorts << 7 << -1 << inUse.arg(7);
        QTest::newRow("none in use") << kThreePorts << 0 << -1 << none;
        QTest::newRow("negative is none") << kThreePorts << -1 << -1 << none;
    }
    void portInUseIsPreselected() {
        QFETCH(QString, listing);
        QFETCH(int, portIn);
        QFETCH(int, selected);
        QFETCH(QString, current);
        CPortDlg dlg(portIn, Listing(listing.toStdString()));
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Port szeregowy"));
        QCOMPARE(PortList(dlg)->currentIndex(), selected);
        QCOMPARE(dlg.findChild<QLabel*>(QStringLiteral("currentPortText"))->text(), current);
    }

    void listingFillsTheListOffTheGuiThreadOnce() {
        std::atomic<int> runs{0};
        std::thread::id listingThread;
        CPortDlg dlg(0, [&](const std::atomic<bool>&) {
            listingThread = std::this_thread::get_id();
            ++runs;
            return std::string(kThreePorts);
        });
        QCOMPARE(PortList(dlg)->count(), 0);
        dlg.show();
        dlg.hide();
        dlg.show();
        QCOMPARE(runs.load(), 1);
        QVERIFY(listingThread != std::thread::id());
        QVERIFY(listingThread != std::this_thread::get_id());
        const QStringList expected = {
            QStringLiteral("COM1 (Port szeregowy, /dev/ttyS0)"),
            QStringLiteral("COM12 (FTDI FT232R USB UART, /dev/ttyUSB0)"),
            QStringLiteral("COM200 (→ /dev/pts/5)"),
        };
        QStringList shown;
        for (int i = 0; i < PortList(dlg)->count(); ++i) {
            shown << PortList(dlg)->itemText(i);
        }
        QCOMPARE(shown, expected);
        QCOMPARE(PortList(dlg)->itemData(1, Qt::ToolTipRole).toString(), expected[1]);
    }

    void okHandsBackTheChosenNumber() {
        RecordingSink sink;
        CPortDlg dlg(1, Listing(kThreePorts));
        dlg.SetMessageSink(&sink);
        WhenShown(dlg, [&dlg] {
            PortList(dlg)->setCurrentIndex(2);
            ClickOk(dlg);
        });
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        QCOMPARE(dlg.PortNumber(), 200);
        QVERIFY(sink.boxes.empty());
    }

    void entriesWithoutANumberAreRefused_data() {
        QTest::addColumn<QString>("listing");
        QTest::addColumn<int>("index");
        QTest::newRow("no ports") << "" << -1;
        QTest::newRow("nothing selected") << kThreePorts << -1;
        QTest::newRow("COM0") << "COM0:x\n" << 0;
        QTest::newRow("no number") << "COMx:x\n" << 0;
        QTest::newRow("name only") << "COM\n" << 0;
    }
    void entriesWithoutANumberAreRefused() {
        QFETCH(QString, listing);
        QFETCH(int, index);
        RecordingSink sink;
        CPortDlg dlg(5, Listing(listing.toStdString()));
        dlg.SetMessageSink(&sink);
        dlg.show();
        PortList(dlg)->setCurrentIndex(index);
        ClickOk(dlg);
        QVERIFY(dlg.isVisible());
        QCOMPARE(sink.Texts(), QStringList{QStringLiteral("Nie wybrano żadnego portu.")});
        QCOMPARE(dlg.PortNumber(), 5);
    }

    void cancelKeepsThePortInUse() {
        CPortDlg dlg(12, Listing(kThreePorts));
        WhenShown(dlg, [&dlg] {
            PortList(dlg)->setCurrentIndex(2);
            QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("cancelButton")),
                              Qt::LeftButton);
        });
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QCOMPARE(dlg.PortNumber(), 12);
    }
};

}  // namespace tk358::test

QTEST_MAIN(tk358::test::PortDlgTest)
#include "port_dlg_test.moc"
