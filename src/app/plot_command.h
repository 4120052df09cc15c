// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// `tk358 --plot FILE... -o OUT.png|OUT.svg [--from TIME] [--to TIME]
// [--size WxH]`: the chart of measurement logs drawn into a file without a
// display, for a report from cron.

#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace tk358 {

struct PlotCommand {
    QStringList files;
    QString output;
    std::optional<int64_t> from;  // seconds since the epoch; the files' start when not given
    std::optional<int64_t> to;
    QSize size{1200, 600};
};

namespace plot_exit {
inline constexpr int kOk = 0;
inline constexpr int kUsage = 2;
inline constexpr int kUnreadable = 5;   // no file gave a reading
inline constexpr int kWriteFailed = 7;  // the image could not be written
}  // namespace plot_exit

// "WxH" within 100..10000 each; nothing when it is not.
std::optional<QSize> ParsePlotSize(const QString& text);

// Runs the command (a QApplication exists); messages go to stderr.
int RunPlotCommand(const PlotCommand& command);

}  // namespace tk358
