// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenuBar>
#include <QStyle>
#include <algorithm>
#include <chrono>

#include "monitor/service_view.h"
#include "monitor/window_menu.h"
#include "monitor/window_settings.h"
#include "panel/panel_model.h"
#include "panel/port_open_message.h"
#include "panel/value_displays.h"
#include "present/param_dialog_choice.h"
#include "widgets/colour_dialog.h"
#include "widgets/font_dialog.h"
#include "widgets/icons.h"
#include "widgets/read_only_field.h"
#include "widgets/status_indicator.h"
#include "widgets/value_display.h"

namespace tk358 {

namespace {

using std::chrono::milliseconds;

constexpr milliseconds kTickGrid{MainWindow::kRefreshMs};

// How long until the wall-clock second after this one ends.
milliseconds UntilNextWallSecondEnds() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch());
    return seconds(2) - (ms - floor<seconds>(ms));
}

QRect ToQRect(const Rect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

void Present(ValueDisplay& display, const DisplayReading& reading) {
    if (reading.valid) {
        display.SetValue(reading.value);
    } else if (!display.IsInvalid()) {
        display.SetInvalid();
    }
    display.SetBlink(reading.alarm);
}

}  // namespace

MainWindow::MainWindow(PanelConnection& panel, QWidget* parent)
    : QMainWindow(parent), panel_(panel), ticker_(kTickGrid) {
    setWindowTitle(QStringLiteral("tk358"));
    setWindowIcon(ApplicationIcon());
    BuildClient();
    menu_ = std::make_unique<WindowMenu>(menuBar());
    ConnectMenu();

    connect(&ticker_, &GridTicker::fired, this, &MainWindow::Tick);
    logStartTimer_.setInterval(kLogStartMs);
    logStartTimer_.setSingleShot(true);
    connect(&logStartTimer_, &QTimer::timeout, this, [this] { emit logStartDue(this); });
    portRetryTimer_.setInterval(kPortRetryMs);
    portRetryTimer_.setSingleShot(true);
    connect(&portRetryTimer_, &QTimer::timeout, this, &MainWindow::RunPortSelection);
}

MainWindow::~MainWindow() {
    panel_.SetRecordsListener(nullptr);
}

void MainWindow::BuildClient() {
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);
    client_->installEventFilter(this);

    indicator_ = new StatusIndicator(client_);
    indicator_->setObjectName(QStringLiteral("statusIndicator"));
    statusLine_ = new ReadOnlyField(client_);
    statusLine_->setObjectName(QStringLiteral("statusLine"));
    service_ = std::make_unique<ServiceView>(client_);

    const auto makeDisplay = [this](int row) {
        auto* display = new ValueDisplay(client_);
        display->setObjectName(QString::fromUtf8(kDisplayRowNames[static_cast<std::size_t>(row)]));
        display->SetTitle(QString::fromUtf8(kDisplayRowTitles[static_cast<std::size_t>(row)]));
        display->SetUnits(3, 3, true);
        return display;
    };
    temperature_ = makeDisplay(kTemperatureRow);
    setpoint_ = makeDisplay(kSetpointRow);
    setpoint2_ = makeDisplay(kSecondSetpointRow);
    setpoint2_->hide();
}

