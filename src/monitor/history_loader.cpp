// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/history_loader.h"

#include <QMetaObject>
#include <string>
#include <vector>

#include "trend/trend_history.h"

namespace tk358 {

HistoryLoader::HistoryLoader(QObject* parent) : QObject(parent) {}

HistoryLoader::~HistoryLoader() {
    Stop();
}

void HistoryLoader::Stop() {
    cancel_ = true;
    if (worker_.joinable()) {
        worker_.join();
    }
    cancel_ = false;
}

void HistoryLoader::Cancel() {
    Stop();
    ++run_;  // a result already queued is dropped
    emit finished(nullptr);
}

void HistoryLoader::Start(const QStringList& files) {
    Stop();
    const uint64_t run = ++run_;
    std::vector<std::string> paths;
    for (const QString& file : files) {
        paths.push_back(file.toStdString());
    }
    auto history = std::make_shared<TrendHistory>(paths);
    // The worker ends before this object does (the destructor joins it), and
    // Qt drops calls queued for an object that is gone.
    worker_ = std::thread([this, history, run] {
        int shown = -1;
        history->Load([this, &shown, run](uint64_t done, uint64_t total) {
            const int permille = total > 0 ? static_cast<int>(done * 1000 / total) : 0;
            if (permille != shown) {
                shown = permille;
                QMetaObject::invokeMethod(
                    this,
                    [this, permille, run] {
                        if (run_ == run) {
                            emit progress(permille);
                        }
                    },
                    Qt::QueuedConnection);
            }
            return !cancel_.load();
        });
        const bool cancelled = history->Result().cancelled;
        QMetaObject::invokeMethod(
            this,
            [this, history, cancelled, run] {
                if (run_ != run) {
                    return;
                }
                if (worker_.joinable()) {
                    worker_.join();
                }
                emit finished(cancelled ? nullptr : history);
            },
            Qt::QueuedConnection);
    });
}

}  // namespace tk358
