// SPDX-License-Identifier: GPL-3.0-or-later
// "O programie": version, links with their targets, a readable layout.

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "../widgets/widget_test_support.h"
#include "dialogs/about_dlg.h"
#include "support/hyperlink_label_probe.h"
#include "tk358_version.h"
#include "widgets/hyperlink_label.h"

namespace tk358::test {

class AboutDlgTest : public QObject {
    Q_OBJECT

private slots:
    void showsNameVersionAndIcon() {
        CAboutDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("O programie"));
        QCOMPARE(dlg.findChild<QLabel*>(QStringLiteral("programName"))->text(),
                 QStringLiteral("tk358"));
        QCOMPARE(dlg.findChild<QLabel*>(QStringLiteral("versionText"))->text(),
                 QStringLiteral("Wersja " TK358_VERSION));
        QCOMPARE(dlg.findChild<QLabel*>(QStringLiteral("licenseText"))->text(),
                 QStringLiteral("Licencja: GPL-3.0-or-later"));
        // The icon comes from resources compiled into a static library.
        QVERIFY(!dlg.findChild<QLabel*>(QStringLiteral("programIcon"))->pixmap().isNull());
    }

    void linksShowTheirTargets_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("target");
        QTest::newRow("mail") << "mailLink"
                              << "serwis@tk358.example"
                              << "mailto:serwis@tk358.example";
        QTest::newRow("web") << "webLink"
                             << "tk358.example"
                             << "https://tk358.example/";
    }
    void linksShowTheirTargets() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, target);
        CAboutDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        auto* link = dlg.findChild<HyperlinkLabel*>(name);
        QVERIFY(link != nullptr);
        QCOMPARE(link->text(), text);
        QCOMPARE(link->GetTarget(), target);
        QCOMPARE(link->toolTip(), target);
        // Cut to its text, the link must still show all of it.
        QVERIFY(link->width() >= QFontMetrics(link->font()).horizontalAdvance(text));
        QVERIFY(dlg.rect().contains(QRect(link->mapTo(&dlg, QPoint(0, 0)), link->size())));

        QUrl opened;
        test::HyperlinkLabelProbe::SetOpener(*link, [&opened](const QUrl& url) {
            opened = url;
            return true;
        });
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, link->height() / 2));
        QCOMPARE(opened, QUrl(target));
    }

    void closeButtonEndsTheBox() {
        QWidget owner;
        owner.show();
        bool closed = false;
        OnNextModal<CAboutDlg>([&closed](CAboutDlg* dlg) {
            auto* close = dlg->findChild<QPushButton*>(QStringLiteral("closeButton"));
            QCOMPARE(close->text(), QStringLiteral("Zamknij"));
            QTest::mouseClick(close, Qt::LeftButton);
            closed = true;
        });
        ShowAboutBox(&owner);
        QVERIFY(closed);
    }
};

}  // namespace tk358::test

QTEST_MAIN(tk358::test::AboutDlgTest)
#include "about_dlg_test.moc"
