// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/panel_menu_commands.h"

#include <QDialog>

#include "dialogs/cv_dlg.h"
#include "dialogs/dlg_canal.h"
#include "dialogs/message_box.h"
#include "dialogs/panel_info_dlg.h"
#include "dialogs/pid_dlg.h"
#include "dialogs/sp_time_value_dlg.h"
#include "dialogs/sp_value_dlg.h"
#include "dialogs/time_dlg.h"
#include "link/panel_access.h"
#include "present/panel_commands.h"

namespace tk358 {

namespace {

int RunPanelDialog(PanelDialog& dialog, MessageSink* sink) {
    dialog.SetMessageSink(sink);
    return dialog.exec();
}

}  // namespace

int RunPanelInfoCommand(PanelAccess& session, QWidget* parent, MessageSink* sink) {
    const std::optional<PanelInfoRecords> records = ReadPanelInfoRecords(session);
    if (!records) {
        MessageBoxSink boxes;
        (sink != nullptr ? *sink : boxes)
            .Show(parent, MessageIcon::Plain,
                  QStringLiteral("Nie można odczytać informacji o panelu"));
        return QDialog::Rejected;
    }
    CPanelInfoDlg dialog(records->info, records->identity, parent);
    return dialog.exec();
}

int RunSetpointCommand(PanelAccess& session, QWidget* parent, MessageSink* sink) {
    PanelIdentity identity;
    session.GetIdentity(identity);
    if (SetpointDialogFor(identity.deviceType) == SetpointDialogChoice::kDualZone) {
        CSPTimeValueDlg dialog(session, parent);
        return RunPanelDialog(dialog, sink);
    }
    CSPValueDlg dialog(session, parent);
    return RunPanelDialog(dialog, sink);
}

int RunPidCommand(PanelAccess& session, QWidget* parent, MessageSink* sink) {
    PanelIdentity identity;
    session.GetIdentity(identity);
    int zone = 0;
    switch (PidMenuActionFor(identity)) {
        case PidMenuAction::kNothing:
            return QDialog::Rejected;
        case PidMenuAction::kAskZone: {
            CDlgCanal choice(0, parent);
            choice.SetMessageSink(sink);
            if (choice.exec() != QDialog::Accepted) {
                return QDialog::Rejected;
            }
            zone = choice.Zone();
            break;
        }
        case PidMenuAction::kOpenZone0:
            break;
    }
    CPIDDlg dialog(session, zone, parent);
    return RunPanelDialog(dialog, sink);
}

int RunCvCommand(PanelAccess& session, QWidget* parent, MessageSink* sink) {
    CCvDlg dialog(session, parent);
    return RunPanelDialog(dialog, sink);
}

int RunClockCommand(PanelAccess& session, QWidget* parent, MessageSink* sink) {
    CTimeDlg dialog(session, parent);
    return RunPanelDialog(dialog, sink);
}

}  // namespace tk358
