// SPDX-License-Identifier: GPL-3.0-or-later
// The real message boxes carry the icon of their kind: plain notices none.

#include <QMessageBox>
#include <QtTest>

#include "dialogs/message_box.h"

Q_DECLARE_METATYPE(tk358::MessageIcon)

namespace tk358::test {

class MessageBoxTest : public QObject {
    Q_OBJECT

private slots:
    void boxShowsTheIconOfItsKind_data() {
        QTest::addColumn<MessageIcon>("kind");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::newRow("plain") << MessageIcon::Plain << QMessageBox::NoIcon;
        QTest::newRow("warning") << MessageIcon::Warning << QMessageBox::Warning;
        QTest::newRow("information") << MessageIcon::Information << QMessageBox::Information;
    }
    void boxShowsTheIconOfItsKind() {
        QFETCH(MessageIcon, kind);
        QFETCH(QMessageBox::Icon, icon);
        MessageBoxSink boxes;
        const QPointer<QObject> shown = boxes.Notify(nullptr, kind, QStringLiteral("Tekst"));
        auto* box = qobject_cast<QMessageBox*>(shown.data());
        QVERIFY(box != nullptr);
        QCOMPARE(box->icon(), icon);
        QCOMPARE(box->text(), QStringLiteral("Tekst"));
        QCOMPARE(box->windowTitle(), QStringLiteral("tk358"));
        QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        box->close();
    }

    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("tk358")); }
};

}  // namespace tk358::test

QTEST_MAIN(tk358::test::MessageBoxTest)
#include "message_box_test.moc"
