// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The trend window "Wykres": span buttons, the return to the newest sample,
// the exports, and the chart. The window only shows; the history and the
// settings are the TrendController's.

#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "dialogs/message_box.h"
#include "trend/trend_csv.h"
#include "trend/trend_view.h"

class QButtonGroup;
class QLabel;
class QProgressBar;
class QPushButton;

namespace tk358 {

class HistoryLoader;
class TrendChart;
class TrendHistory;
class TrendRecorder;

class TrendWindow : public QWidget {
    Q_OBJECT

public:
    // The log's separator and decimal sign at the time of an export.
    using CsvOptionsSource = std::function<TrendCsvOptions()>;

    explicit TrendWindow(const TrendRecorder& recorder, QWidget* parent = nullptr);

    TrendChart* Chart() const { return chart_; }

    void SetMessageSink(MessageSink* sink) { sink_ = sink != nullptr ? sink : &boxes_; }
    void SetCsvOptionsSource(CsvOptionsSource source) { csvOptions_ = std::move(source); }

    void SetSpan(int seconds);
    // The chart as shown, as a PNG file; false when it cannot be written.
    bool SavePng(const QString& path);
    // The samples in view in the log's format; false when it cannot be written.
    bool SaveCsv(const QString& path);

    // Reads measurement logs in the background and shows them as one history
    // instead of the live recording; "Bieżące" returns to the live view.
    void OpenLogs(const QStringList& files);
    // Back to the live recording and its newest sample.
    void ShowLive();

signals:
    void spanChanged(int seconds);
    // Moved or resized while neither maximised nor minimised.
    void placed();
    // Closed by the operator (not hidden by the program's end).
    void closedByOperator();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* BuildBar();
    QWidget* BuildLoadRow();
    void ShowViewState();
    void ChooseAndOpenLogs();
    void HistoryLoaded(const std::shared_ptr<TrendHistory>& history);
    void ShowTitle();
    void ShowSkipped();
    void ChooseAndSavePng();
    void ChooseAndSaveCsv();
    QString Choose(const QString& caption, const QString& suffix, const QString& filter);

    const TrendRecorder& recorder_;
    TrendChart* chart_ = nullptr;
    QButtonGroup* spans_ = nullptr;
    QPushButton* follow_ = nullptr;
    QPushButton* savePng_ = nullptr;
    QPushButton* saveCsv_ = nullptr;
    QPushButton* openLog_ = nullptr;
    QWidget* loadRow_ = nullptr;  // the progress of a log being read
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QLabel* note_ = nullptr;  // lines of the history that were skipped
    HistoryLoader* loader_ = nullptr;
    QStringList loading_;  // the files being read
    std::shared_ptr<TrendHistory> history_;
    CsvOptionsSource csvOptions_;
    MessageBoxSink boxes_;
    MessageSink* sink_ = &boxes_;
};

// The texts the trend window shows.
inline constexpr const char* kTrendTitle = "Wykres";
inline constexpr const char* kTrendSaveFailure = "Nie można zapisać pliku %1.";
inline constexpr const char* kTrendNoReadings =
    "W pliku %1 nie ma odczytów rejestracji pomiarów, które można pokazać na wykresie.";

}  // namespace tk358
