// SPDX-License-Identifier: GPL-3.0-or-later
// `tk358 --plot` as cron runs it: no display, an image of the asked size from
// the program's own log format, split into files as a rotation splits it, and
// a clear message with its exit code for everything else.

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A day of 10-s lines as the log writes them under the C locale, the
// temperature rising by a tenth every ten minutes, split after `split` lines.
void WriteDay(const QString& first, const QString& second, int split) {
    QFile a(first);
    QFile b(second);
    QVERIFY(a.open(QIODevice::WriteOnly) && b.open(QIODevice::WriteOnly));
    a.write(QStringLiteral("Data i Godzina;Temperatura °C;Wartość zadana °C\r\n").toUtf8());
    QDateTime t(QDate(2026, 12, 8), QTime(0, 0));
    for (int i = 0; i < 8640; ++i, t = t.addSecs(10)) {
        const QString line = QLocale::c().toString(t, QStringLiteral("ddd MMM d HH:mm:ss yyyy")) +
                             QStringLiteral(";%1,%2;22,0\r\n").arg(20 + i / 600).arg(i / 60 % 10);
        (i < split ? a : b).write(line.toUtf8());
    }
}

}  // namespace

class PlotProcessTest : public QObject {
    Q_OBJECT

private slots:
    void plotsWithoutADisplay_data();
    void plotsWithoutADisplay();
};

void PlotProcessTest::plotsWithoutADisplay_data() {
    QTest::addColumn<QStringList>("arguments");  // FIRST, SECOND, GARBAGE, OUT replaced
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QSize>("size");       // of the image written; empty: none
    QTest::addColumn<QString>("message");  // part of stderr
    const QStringList both{"--plot", "FIRST", "SECOND"};
    QTest::newRow("png of the asked size")
        << (both + QStringList{"-o", "OUT.png", "--size", "640x360"}) << 0 << QSize(640, 360)
        << QString();
    QTest::newRow("a morning as svg")
        << (both + QStringList{"-o", "OUT.svg", "--from", "2026-12-08 06:00", "--to",
                               "2026-12-08T12:00:00"})
        << 0 << QSize(1200, 600) << QString();
    QTest::newRow("garbage") << QStringList{"--plot", "GARBAGE", "-o", "OUT.png"} << 5 << QSize()
                             << QStringLiteral("brak odczytów do narysowania");
    QTest::newRow("no output") << both << 2 << QSize() << QStringLiteral("-o OBRAZ");
    QTest::newRow("bad time") << (both + QStringList{"-o", "OUT.png", "--from", "wczoraj"}) << 2
                              << QSize() << QStringLiteral("Błędny czas: wczoraj");
    QTest::newRow("bad size") << (both + QStringList{"-o", "OUT.png", "--size", "12x5"}) << 2
                              << QSize() << QStringLiteral("Błędny rozmiar: 12x5");
    QTest::newRow("unwritable") << (both + QStringList{"-o", "/nonexistent/dir/x.png"}) << 7
                                << QSize() << QStringLiteral("nie można zapisać pliku");
}

void PlotProcessTest::plotsWithoutADisplay() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QSize, size);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("log.csv"));
    const QString second = dir.filePath(QStringLiteral("log-2.csv"));
    WriteDay(first, second, 5000);
    const QString garbage = dir.filePath(QStringLiteral("garbage.bin"));
    {
        QFile file(garbage);
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 4096; ++i) {
            file.putChar(static_cast<char>((i * 7919) % 251));
        }
    }
    const QString out = dir.filePath(QStringLiteral("out"));
    for (QString& arg : arguments) {
        arg.replace(QStringLiteral("FIRST"), first)
            .replace(QStringLiteral("SECOND"), second)
            .replace(QStringLiteral("GARBAGE"), garbage)
            .replace(QStringLiteral("OUT"), out);
    }
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));  // as under cron
    env.insert(QStringLiteral("TZ"), QStringLiteral("Europe/Warsaw"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(TK358_EXECUTABLE), arguments);
    QVERIFY(program.waitForFinished(60000));
    const QString errors = QString::fromUtf8(program.readAllStandardError());
    QCOMPARE(program.exitCode(), exitCode);
    QVERIFY2(errors.contains(message), qPrintable(errors));
    if (exitCode == 0) {
        QVERIFY2(errors.isEmpty(), qPrintable(errors));  // nothing to mail from cron
    }
    const QString written = arguments.contains(out + QStringLiteral(".svg"))
                                ? out + QStringLiteral(".svg")
                                : out + QStringLiteral(".png");
    if (size.isEmpty()) {
        QVERIFY(!QFile::exists(written));
        return;
    }
    if (written.endsWith(QLatin1String(".svg"))) {
        QFile file(written);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray svg = file.readAll();
        QVERIFY(svg.contains(
            QStringLiteral("viewBox=\"0 0 %1 %2\"").arg(size.width()).arg(size.height()).toUtf8()));
        QVERIFY(svg.count("<polyline") + svg.count("<path") > 0);
        return;
    }
    QImage image(written);
    QCOMPARE(image.size(), size);
    // The temperature is drawn: some pixels are neither white nor grey.
    int coloured = 0;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            const QColor c = image.pixelColor(x, y);
            coloured += c.red() != c.green() || c.green() != c.blue() ? 1 : 0;
        }
    }
    QVERIFY2(coloured > 100, qPrintable(QString::number(coloured)));
}

QTEST_GUILESS_MAIN(PlotProcessTest)
#include "plot_process_test.moc"
