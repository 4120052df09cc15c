// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reads measurement logs for the chart on a thread of its own, so that the
// window stays responsive while a year of lines loads; reports its progress
// and can be cancelled.

#include <QObject>
#include <QStringList>
#include <atomic>
#include <memory>
#include <thread>

namespace tk358 {

class TrendHistory;

class HistoryLoader : public QObject {
    Q_OBJECT

public:
    explicit HistoryLoader(QObject* parent = nullptr);
    ~HistoryLoader() override;

    // Starts reading the files; a read still running is cancelled first.
    void Start(const QStringList& files);
    void Cancel();
    bool Busy() const { return worker_.joinable(); }

signals:
    // Thousandths of the files' bytes read.
    void progress(int permille);
    // The read ended: the history, or nullptr when it was cancelled.
    void finished(std::shared_ptr<TrendHistory> history);

private:
    void Stop();

    std::thread worker_;
    std::atomic<bool> cancel_{false};
    uint64_t run_ = 0;  // which Start the results belong to
};

}  // namespace tk358
