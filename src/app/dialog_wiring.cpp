// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/dialog_wiring.h"

#include <ctime>

#include "dialogs/about_dlg.h"
#include "dialogs/log_setup_dlg.h"
#include "dialogs/panel_menu_commands.h"
#include "dialogs/param_dialogs.h"
#include "dialogs/parameter_file_commands.h"
#include "dialogs/port_dlg.h"
#include "monitor/log_controller.h"
#include "monitor/main_window.h"
#include "monitor/trend_controller.h"
#include "trend/trend_backfill.h"
#include "widgets/help_viewer.h"

namespace tk358 {

namespace {

using PanelCommand = int (*)(PanelAccess&, QWidget*, MessageSink*);
using PanelSignal = void (MainWindow::*)(QWidget*, PanelAccess&, MessageSink&);

// The Panel menu's dialogs show their own refusals through the window's
// message boxes.
void ConnectPanelCommand(MainWindow& window, PanelSignal signal, PanelCommand run) {
    QObject::connect(&window, signal, &window,
                     [run](QWidget* parent, PanelAccess& panel, MessageSink& messages) {
                         run(panel, parent, &messages);
                     });
}

LogController& MakeLog(MainWindow& window) {
    // A child of the window, it closes its file when the window is destroyed.
    return *new LogController(window,
                              [](QWidget* parent, const LogSetup& current,
                                 MessageSink& messages) -> std::optional<LogSetup> {
                                  CLogSetupDlg dialog(current, parent);
                                  dialog.SetMessageSink(&messages);
                                  if (dialog.exec() != QDialog::Accepted) {
                                      return std::nullopt;
                                  }
                                  return dialog.Result();
                              });
}

// The trend view records from the start; its export writes the log's format.
void WireTrend(MainWindow& window, TrendController& trend, const LogController& log) {
    QObject::connect(&window, &MainWindow::ticked, &trend, &TrendController::Tick);
    QObject::connect(&window, &MainWindow::closed, &trend, &TrendController::HideForEnd);
    QObject::connect(&window, &MainWindow::trendRequested, &trend, [&trend] { trend.Open(); });
    trend.SetCsvOptionsSource([&log] {
        TrendCsvOptions options;
        options.separatorCode = log.Options().sepFormat;
        options.decimalCode = log.Options().decSeparator;
        return options;
    });
}

}  // namespace

WiredParts WireDialogs(MainWindow& window) {
    window.Hooks().choosePort = [](QWidget* parent, int current) -> std::optional<int> {
        CPortDlg dialog(current, SystemPortListing(), parent);
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return dialog.PortNumber();
    };

    ConnectPanelCommand(window, &MainWindow::panelInfoRequested, RunPanelInfoCommand);
    ConnectPanelCommand(window, &MainWindow::setpointRequested, RunSetpointCommand);
    ConnectPanelCommand(window, &MainWindow::pidRequested, RunPidCommand);
    ConnectPanelCommand(window, &MainWindow::cvRequested, RunCvCommand);
    ConnectPanelCommand(window, &MainWindow::clockRequested, RunClockCommand);
    QObject::connect(&window, &MainWindow::saveParametersRequested, &window,
                     [](QWidget* parent, PanelAccess& panel, MessageSink& messages) {
                         RunSaveParametersCommand(panel, parent, &messages);
                     });
    QObject::connect(&window, &MainWindow::loadParametersRequested, &window,
                     [](QWidget* parent, PanelAccess& panel, MessageSink& messages) {
                         RunLoadParametersCommand(panel, parent, &messages);
                     });
    QObject::connect(
        &window, &MainWindow::regulationRequested, &window,
        [](QWidget* parent, PanelAccess& panel, MessageSink& messages,
           const ParamDialogChoice& choice) {
            if (std::unique_ptr<PanelDialog> dialog = MakeParamDialog(panel, choice, parent)) {
                dialog->SetMessageSink(&messages);
                dialog->exec();
            }
        });

    QObject::connect(&window, &MainWindow::helpRequested, &window,
                     [](QWidget* parent) { OpenHelp(parent); });
    QObject::connect(&window, &MainWindow::aboutRequested, &window, &ShowAboutBox);

    LogController& log = MakeLog(window);
    WireLog(window, log);
    auto* trend = new TrendController(window);
    WireTrend(window, *trend, log);
    return {log, *trend};
}

void WireLog(MainWindow& window, LogController& log) {
    window.Hooks().loggingState = [&log] { return log.State(); };
    QObject::connect(&window, &MainWindow::logStartDue, &log, &LogController::StartUpOpen);
    QObject::connect(&window, &MainWindow::logSetupRequested, &log, &LogController::RunSetup);
}

void ApplyAppSettings(MainWindow& window, const WiredParts& parts, const AppSettings& settings) {
    window.ApplySettings(settings);
    parts.log.ApplySettings(settings);
    parts.trend.ApplySettings(settings.trend);
    // A restart costs no curve: the chart goes on from the log being written.
    if (settings.log.fileLog && !settings.log.fileName.empty()) {
        BackfillFromLog(parts.trend.Recorder(), settings.log.fileName, std::time(nullptr));
    }
}

void StoreAppSettings(const MainWindow& window, const WiredParts& parts, AppSettings& settings) {
    window.StoreSettings(settings);
    parts.log.StoreSettings(settings);
    settings.trend = parts.trend.Settings();
}

}  // namespace tk358
