// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Port szeregowy": the operator picks the serial port the panel hangs on.
// The ports are listed once, just before the dialog is first shown, behind the
// "Proszę czekać" box, so the GUI thread never waits on the listing. OK takes
// the number of the chosen entry; Cancel leaves the entry value.

#include <QDialog>
#include <string>
#include <vector>

#include "dialogs/message_box.h"
#include "dialogs/wait_dlg.h"

class QComboBox;
class QLabel;

namespace tk358 {

// The listing of the present ports ("COMn:description" lines), run on the
// wait box's worker thread.
using PortListingJob = CWaitDlg::Job;

// The ports of this computer and this process's port directory.
PortListingJob SystemPortListing();

class CPortDlg : public QDialog {
    Q_OBJECT

public:
    // `portNumber`: the port in use, 0 (or less) when none.
    explicit CPortDlg(int portNumber, PortListingJob listing = SystemPortListing(),
                      QWidget* parent = nullptr);

    // The chosen port (1 or more) after OK; the entry value otherwise.
    int PortNumber() const { return portNumber_; }
    const std::vector<std::string>& PortNames() const { return portNames_; }

    // Boxes go to `sink` instead of QMessageBox (tests); nullptr restores the boxes.
    void SetMessageSink(MessageSink* sink) { sink_ = sink != nullptr ? sink : &boxes_; }

    void setVisible(bool visible) override;

public slots:
    void accept() override;

private:
    void ListPorts();
    void FillList();
    void FitListWidth();

    int portNumber_ = 0;
    PortListingJob listing_;
    bool listed_ = false;
    std::vector<std::string> portNames_;
    QComboBox* portList_ = nullptr;
    QLabel* currentPort_ = nullptr;
    MessageBoxSink boxes_;
    MessageSink* sink_ = &boxes_;
};

}  // namespace tk358
