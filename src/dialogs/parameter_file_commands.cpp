// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/parameter_file_commands.h"

#include <QDate>
#include <QDir>
#include <QFileDialog>

#include "backup/backup_file.h"
#include "dialogs/compare_dlg.h"
#include "dialogs/message_box.h"
#include "dialogs/set_read_dlg.h"
#include "link/panel_access.h"
#include "panel/panel_model.h"
#include "tk358_version.h"

namespace tk358 {

namespace {

const QString kFilter = QStringLiteral("Parametry panelu (*.tk358par);;Wszystkie pliki (*)");
const QString kNoPanel =
    QStringLiteral("Nie można odczytać parametrów: panel nie został rozpoznany");

std::optional<PanelIdentity> KnownPanel(PanelAccess& session) {
    PanelIdentity id;
    if (session.GetIdentity(id) != kStatusOk || id.identified == 0 ||
        id.deviceType >= kUnknownDevice) {
        return std::nullopt;
    }
    return id;
}

// The panel's set read afresh, or nothing after telling why.
std::optional<ParameterBackup> ReadSet(PanelAccess& session, QWidget* parent, MessageSink& sink) {
    CSetReadDlg reading(session, parent);
    reading.exec();
    const SetReadResult& result = reading.Result();
    if (result.status == ReadStatus::kCancelled) {
        return std::nullopt;
    }
    if (result.status != ReadStatus::kOk) {
        sink.Show(parent, MessageIcon::Warning, QString::fromStdString(ReadFailureText(result)));
        return std::nullopt;
    }
    return result.set;
}

QString DefaultName(const PanelIdentity& id) {
    return QStringLiteral("%1_%2_%3.tk358par")
        .arg(QString::fromUtf8(PanelModelName(id.deviceType)), QString::number(id.serialNumber),
             QDate::currentDate().toString(Qt::ISODate));
}

}  // namespace

void SaveParametersTo(PanelAccess& session, const QString& path, QWidget* parent,
                      MessageSink& sink) {
    std::optional<ParameterBackup> set = ReadSet(session, parent, sink);
    if (!set) {
        return;
    }
    set->panel.date = IsoLocalTimeNow();
    set->panel.version = TK358_VERSION;
    std::string error;
    if (!SaveBackupFile(path.toStdString(), *set, &error)) {
        sink.Show(parent, MessageIcon::Warning, QString::fromStdString(error));
        return;
    }
    sink.Notify(parent, MessageIcon::Information,
                QStringLiteral("Zapisano %1 parametrów do pliku %2")
                    .arg(set->values.size())
                    .arg(QDir::toNativeSeparators(path)));
}

void LoadParametersFrom(PanelAccess& session, const QString& path, QWidget* parent,
                        MessageSink& sink) {
    const std::optional<PanelIdentity> id = KnownPanel(session);
    if (!id) {
        sink.Show(parent, MessageIcon::Warning, kNoPanel);
        return;
    }
    // The file is checked whole before the panel is even read.
    const BackupFileCheck check = LoadBackupFile(path.toStdString(), id->deviceType);
    if (!check.backup) {
        sink.Show(parent, MessageIcon::Warning, QString::fromStdString(check.error));
        return;
    }
    std::optional<ParameterBackup> panelSet = ReadSet(session, parent, sink);
    if (!panelSet) {
        return;
    }
    CCompareDlg dialog(session, std::move(*panelSet), *check.backup, path, parent);
    dialog.SetMessageSink(&sink);
    dialog.exec();
}

void RunSaveParametersCommand(PanelAccess& session, QWidget* parent, MessageSink* sink) {
    MessageBoxSink boxes;
    MessageSink& messages = sink != nullptr ? *sink : boxes;
    const std::optional<PanelIdentity> id = KnownPanel(session);
    if (!id) {
        messages.Show(parent, MessageIcon::Warning, kNoPanel);
        return;
    }
    QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Zapisz parametry do pliku"),
                                                QDir::home().filePath(DefaultName(*id)), kFilter);
    if (path.isEmpty()) {
        return;
    }
    if (!path.endsWith(QLatin1String(kBackupFileSuffix))) {
        path += QLatin1String(kBackupFileSuffix);
    }
    SaveParametersTo(session, path, parent, messages);
}

void RunLoadParametersCommand(PanelAccess& session, QWidget* parent, MessageSink* sink) {
    MessageBoxSink boxes;
    MessageSink& messages = sink != nullptr ? *sink : boxes;
    const QString path = QFileDialog::getOpenFileName(
        parent, QStringLiteral("Wczytaj parametry z pliku"), QDir::homePath(), kFilter);
    if (!path.isEmpty()) {
        LoadParametersFrom(session, path, parent, messages);
    }
}

}  // namespace tk358