void MainWindow::ConnectMenu() {
    const auto on = [this](MenuCommand command, auto handler) {
        connect(menu_->Action(command), &QAction::triggered, this, handler);
    };
    on(MenuCommand::kClose, [this] { CloseWithOk(); });
    on(MenuCommand::kColours, [this] { RunColours(); });
    on(MenuCommand::kFonts, [this] { RunFonts(); });
    on(MenuCommand::kTopmost, [this] { ToggleTopmost(); });
    on(MenuCommand::kShowService, [this] { ToggleServiceView(); });
    on(MenuCommand::kTrend, [this] { emit trendRequested(this); });
    on(MenuCommand::kPort, [this] { RunPortSelection(); });
    on(MenuCommand::kLogSetup, [this] { emit logSetupRequested(this); });
    using PanelSignal = void (MainWindow::*)(QWidget*, PanelAccess&, MessageSink&);
    const auto panelCommand = [this, &on](MenuCommand command, PanelSignal signal) {
        on(command, [this, signal] { emit(this->*signal)(this, panel_, *sink_); });
    };
    panelCommand(MenuCommand::kPanelInfo, &MainWindow::panelInfoRequested);
    panelCommand(MenuCommand::kSetpoint, &MainWindow::setpointRequested);
    panelCommand(MenuCommand::kPid, &MainWindow::pidRequested);
    panelCommand(MenuCommand::kCv, &MainWindow::cvRequested);
    panelCommand(MenuCommand::kClock, &MainWindow::clockRequested);
    panelCommand(MenuCommand::kSaveParameters, &MainWindow::saveParametersRequested);
    panelCommand(MenuCommand::kLoadParameters, &MainWindow::loadParametersRequested);
    on(MenuCommand::kRegulation, [this] { RunRegulation(); });
    on(MenuCommand::kHelp, [this] { emit helpRequested(this); });
    on(MenuCommand::kAbout, [this] { emit aboutRequested(this); });
}

void MainWindow::RunRegulation() {
    const ParamDialogChoice choice = ChooseParamDialog(readings_.identity, readings_.clock);
    if (choice.dialog == ParamDialog::None) {
        Tell(QString::fromUtf8(kParamReadFailure));
        return;
    }
    emit regulationRequested(this, panel_, *sink_, choice);
}

// --- Settings ---------------------------------------------------------------

void MainWindow::ApplySettings(const AppSettings& settings) {
    const ValueDisplays displays = Displays();
    for (std::size_t i = 0; i < displays.size(); ++i) {
        ApplyDisplaySettings(settings.displays[i], *displays[i]);
    }
    portNumber_ = settings.portNr;
    windowRect_ = settings.window;
    topmost_ = settings.topmost;
    showService_ = settings.showService;
}

void MainWindow::StoreSettings(AppSettings& settings) const {
    const ValueDisplays displays = Displays();
    for (std::size_t i = 0; i < displays.size(); ++i) {
        settings.displays[i] = ReadDisplaySettings(*displays[i], settings.displays[i].log);
    }
    settings.portNr = portNumber_;
    settings.window = windowRect_;
    settings.topmost = topmost_;
    settings.showService = showService_;
}

ValueDisplays MainWindow::Displays() const {
    return {temperature_, setpoint_, setpoint2_};
}

// --- Start ------------------------------------------------------------------

void MainWindow::Start() {
    linkTells_ = panel_.SetRecordsListener(this);
    indicator_->ShowNoLink();
    OpenStoredPort();
    statusEditHeight_ = statusLine_->sizeHint().height();
    initialising_ = false;
    const QRect placement = PlacementOf(windowRect_, *this);
    resize(placement.size());
    move(placement.topLeft());
    windowRect_ = WindowRectOf(placement.topLeft(), placement.size());
    Relayout();
    UpdateReadings();
    ApplyTopmost();
    ApplyServiceView();
    logStartTimer_.start();
    ticker_.Start();
    RefreshSoon();
}

void MainWindow::OpenStoredPort() {
    if (portNumber_ <= 0) {
        RunPortSelection();
        return;
    }
    if (!panel_.Open(portNumber_)) {
        const int error = panel_.LastOpenError();
        panel_.Close();
        Tell(QString::fromStdString(PortOpenFailureText(portNumber_, error)));
        RunPortSelection();
    }
}

void MainWindow::RunPortSelection() {
    if (!isVisible()) {
        portRetryTimer_.start();
        return;
    }
    portRetryTimer_.stop();
    if (!hooks_.choosePort) {
        return;
    }
    // Asked again after each port that cannot be opened, until one opens or
    // the operator cancels.
    for (;;) {
        const std::optional<int> chosen = hooks_.choosePort(this, portNumber_);
        if (!chosen) {
            return;
        }
        repaint();
        if (*chosen <= 0 || *chosen == portNumber_ || OpenPort(*chosen)) {
            return;
        }
    }
}

