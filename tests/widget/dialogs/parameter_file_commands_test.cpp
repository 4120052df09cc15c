// SPDX-License-Identifier: GPL-3.0-or-later
// The "Panel" menu's file commands once the file is chosen: what is saved,
// and that a file that cannot be used is refused before the panel is read.

#include <QTemporaryDir>
#include <QtTest>

#include "backup/backup_file.h"
#include "dialogs/parameter_file_commands.h"
#include "link/parameter_codes.h"
#include "recording_sink.h"
#include "support/fake_panel.h"

namespace tk358::test {
namespace {

using namespace param;

class ParameterFileCommandsTest : public QObject {
    Q_OBJECT

private slots:
    // Each code is read from the panel, and the file holds what it answered.
    void saveReadsEveryCodeAfresh() {
        FakePanel panel;
        panel.Connect(kThresholdRegulator);
        panel.identity.firmwareVersion = 100;
        panel.parameters.Store(kDayT1, -2000);
        panel.parameters.Store(kDayH2, 255);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("c.tk358par"));
        RecordingSink sink;
        SaveParametersTo(panel, path, nullptr, sink);
        QCOMPARE(panel.CallTexts(),
                 (std::vector<std::string>{"ReadParameter(90)", "ReadParameter(91)",
                                           "ReadParameter(92)", "ReadParameter(93)"}));
        const BackupFileCheck check = LoadBackupFile(path.toStdString(), kThresholdRegulator);
        QVERIFY2(check.backup, check.error.c_str());
        QCOMPARE(check.backup->Find(kDayT1)->value, -2000.0);
        QCOMPARE(check.backup->Find(kDayH2)->value, 255.0);
        QCOMPARE(check.backup->panel.firmware, 100);
        QCOMPARE(sink.Texts().size(), 1);
        QVERIFY(sink.Texts().front().startsWith(QStringLiteral("Zapisano 4 parametrów")));
    }

    // A panel that does not answer a read leaves no file behind.
    void failedReadSavesNothing() {
        FakePanel panel;
        panel.Connect(kDrainValveController);
        panel.ScriptStatuses({kStatusOk, kStatusFailed});
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("z.tk358par"));
        RecordingSink sink;
        SaveParametersTo(panel, path, nullptr, sink);
        QVERIFY(!QFile::exists(path));
        QCOMPARE(
            sink.Texts(),
            QStringList{QStringLiteral("Nie można odczytać parametru DRAIN_TIME (Czas zrzutu)")});
    }

    void unusableFileIsRefusedBeforeAnyRead() {
        FakePanel panel;
        panel.Connect(kVentilationController);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.tk358par"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[PANEL]\r\nKIND=1\r\nFIRMWARE=1.05\r\n");
        file.close();
        RecordingSink sink;
        LoadParametersFrom(panel, path, nullptr, sink);
        QCOMPARE(sink.Texts().size(), 1);
        QVERIFY(sink.Texts().front().contains(QStringLiteral("innego rodzaju")));
        QVERIFY(panel.CallTexts().empty());
    }
};

}  // namespace
}  // namespace tk358::test

QTEST_MAIN(tk358::test::ParameterFileCommandsTest)
#include "parameter_file_commands_test.moc"
