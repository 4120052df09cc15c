#include "app/dialog_wiring.h"

#include "dialogs/about_dlg.h"
#include "dialogs/log_setup_dlg.h"
#include "dialogs/panel_menu_commands.h"
#include "dialogs/param_dialogs.h"
#include "dialogs/port_dlg.h"
#include "monitor/log_controller.h"
#include "monitor/main_window.h"
#include "monitor/trend_controller.h"
#include "widgets/help_viewer.h"

namespace tk358 {

void WireDialogs(MainWindow& window) {
    WindowHooks& hooks = window.Hooks();

    hooks.choosePort = [](QWidget* parent, int current) -> std::optional<int> {
        CPortDlg dialog(current, SystemPortListing(), parent);
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return dialog.PortNumber();
    };

    // The Panel menu's dialogs show their own refusals through the window's
    // message boxes.
    const auto command = [](int (*run)(PanelAccess&, QWidget*, MessageSink*)) {
        return [run](QWidget* parent, PanelAccess& panel, MessageSink& messages) {
            run(panel, parent, &messages);
        };
    };
    hooks.panelInfo = command(RunPanelInfoCommand);
    hooks.setpoint = command(RunSetpointCommand);
    hooks.pid = command(RunPidCommand);
    hooks.cv = command(RunCvCommand);
    hooks.clock = command(RunClockCommand);

    hooks.regulation = [](QWidget* parent, PanelAccess& panel, MessageSink& messages,
                          const ParamDialogChoice& choice) {
        if (std::unique_ptr<PanelDialog> dialog = MakeParamDialog(panel, choice, parent)) {
            dialog->SetMessageSink(&messages);
            dialog->exec();
        }
    };

    hooks.help = [](QWidget* parent) { OpenHelp(parent); };
    hooks.about = ShowAboutBox;

    // The measurement log; a child of the window, it closes its file when
    // the window is destroyed.
    new LogController(window,
                      [](QWidget* parent, const LogSetup& current,
                         MessageSink& messages) -> std::optional<LogSetup> {
                          CLogSetupDlg dialog(current, parent);
                          dialog.SetMessageSink(&messages);
                          if (dialog.exec() != QDialog::Accepted) {
                              return std::nullopt;
                          }
                          return dialog.Result();
                      });

    // The trend view records from the start; the window owns it.
    auto* trend = new TrendController(window);
    hooks.trend = [trend](QWidget*) { trend->Open(); };
}

}  // namespace tk358