bool MainWindow::OpenPort(int portNumber) {
    panel_.Close();
    if (panel_.Open(portNumber)) {
        portNumber_ = portNumber;
        return true;
    }
    const int error = panel_.LastOpenError();
    panel_.Close();
    portNumber_ = 0;
    Tell(QString::fromStdString(PortOpenFailureText(portNumber, error)));
    return false;
}

void MainWindow::Tell(const QString& text) {
    sink_->Show(this, MessageIcon::Plain, text);
}

// --- Refresh ----------------------------------------------------------------

void MainWindow::RecordsChanged() {
    RefreshSoon();
}

void MainWindow::RefreshSoon() {
    ticker_.ArmAfter(MonotonicClock::now());
}

void MainWindow::Tick() {
    UpdateReadings();
    emit ticked();
    ticker_.ArmAfter(QuietTickAfter());
}

MonotonicTime MainWindow::QuietTickAfter() const {
    const MonotonicTime now = MonotonicClock::now();
    if (!linkTells_ || presentationStale_) {
        return now;
    }
    // The freshness deadline is that of the records last presented: news
    // since then has armed the ticker on its own. The last point of the
    // next wall second keeps a tick in every second while no news comes.
    const MonotonicTime lastOfNextSecond = now + UntilNextWallSecondEnds() - kTickGrid;
    return std::clamp(presented_.freshUntil, now, lastOfNextSecond);
}

void MainWindow::UpdateReadings() {
    if (stopped_) {
        return;
    }
    // Lines arrive about once a second: most ticks find the records as the
    // last presentation left them, with every reading shown still current,
    // and have nothing to copy or show.
    const RecordsVersion version = panel_.Version();
    const LoggingState logging = hooks_.loggingState ? hooks_.loggingState() : LoggingState{};
    const bool same = !presentationStale_ && logging == logging_;
    if (same && version.changes == presented_.changes &&
        MonotonicClock::now() <= presented_.freshUntil) {
        return;
    }
    presented_ = version;
    ReadingsSnapshot fresh = TakeSnapshot(panel_);
    if (same && fresh == readings_) {
        return;
    }
    readings_ = std::move(fresh);
    logging_ = logging;
    presentationStale_ = false;
    ++presentations_;
    PresentReadings();
}

void MainWindow::PresentReadings() {
    const bool wantTwo = WantsTwoSetpoints(readings_);
    if (readings_.connected != lastConnected_ || wantTwo != twoSetpoints_) {
        lastConnected_ = readings_.connected;
        twoSetpoints_ = wantTwo;
        ApplyServiceView();
    }
    UpdateStatusLine();
    if (stopped_) {
        return;
    }
    if (readings_.connected) {
        UpdatePanelMenu();
    }
    PresentDisplays();
    if (showService_) {
        service_->SetTexts(readings_.connected ? ComputeServiceTexts(readings_)
                                               : ClearedServiceTexts());
    }
}

void MainWindow::UpdateStatusLine() {
    const StatusLine line = BuildStatusLine(readings_, logging_, FormatLocaleDateTime);
    if (line.stop) {
        StopForUnsupportedPanel();
        return;
    }
    switch (line.indicator) {
        case IndicatorState::kCorrect:
            indicator_->ShowCorrect();
            break;
        case IndicatorState::kError:
            indicator_->ShowError();
            break;
        case IndicatorState::kNoLink:
            indicator_->ShowNoLink();
            break;
    }
    if (statusText_.Update(line.text)) {
        statusLine_->setText(QString::fromStdString(line.text));
    }
}

void MainWindow::UpdatePanelMenu() {
    const bool clockUsable = readings_.clock.valid != 0 && readings_.clock.clockEnabled != 0;
    const int type = readings_.identity.deviceType;
    if (menuTracker_.Update(type, clockUsable)) {
        menu_->ApplyPanelState(PanelMenuFor(type, clockUsable));
        ApplyServiceView();
    }
}

void MainWindow::PresentDisplays() {
    const ValueDisplayReadings r = ComputeValueDisplays(readings_, twoSetpoints_);
    Present(*temperature_, r.temperature);
    Present(*setpoint_, r.setpoint);
    if (r.setpoint2) {
        Present(*setpoint2_, *r.setpoint2);
    }
}

