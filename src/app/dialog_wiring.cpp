#include "app/dialog_wiring.h"

#include "dialogs/dlg_canal.h"
#include "dialogs/port_dlg.h"
#include "monitor/main_window.h"

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

    hooks.chooseZone = [](QWidget* parent) -> std::optional<int> {
        CDlgCanal dialog(0, parent);
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return dialog.Zone();
    };

    // Not connected yet, each waiting for its dialog or flow: panelInfo, setpoint, regulation, pid,
    // cv, clock, help, about, logStart, logSetup and loggingState.
}

}  // namespace tk358
