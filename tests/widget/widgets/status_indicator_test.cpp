// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/status_indicator.h"

#include <QSignalSpy>
#include <QtTest>

#include "support/shown_picture.h"
#include "widget_test_support.h"

namespace tk358 {

class StatusIndicatorTest : public QObject {
    Q_OBJECT

private slots:
    void showsEachImageOnce();
    void imagesAreTheProgramsOwnAndDistinct();
    void applicationIconComesInEverySize();
};

void StatusIndicatorTest::showsEachImageOnce() {
    StatusIndicator indicator;
    QCOMPARE(indicator.size(), QSize(24, 24));
    QCOMPARE(test::ShownStatusImage(indicator), StatusImage::kNone);
    QSignalSpy changes(&indicator, &StatusIndicator::imageChanged);
    struct Step {
        void (StatusIndicator::*show)();
        StatusImage shown;
        int changes;
    };
    const Step steps[] = {
        {&StatusIndicator::ShowNoLink, StatusImage::kNoLink, 1},
        {&StatusIndicator::ShowNoLink, StatusImage::kNoLink, 0},
        {&StatusIndicator::ShowCorrect, StatusImage::kCorrect, 1},
        {&StatusIndicator::ShowCorrect, StatusImage::kCorrect, 0},
        {&StatusIndicator::ShowError, StatusImage::kError, 1},
        {&StatusIndicator::ShowNoLink, StatusImage::kNoLink, 1},
    };
    for (const Step& step : steps) {
        changes.clear();
        (indicator.*step.show)();
        QCOMPARE(test::ShownStatusImage(indicator), step.shown);
        QCOMPARE(changes.count(), step.changes);
    }
}

void StatusIndicatorTest::imagesAreTheProgramsOwnAndDistinct() {
    StatusIndicator indicator;
    indicator.show();
    QVERIFY(QTest::qWaitForWindowExposed(&indicator));
    const QImage empty = indicator.grab().toImage();

    // Colour in the middle of each image: green, red-orange, grey.
    indicator.ShowCorrect();
    const QColor correct = indicator.grab().toImage().pixelColor(12, 4);
    indicator.ShowError();
    const QColor error = indicator.grab().toImage().pixelColor(6, 18);
    indicator.ShowNoLink();
    const QImage noLinkImage = indicator.grab().toImage();
    const QColor noLink = noLinkImage.pixelColor(5, 12);

    QVERIFY(noLinkImage != empty);
    QVERIFY2(correct.green() > correct.red() + 60, qPrintable(correct.name()));
    QVERIFY2(error.red() > error.green() + 60, qPrintable(error.name()));
    QVERIFY2(qAbs(noLink.red() - noLink.green()) < 20 && qAbs(noLink.green() - noLink.blue()) < 20,
             qPrintable(noLink.name()));
    QVERIFY(noLink != empty.pixelColor(5, 12));
}

void StatusIndicatorTest::applicationIconComesInEverySize() {
    const QIcon icon = ApplicationIcon();
    QVERIFY(!icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
    }
    QVERIFY(!StatusIcon(StatusImage::kCorrect).pixmap(48, 48).isNull());
    QVERIFY(StatusIcon(StatusImage::kNone).isNull());
}

}  // namespace tk358

QTEST_MAIN(tk358::StatusIndicatorTest)
#include "status_indicator_test.moc"
