// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Informacje o panelu": what the panel says about itself and its probe,
// read-only, from records copied in by the caller.

#include <QDialog>

#include "link/records.h"

namespace tk358 {

class CPanelInfoDlg final : public QDialog {
    Q_OBJECT

public:
    CPanelInfoDlg(const PanelInfo& info, const PanelIdentity& identity, QWidget* parent = nullptr);
};

}  // namespace tk358
