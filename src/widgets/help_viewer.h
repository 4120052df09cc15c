// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Pomoc" → "Pomoc": the program's HTML help opened in the user's browser.

#include <QString>

#include "widgets/desktop_open.h"

class QWidget;

namespace tk358 {

using HelpUrlOpener = UrlOpener;
using HelpFailureNotifier = OpenFailureNotifier;

// The help's index page for the running program; empty when it is nowhere.
QString HelpIndexPath();

// Opens the running program's help in the browser; a message box says so when
// it is missing or cannot be opened. False in those cases.
bool OpenHelp(QWidget* parent);

// Opens the help page at `indexPath` (empty: not found) through `open`, and
// reports a failure through `notify`.
bool OpenHelpPage(QWidget* parent, const QString& indexPath, const HelpUrlOpener& open,
                  const HelpFailureNotifier& notify);

// The messages of a help that is missing or that the browser did not take.
QString HelpMissingMessage();
QString HelpOpenFailedMessage(const QString& indexPath);

}  // namespace tk358