void MainWindow::StopForUnsupportedPanel() {
    stopped_ = true;
    indicator_->ShowNoLink();
    Tell(QString::fromUtf8(kUnsupportedPanelMessage));
    CloseWithOk();
}

// --- View switches and layout -------------------------------------------------

void MainWindow::ToggleTopmost() {
    topmost_ = !topmost_;
    ApplyTopmost();
}

void MainWindow::ApplyTopmost() {
    menu_->Action(MenuCommand::kTopmost)->setChecked(topmost_);
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topmost_) {
        return;
    }
    // Changing the flag re-creates the native window hidden: put it back
    // where and as it was.
    const bool wasVisible = isVisible();
    const Qt::WindowStates states = windowState();
    const QRect normal = normalGeometry();
    const QPoint outer = pos();
    const QSize inner = size();
    setWindowFlag(Qt::WindowStaysOnTopHint, topmost_);
    if (states & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        setGeometry(normal);
        setWindowState(states);
    } else {
        resize(inner);
        move(outer);
    }
    if (wasVisible) {
        show();
    }
}

void MainWindow::ToggleServiceView() {
    showService_ = !showService_;
    ApplyServiceView();
}

void MainWindow::ApplyServiceView() {
    presentationStale_ = true;  // the fields now shown are filled on the next tick
    RefreshSoon();
    menu_->Action(MenuCommand::kShowService)->setChecked(showService_);
    const int type = readings_.identity.deviceType;
    service_->ShowGroup(showService_ ? std::optional<int>(type) : std::nullopt);
    setpoint_->setVisible(type != kVentilationController);
    setpoint2_->setVisible(type == kThresholdRegulator && twoSetpoints_);
    Relayout();
}

MainLayout MainWindow::CurrentLayout() const {
    MainLayoutInput in;
    in.clientWidth = client_->width();
    in.clientHeight = client_->height();
    in.margin = ClampMargin(style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this));
    in.unit = QFontMetrics(font()).averageCharWidth() / 4.0;
    in.statusEditHeight = statusEditHeight_;
    in.deviceType = readings_.identity.deviceType;
    in.serviceView = showService_;
    in.twoSetpoints = twoSetpoints_;
    return ComputeMainLayout(in);
}

void MainWindow::Relayout() {
    if (initialising_) {
        return;
    }
    const MainLayout layout = CurrentLayout();
    indicator_->setGeometry(ToQRect(layout.indicator));
    statusLine_->setGeometry(ToQRect(layout.statusLine));
    service_->Place(layout);
    temperature_->setGeometry(ToQRect(layout.temperature));
    if (layout.setpoint) {
        setpoint_->setGeometry(ToQRect(*layout.setpoint));
    }
    if (layout.setpoint2) {
        setpoint2_->setGeometry(ToQRect(*layout.setpoint2));
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) {
        Relayout();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    RecordRestoredRect();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    RecordRestoredRect();
}

void MainWindow::RecordRestoredRect() {
    const Qt::WindowStates notRestored =
        Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen;
    if (initialising_ || !isVisible() || (windowState() & notRestored)) {
        return;
    }
    windowRect_ = WindowRectOf(pos(), size());
}

// --- Commands -----------------------------------------------------------------

bool MainWindow::SecondSetpointAvailable() const {
    return readings_.identity.identified != 0 &&
           readings_.identity.deviceType == kThresholdRegulator;
}

void MainWindow::RunColours() {
    RunColourSelection(this, Displays(), SecondSetpointAvailable());
}

void MainWindow::RunFonts() {
    RunFontSelection(this, Displays(), SecondSetpointAvailable());
}

void MainWindow::CloseWithOk() {
    result_ = Result::kOk;
    resultChosen_ = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!resultChosen_) {
        result_ = Result::kCancel;
    }
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) {
        panel_.SetRecordsListener(nullptr);
        ticker_.Stop();
        logStartTimer_.stop();
        portRetryTimer_.stop();
        emit closed(result_);
    }
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();  // never closes or triggers anything
            return;
        default:
            QMainWindow::keyPressEvent(event);
    }
}

}  // namespace tk358
