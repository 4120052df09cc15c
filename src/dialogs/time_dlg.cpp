// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/time_dlg.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <utility>

#include "dialogs/field_rows.h"
#include "link/panel_access.h"
#include "present/panel_clock_rules.h"

namespace tk358 {

namespace {

constexpr int kFollowPeriodMs = 100;

SystemTime FromQDateTime(const QDateTime& when) {
    const QDate date = when.date();
    const QTime time = when.time();
    SystemTime t;
    t.year = static_cast<uint16_t>(date.year());
    t.month = static_cast<uint16_t>(date.month());
    t.dayOfWeek = static_cast<uint16_t>(date.dayOfWeek() % 7);  // Qt counts Sunday as 7
    t.day = static_cast<uint16_t>(date.day());
    t.hour = static_cast<uint16_t>(time.hour());
    t.minute = static_cast<uint16_t>(time.minute());
    t.second = static_cast<uint16_t>(time.second());
    t.milliseconds = static_cast<uint16_t>(time.msec());
    return t;
}

}  // namespace

CTimeDlg::CTimeDlg(PanelAccess& session, QWidget* parent, PcClock pcClock)
    : PanelDialog(session,
                  {QStringLiteral("Nie można odczytać czasu"), QStringLiteral("Nie można zapisać"),
                   QStringLiteral("Nie można zapisać")},
                  parent),
      pcClock_(pcClock ? std::move(pcClock)
                       : PcClock([] { return QDateTime::currentDateTime(); })) {
    setObjectName(QStringLiteral("timeDialog"));
    setWindowTitle(QStringLiteral("Data i czas"));

    calendar_ = new QCalendarWidget(Body());
    calendar_->setObjectName(QStringLiteral("dateCalendar"));
    calendar_->setLocale(QLocale(QLocale::Polish, QLocale::Poland));
    calendar_->setFirstDayOfWeek(Qt::Monday);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar_->setMaximumDate(QDate(kLatestClockYear, 12, 31));
    timeEdit_ = new QTimeEdit(Body());
    timeEdit_->setObjectName(QStringLiteral("timeEdit"));
    timeEdit_->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    pcButton_ = new QPushButton(QStringLiteral("Czas PC"), Body());
    pcButton_->setObjectName(QStringLiteral("pcTimeButton"));
    pcButton_->setAutoDefault(false);  // Enter keeps meaning OK

    auto* grid = new QGridLayout(Body());
    QLabel* dateLabel = NewLabel(QStringLiteral("Data:"), Body());
    QLabel* timeLabel = NewLabel(QStringLiteral("Czas:"), Body());
    dateLabel->setBuddy(calendar_);
    timeLabel->setBuddy(timeEdit_);
    grid->addWidget(dateLabel, 0, 0);
    grid->addWidget(calendar_, 1, 0, 3, 1);
    grid->addWidget(timeLabel, 0, 2);
    grid->addWidget(timeEdit_, 1, 2);
    grid->addWidget(pcButton_, 2, 2);
    grid->setColumnMinimumWidth(1, 12);
    grid->setRowStretch(3, 1);

    panelTimer_.setInterval(kFollowPeriodMs);
    pcTimer_.setInterval(kFollowPeriodMs);
    connect(&panelTimer_, &QTimer::timeout, this, &CTimeDlg::FollowPanel);
    connect(&pcTimer_, &QTimer::timeout, this, &CTimeDlg::FollowPc);
    connect(pcButton_, &QPushButton::clicked, this, &CTimeDlg::TakePcTime);
    // Any change by the operator keeps the controls where the operator put them.
    connect(timeEdit_, &QTimeEdit::timeChanged, this, &CTimeDlg::StopFollowing);
    connect(calendar_, &QCalendarWidget::selectionChanged, this, &CTimeDlg::StopFollowing);
    connect(calendar_, &QCalendarWidget::currentPageChanged, this, &CTimeDlg::StopFollowing);
    // The calendar keeps Enter to itself; here it means OK, as in every field.
    if (auto* days = calendar_->findChild<QAbstractItemView*>()) {
        days->installEventFilter(this);
    }
}

bool CTimeDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched != this) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && OkButton()->isEnabled()) {
            OkButton()->click();
            return true;
        }
    }
    return PanelDialog::eventFilter(watched, event);
}

