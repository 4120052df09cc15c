// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's only top-level window: the status line with its indicator,
// the service view and the three value displays, refreshed from the panel
// link on a 100 ms tick, and the menu from which the dialogs are opened.
//
// Life: construct, ApplySettings, Start (opens the port and places the window,
// still hidden), show, run until closed, StoreSettings. The window presents
// and coordinates; what each command's dialog does is connected to its
// signals, and what it asks for comes back through WindowHooks (src/app
// wires both).
//
// Ticks fall on the points of a 100 ms grid. The window sleeps through the
// points where nothing can have changed: it ticks on the first point after
// the link tells of news, after a shown reading stops being current and after
// something else it shows changed (RefreshSoon); without any of them it ticks
// once in every wall-clock second, late in the second. A link that tells
// nobody is looked at on every point.

#include <QMainWindow>
#include <QTimer>
#include <memory>

#include "dialogs/message_box.h"
#include "link/panel_connection.h"
#include "monitor/grid_ticker.h"
#include "monitor/window_hooks.h"
#include "panel/panel_menu_state.h"
#include "panel/readings_snapshot.h"
#include "present/display_rows.h"
#include "present/main_layout.h"
#include "present/param_dialog_choice.h"
#include "present/status_text.h"
#include "settings/app_settings.h"

namespace tk358 {

class ReadOnlyField;
class ServiceView;
class StatusIndicator;
class ValueDisplay;
class WindowMenu;

class MainWindow : public QMainWindow, private RecordsListener {
    Q_OBJECT

public:
    // How the window was closed: "Zamknij" (or the stop for an unsupported
    // panel) gives kOk, the close box kCancel.
    enum class Result { kOk, kCancel };
    Q_ENUM(Result)

    static constexpr int kRefreshMs = 100;    // the tick grid: readings and status line
    static constexpr int kLogStartMs = 6000;  // once, after start
    static constexpr int kPortRetryMs = 500;  // port choice asked for while hidden

