// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

#include "present/colour.h"

namespace tk358 {

inline QColor ToQColor(Colorref c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}
inline Colorref FromQColor(const QColor& c) {
    return MakeColorref(c.red(), c.green(), c.blue());
}

}  // namespace tk358
