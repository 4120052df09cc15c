// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's own images, compiled into the program from resources/icons.qrc.

#include <QIcon>

namespace tk358 {

enum class StatusImage { kNone, kCorrect, kError, kNoLink };

// The status indicator's image for a state (an empty icon for kNone).
QIcon StatusIcon(StatusImage image);

// The application's icon in every size it is shipped in.
QIcon ApplicationIcon();

}  // namespace tk358
