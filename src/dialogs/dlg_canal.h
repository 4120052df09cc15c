// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Wybór toru pomiarowego": which zone of a dual-zone controller the PID dialog
// works on. Zone 0 is "Strefa 1", zone 1 is "Strefa 2".

#include <QDialog>

#include "dialogs/message_box.h"

class QRadioButton;

namespace tk358 {

class CDlgCanal : public QDialog {
    Q_OBJECT

public:
    // Any nonzero `zone` preselects "Strefa 2".
    explicit CDlgCanal(int zone, QWidget* parent = nullptr);

    // The chosen zone after OK; 0 or 1.
    int Zone() const { return zone_; }

    // Boxes go to `sink` instead of QMessageBox (tests); nullptr restores the boxes.
    void SetMessageSink(MessageSink* sink) { sink_ = sink != nullptr ? sink : &boxes_; }

public slots:
    void accept() override;

private:
    int zone_ = 0;
    QRadioButton* zone1_ = nullptr;
    QRadioButton* zone2_ = nullptr;
    MessageBoxSink boxes_;
    MessageSink* sink_ = &boxes_;
};

}  // namespace tk358