CTimeDlg::~CTimeDlg() {
    // The frame serves events while it waits for a running write; nothing may
    // reach this part of the dialog after it is gone.
    StopFollowing();
    if (auto* days = calendar_->findChild<QAbstractItemView*>()) {
        days->removeEventFilter(this);
    }
    disconnect(timeEdit_, nullptr, this, nullptr);
    disconnect(calendar_, nullptr, this, nullptr);
}

void CTimeDlg::done(int result) {
    StopFollowing();
    PanelDialog::done(result);
}

bool CTimeDlg::Fill() {
    PanelClock clock;
    if (Session().GetPanelClock(clock) != kStatusOk || clock.valid == 0) {
        return false;
    }
    shownPanel_ = clock.time;
    ShowTime(shownPanel_);
    pcTimer_.stop();
    panelTimer_.start();
    return true;
}

void CTimeDlg::FollowPanel() {
    PanelClock clock;
    Session().GetPanelClock(clock);  // a lost link leaves the last clock in place
    if (!SameToTheSecond(clock.time, shownPanel_)) {
        shownPanel_ = clock.time;
        ShowTime(shownPanel_);
    }
}

void CTimeDlg::FollowPc() {
    const SystemTime now = PcNow();
    if (!SameToTheSecond(now, shownPc_)) {
        shownPc_ = now;
        ShowTime(shownPc_);
    }
}

void CTimeDlg::TakePcTime() {
    shownPc_ = PcNow();
    ShowTime(shownPc_);
    panelTimer_.stop();
    if (!pcTimer_.isActive()) {
        pcTimer_.start();
    }
}

void CTimeDlg::StopFollowing() {
    panelTimer_.stop();
    pcTimer_.stop();
}

void CTimeDlg::ShowTime(const SystemTime& t) {
    const QDate date(t.year, t.month, t.day);
    const QTime time(t.hour, t.minute, t.second);
    if (!date.isValid() || !time.isValid()) {
        return;  // a clock the panel never sent
    }
    const QSignalBlocker blockCalendar(calendar_);
    const QSignalBlocker blockTime(timeEdit_);
    calendar_->setSelectedDate(date);
    timeEdit_->setTime(time);
}

SystemTime CTimeDlg::PcNow() const {
    return FromQDateTime(pcClock_());
}

std::optional<PanelDialog::FieldError> CTimeDlg::Validate() {
    // A clock still followed is read afresh, so that OK without a change sets
    // the clock it shows now rather than one up to a tick old; the panel's own
    // clock then matches as a whole and is not written at all.
    if (panelTimer_.isActive()) {
        FollowPanel();
    } else if (pcTimer_.isActive()) {
        FollowPc();
    }
    const QTime time = timeEdit_->time();
    const QDate date = calendar_->selectedDate();
    const std::optional<SystemTime> t = ClockToWrite(date.year(), date.month(), date.day(),
                                                     time.hour(), time.minute(), time.second());
    if (!t) {
        return FieldError{calendar_,
                          QStringLiteral("Ustawiona data powinna być większa niż 1 styczeń 2000."),
                          MessageIcon::Information};
    }
    toWrite_ = *t;
    return std::nullopt;
}

PanelDialog::WriteJob CTimeDlg::MakeWriteJob() const {
    return OneWrite([t = toWrite_](PanelAccess& s) { return s.SetPanelClock(t); });
}

void CTimeDlg::EnableFields(bool enable) {
    calendar_->setEnabled(enable);
    timeEdit_->setEnabled(enable);
    pcButton_->setEnabled(enable);
}

}  // namespace tk358
