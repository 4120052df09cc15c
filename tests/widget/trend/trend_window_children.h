// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The chart window and its buttons, found by their object names.

#include <QAbstractButton>
#include <QPushButton>
#include <cstddef>

#include "monitor/trend_window.h"
#include "trend/trend_view.h"

namespace tk358::test {

// The chart window the main window owns while it is open.
inline TrendWindow* FindTrendWindow(const QWidget& mainWindow) {
    return mainWindow.findChild<TrendWindow*>(QStringLiteral("trendWindow"));
}

// The button of the `index`th span.
inline QAbstractButton* SpanButton(const TrendWindow& window, int index) {
    const int span = kTrendSpans[static_cast<std::size_t>(index)];
    return window.findChild<QAbstractButton*>(QStringLiteral("span%1").arg(span));
}

// "follow", "savePng" or "saveCsv".
inline QPushButton* BarButton(const TrendWindow& window, const char* name) {
    return window.findChild<QPushButton*>(QLatin1String(name));
}

}  // namespace tk358::test
