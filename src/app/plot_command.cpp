// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/plot_command.h"

#include <QRegularExpression>
#include <cstdio>
#include <string>
#include <vector>

#include "monitor/history_image.h"
#include "trend/trend_history.h"

namespace tk358 {

namespace {

void Complain(const QString& text) {
    std::fprintf(stderr, "tk358: %s\n", qPrintable(text));
}

}  // namespace

std::optional<QSize> ParsePlotSize(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{3,5})[xX](\\d{3,5})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
    if (size.width() < 100 || size.height() < 100 || size.width() > 10000 ||
        size.height() > 10000) {
        return std::nullopt;
    }
    return size;
}

int RunPlotCommand(const PlotCommand& command) {
    std::vector<std::string> files;
    for (const QString& file : command.files) {
        files.push_back(file.toStdString());
    }
    TrendHistory history(files);
    const LogReadResult& result = history.Load();
    for (const std::string& path : result.unreadable) {
        Complain(QStringLiteral("nie można otworzyć pliku %1").arg(QString::fromStdString(path)));
    }
    if (history.Empty()) {
        Complain(QStringLiteral("brak odczytów do narysowania: w podanych plikach nie ma żadnego "
                                "wiersza pliku rejestracji (pominięte wiersze: %1)")
                     .arg(result.stats.skipped));
        return plot_exit::kUnreadable;
    }
    const double start = command.from ? static_cast<double>(*command.from) : history.OldestTime();
    double end = command.to ? static_cast<double>(*command.to) : history.NewestTime();
    end = end > start ? end : start + 60.0;
    if (!SaveHistoryImage(history, start, end, command.size, command.output)) {
        Complain(QStringLiteral("nie można zapisać pliku %1").arg(command.output));
        return plot_exit::kWriteFailed;
    }
    if (result.stats.skipped > 0) {
        Complain(QStringLiteral("pominięto wiersze, których nie można odczytać: %1")
                     .arg(result.stats.skipped));
    }
    return plot_exit::kOk;
}

}  // namespace tk358
