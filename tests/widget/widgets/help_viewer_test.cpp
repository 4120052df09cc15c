// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the help: which page, and what the user is told when it fails.

#include <QFileInfo>
#include <QtTest>
#include <vector>

#include "widgets/help_viewer.h"

namespace tk358::test {

class HelpViewerTest : public QObject {
    Q_OBJECT

private slots:
    void aProgramInTheBuildTreeFindsItsHelp() {
        const QString index = HelpIndexPath();
        QVERIFY2(QFileInfo(index).isFile(), qPrintable(index));
        QCOMPARE(QFileInfo(index).fileName(), QStringLiteral("index.html"));
    }

    void opensOrExplains_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("browserOpens");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QString>("message");
        QTest::newRow("found and opened") << "/opt/tk358/help/index.html" << true << true << "";
        QTest::newRow("missing") << "" << true << false << HelpMissingMessage();
        QTest::newRow("no browser")
            << "/opt/tk358/help/index.html" << false << false
            << "Nie można otworzyć pomocy w przeglądarce internetowej.\n"
               "Pomoc można otworzyć ręcznie, to plik:\n/opt/tk358/help/index.html";
    }
    void opensOrExplains() {
        QFETCH(QString, path);
        QFETCH(bool, browserOpens);
        QFETCH(bool, opened);
        QFETCH(QString, message);
        std::vector<QUrl> urls;
        std::vector<QString> messages;
        const bool result = OpenHelpPage(
            nullptr, path,
            [&](const QUrl& url) {
                urls.push_back(url);
                return browserOpens;
            },
            [&](QWidget*, const QString& text) { messages.push_back(text); });
        QCOMPARE(result, opened);
        if (path.isEmpty()) {
            QVERIFY(urls.empty());
        } else {
            QCOMPARE(urls.size(), size_t{1});
            QCOMPARE(urls.front().toString(), QStringLiteral("file://") + path);
        }
        QCOMPARE(messages.size(), message.isEmpty() ? size_t{0} : size_t{1});
        if (!message.isEmpty()) {
            QCOMPARE(messages.front(), message);
        }
    }
};

}  // namespace tk358::test

QTEST_MAIN(tk358::test::HelpViewerTest)
#include "help_viewer_test.moc"
