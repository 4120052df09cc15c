// SPDX-License-Identifier: GPL-3.0-or-later
// The chart window on measurement logs: a log dropped on (or opened in) the
// window replaces the live curves with the file's, the title names it, the
// export writes its lines, "Bieżące" returns to the live view, and a file
// without readings is reported.

#include <QAbstractButton>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include "monitor/trend_chart.h"
#include "monitor/trend_window.h"
#include "support/mnemonics.h"
#include "trend/trend_recorder.h"
#include "widget/dialogs/recording_sink.h"

namespace tk358 {
namespace {

// Two days of 60-s lines in the ISO layout, "???" for an hour of the first.
QByteArray TwoDays() {
    QByteArray text = "Data i Godzina;Temperatura °C;Wartość zadana °C\r\n";
    QDateTime t(QDate(2026, 12, 6), QTime(0, 0));
    for (int i = 0; i < 2 * 1440; ++i, t = t.addSecs(60)) {
        const QByteArray value =
            i >= 600 && i < 660 ? "???" : QByteArray::number(15 + i % 10) + ",5";
        text += t.toString(Qt::ISODate).replace(u'T', u' ').toUtf8() + ";" + value + ";21,0\r\n";
    }
    return text;
}

bool Write(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

}  // namespace

class HistoryWindowTest : public QObject {
    Q_OBJECT

private slots:
    void opensALogInPlaceOfTheLiveCurves();
};

void HistoryWindowTest::opensALogInPlaceOfTheLiveCurves() {
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("piec.csv"));
    const QString garbage = dir.filePath(QStringLiteral("notatki.txt"));
    QVERIFY(Write(log, TwoDays()));
    QVERIFY(Write(garbage, "nic tu nie ma\r\n"));
    TrendRecorder live;
    TrendWindow window(live);
    test::RecordingSink sink;
    window.SetMessageSink(&sink);
    window.resize(900, 500);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Every button of the bar answers its own Alt key.
    QStringList texts;
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        texts << button->text();
    }
    QCOMPARE(test::MnemonicFaults(texts), QStringList{});
    QVERIFY(texts.contains(QStringLiteral("Otwórz &rejestrację…")));

    // Dropped on the window, as from a file manager: the drop goes where the
    // drag was let in.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(log)});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);
    TrendChart& chart = *window.Chart();
    auto* follow = window.findChild<QPushButton*>(QStringLiteral("follow"));
    QTRY_VERIFY(chart.ShowingHistory());
    QCOMPARE(window.windowTitle(), QStringLiteral("Wykres — piec.csv — tk358"));
    QCOMPARE(chart.View().Span(), 2 * 86400.0 - 60);
    QCOMPARE(chart.CurvesShown(), (std::array<bool, kTrendCurves>{true, true, false}));
    QVERIFY(follow->isEnabled());

    // The export writes the file's lines in view, the hour of "???" too.
    const QString csv = dir.filePath(QStringLiteral("out.csv"));
    QVERIFY(window.SaveCsv(csv));
    QFile written(csv);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray exported = written.readAll();
    QCOMPARE(exported.count('\n'), 1 + 2 * 1440);
    QCOMPARE(exported.count("???"), 60);

    // A file without readings is reported; the history shown stays.
    window.OpenLogs({garbage});
    QTRY_COMPARE(sink.boxes.size(), std::size_t{1});
    QVERIFY(sink.boxes[0].text.contains(QStringLiteral("notatki.txt")));
    QVERIFY(chart.ShowingHistory());

    QTest::mouseClick(follow, Qt::LeftButton);
    QVERIFY(!chart.ShowingHistory());
    QCOMPARE(window.windowTitle(), QStringLiteral("Wykres — tk358"));
    QCOMPARE(chart.View().Span(), static_cast<double>(kTrendDefaultSpan));
}

}  // namespace tk358

QTEST_MAIN(tk358::HistoryWindowTest)
#include "history_window_test.moc"
