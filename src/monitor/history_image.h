// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The chart of a logged history drawn into a PNG or SVG file, the same chart
// the window shows, without a window on screen.

#include <QSize>
#include <QString>

namespace tk358 {

class TrendHistory;

// Draws [start, end] of the history at `size`; the file's suffix (.svg or
// anything else for PNG) gives the format. False when it cannot be written.
bool SaveHistoryImage(const TrendHistory& history, double start, double end, const QSize& size,
                      const QString& path);

}  // namespace tk358