    explicit MainWindow(PanelConnection& panel, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Filled before Start by whoever builds the dialogs and the log flows.
    WindowHooks& Hooks() { return hooks_; }
    // The window's message boxes go to `sink` (tests); nullptr restores the boxes.
    void SetMessageSink(MessageSink* sink) { sink_ = sink != nullptr ? sink : &boxes_; }
    MessageSink& Messages() const { return *sink_; }

    // The window's part of the settings: the displays' colours and fonts,
    // the port, the window's rectangle, "Zawsze na wierzchu" and the service
    // view. ApplySettings takes it before Start; StoreSettings writes it as it
    // stands now, the rectangle being the last one the window had while
    // neither maximised nor minimised, and leaves the rest of `settings` alone.
    void ApplySettings(const AppSettings& settings);
    void StoreSettings(AppSettings& settings) const;

    // Opens the stored port (offering the port choice when there is none or
    // it fails), places the window at the stored rectangle, presents the
    // readings once, applies the stored view switches and starts the timers.
    // The window is shown afterwards by the caller.
    void Start();

    int PortNumber() const { return portNumber_; }
    bool Stopped() const { return stopped_; }
    bool TwoSetpoints() const { return twoSetpoints_; }
    const ReadingsSnapshot& Readings() const { return readings_; }

    ValueDisplays Displays() const;
    const WindowMenu& Menu() const { return *menu_; }
    // The layout for the client area's present size.
    MainLayout CurrentLayout() const;

    // One refresh: readings, layout when the link or the second display's use
    // changed, status line, menu state, displays and service fields. A tick
    // that finds the records unchanged since the last presentation, no shown
    // reading past its freshness and the logging state and view as they were
    // returns at once; one whose copy equals the last changes nothing either.
    void UpdateReadings();
    // Grows with every refresh that presented something new.
    uint64_t Presentations() const { return presentations_; }
    // Something the window shows changed outside the link (the logging
    // state): the next point of the grid ticks. Safe from any thread.
    void RefreshSoon();
    // The port choice; while the window is not visible yet it is put off by
    // half a second.
    void RunPortSelection();
    void ToggleTopmost();
    void ToggleServiceView();
    void CloseWithOk();

signals:
    void closed(tk358::MainWindow::Result result);
    // After every refresh tick, also one that found nothing new (there is one
    // at least in every wall-clock second, though not always the first point
    // of the grid in it): Readings() and TwoSetpoints() are what the displays
    // show now.
    void ticked();

    // The menu commands carried out elsewhere; nothing connected, nothing
    // happens. Every dialog runs modally on the window's thread while the
    // window's timers keep running. The "Panel" menu's commands decide what
    // the attached panel allows and show a refusal through `messages`.
    void panelInfoRequested(QWidget* parent, PanelAccess& panel, MessageSink& messages);
    void setpointRequested(QWidget* parent, PanelAccess& panel, MessageSink& messages);
    void pidRequested(QWidget* parent, PanelAccess& panel, MessageSink& messages);
    void cvRequested(QWidget* parent, PanelAccess& panel, MessageSink& messages);
    void clockRequested(QWidget* parent, PanelAccess& panel, MessageSink& messages);
    void saveParametersRequested(QWidget* parent, PanelAccess& panel, MessageSink& messages);
    void loadParametersRequested(QWidget* parent, PanelAccess& panel, MessageSink& messages);
    // "Parametry regulacji": the window has refused already when the panel
    // allows no dialog; `choice` says which one to run.
    void regulationRequested(QWidget* parent, PanelAccess& panel, MessageSink& messages,
                             const ParamDialogChoice& choice);
    // "Pomoc" -> "Pomoc" and "O programie".
    void helpRequested(QWidget* parent);
    void aboutRequested(QWidget* parent);
    // "Widok" -> "Wykres".
    void trendRequested(QWidget* parent);
    // "Ustawienia" -> "Rejestracja do pliku".
    void logSetupRequested(QWidget* parent);
    // Once, kLogStartMs after Start: the measurement log opens its file.
    void logStartDue(QWidget* parent);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // On the link's threads.
    void RecordsChanged() override;
    void Tick();
    // The next tick falls on the first point of the grid after this moment
    // when no news comes.
    MonotonicTime QuietTickAfter() const;

    void BuildClient();
    void ConnectMenu();
    void OpenStoredPort();
    bool OpenPort(int portNumber);
    void Tell(const QString& text);
    void Relayout();
    // Bring the window flag, the menu's check mark and the layout in line
    // with topmost_ and showService_.
    void ApplyTopmost();
    void ApplyServiceView();
    void PresentReadings();
    void UpdateStatusLine();
    void UpdatePanelMenu();
    void PresentDisplays();
    void StopForUnsupportedPanel();
    void RecordRestoredRect();
    bool SecondSetpointAvailable() const;
    void RunColours();
    void RunFonts();
    void RunRegulation();

    PanelConnection& panel_;
    WindowHooks hooks_;
    MessageBoxSink boxes_;
    MessageSink* sink_ = &boxes_;

    QWidget* client_ = nullptr;
    StatusIndicator* indicator_ = nullptr;
    ReadOnlyField* statusLine_ = nullptr;
    std::unique_ptr<ServiceView> service_;
    ValueDisplay* temperature_ = nullptr;
    ValueDisplay* setpoint_ = nullptr;
    ValueDisplay* setpoint2_ = nullptr;
    std::unique_ptr<WindowMenu> menu_;

    GridTicker ticker_;       // runs from Start until the window closes
    bool linkTells_ = false;  // the link calls RecordsChanged
    QTimer logStartTimer_;
    QTimer portRetryTimer_;

    int portNumber_ = 0;
    WindowRect windowRect_{100, 100, 700, 500};
    bool topmost_ = false;
    bool showService_ = false;
    bool stopped_ = false;
    bool initialising_ = true;
    int statusEditHeight_ = 0;
    Result result_ = Result::kCancel;
    bool resultChosen_ = false;

    ReadingsSnapshot readings_;
    LoggingState logging_;
    bool presentationStale_ = true;  // present on the next tick even without news
    RecordsVersion presented_;       // of the records last presented
    uint64_t presentations_ = 0;
    bool lastConnected_ = false;
    bool twoSetpoints_ = false;
    PanelMenuTracker menuTracker_;
    StatusTextHolder statusText_;
};

}  // namespace tk358
