// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// SIGTERM, SIGINT and SIGHUP end the program the same way as closing its
// window: the handler only writes to a pipe, and the event loop turns that
// into a signal on the GUI thread.

#include <QObject>

class QSocketNotifier;

namespace tk358 {

class QuitSignals : public QObject {
    Q_OBJECT

public:
    // Installs the handlers; one instance per process.
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    bool Received() const { return received_; }

signals:
    void quitRequested();

private:
    void Drain();

    QSocketNotifier* notifier_ = nullptr;
    bool received_ = false;
};

}  // namespace tk358
