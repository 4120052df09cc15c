// SPDX-License-Identifier: GPL-3.0-or-later
// "Wybór toru pomiarowego": the preselected zone and the zone handed back.

#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "dialogs/dlg_canal.h"
#include "recording_sink.h"

namespace tk358::test {

class DlgCanalTest : public QObject {
    Q_OBJECT

private slots:
    void zoneInAndOut_data() {
        QTest::addColumn<int>("zoneIn");
        QTest::addColumn<bool>("zone2Checked");
        QTest::addColumn<QString>("click");
        QTest::addColumn<int>("zoneOut");
        QTest::newRow("0 kept") << 0 << false << "" << 0;
        QTest::newRow("1 kept") << 1 << true << "" << 1;
        QTest::newRow("any nonzero is zone 2") << 7 << true << "" << 1;
        QTest::newRow("negative is zone 2") << -1 << true << "" << 1;
        QTest::newRow("0 changed to 2") << 0 << false << "zone2Radio" << 1;
        QTest::newRow("1 changed to 1") << 1 << true << "zone1Radio" << 0;
    }
    void zoneInAndOut() {
        QFETCH(int, zoneIn);
        QFETCH(bool, zone2Checked);
        QFETCH(QString, click);
        QFETCH(int, zoneOut);
        RecordingSink sink;
        CDlgCanal dlg(zoneIn);
        dlg.SetMessageSink(&sink);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Wybór toru pomiarowego"));
        auto* zone1 = dlg.findChild<QRadioButton*>(QStringLiteral("zone1Radio"));
        auto* zone2 = dlg.findChild<QRadioButton*>(QStringLiteral("zone2Radio"));
        QCOMPARE(zone1->text(), QStringLiteral("Strefa 1"));
        QCOMPARE(zone2->text(), QStringLiteral("Strefa 2"));
        QCOMPARE(zone2->isChecked(), zone2Checked);
        QCOMPARE(zone1->isChecked(), !zone2Checked);
        if (!click.isEmpty()) {
            auto* radio = dlg.findChild<QRadioButton*>(click);
            QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
        }
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.Zone(), zoneOut);
        QVERIFY(sink.boxes.empty());
    }

    void neitherCheckedIsRefused() {
        RecordingSink sink;
        CDlgCanal dlg(0);
        dlg.SetMessageSink(&sink);
        dlg.show();
        auto* zone1 = dlg.findChild<QRadioButton*>(QStringLiteral("zone1Radio"));
        zone1->setAutoExclusive(false);
        zone1->setChecked(false);
        dlg.accept();
        QCOMPARE(sink.Texts(), QStringList{QStringLiteral("Wybierz tor pomiarowy")});
        QCOMPARE(sink.boxes.front().icon, MessageIcon::Warning);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }
};

}  // namespace tk358::test

QTEST_MAIN(tk358::test::DlgCanalTest)
#include "dlg_canal_test.moc"
