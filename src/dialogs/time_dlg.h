// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Data i czas": the panel's clock, shown running, and the date and time to
// set it to. The controls follow the panel's clock, or after "Czas PC" the
// PC's clock, every 100 ms until the operator changes the date or the time;
// then they stand still so the choice stays in place. OK writes the calendar's
// date with the picker's time of day through SetPanelClock.

#include <QDateTime>
#include <QTimer>
#include <functional>

#include "dialogs/panel_dialog.h"
#include "link/records.h"

class QCalendarWidget;
class QPushButton;
class QTimeEdit;

namespace tk358 {

namespace test {
struct TimeDlgProbe;
}

class CTimeDlg final : public PanelDialog {
    Q_OBJECT

public:
    // The PC's local time; tests pass their own.
    using PcClock = std::function<QDateTime()>;

    explicit CTimeDlg(PanelAccess& session, QWidget* parent = nullptr, PcClock pcClock = {});
    ~CTimeDlg() override;

public slots:
    void done(int result) override;

protected:
    bool Fill() override;
    std::optional<FieldError> Validate() override;
    WriteJob MakeWriteJob() const override;
    void EnableFields(bool enable) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The tests see which clock the controls follow.
    friend struct test::TimeDlgProbe;

    void FollowPanel();
    void FollowPc();
    void TakePcTime();
    void StopFollowing();
    // Puts the date and time into both controls without taking it for the operator's change.
    void ShowTime(const SystemTime& t);
    SystemTime PcNow() const;

    PcClock pcClock_;
    QCalendarWidget* calendar_ = nullptr;
    QTimeEdit* timeEdit_ = nullptr;
    QPushButton* pcButton_ = nullptr;
    QTimer panelTimer_;
    QTimer pcTimer_;
    SystemTime shownPanel_;  // the panel's clock last put into the controls
    SystemTime shownPc_;     // the PC's time last put into the controls
    SystemTime toWrite_;
};

}  // namespace tk358
