// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/history_image.h"

#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

#include "monitor/trend_chart.h"
#include "trend/trend_history.h"

namespace tk358 {

bool SaveHistoryImage(const TrendHistory& history, double start, double end, const QSize& size,
                      const QString& path) {
    const TrendRecorder none(1, 1);
    TrendChart chart(none);
    chart.resize(size);
    chart.ShowSource(&history);
    chart.ShowRange(start, end);
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("tk358"));
        QPainter painter;
        if (!painter.begin(&svg)) {
            return false;
        }
        painter.setFont(chart.font());
        chart.Draw(painter, size);
        return painter.end();
    }
    QImage image(size, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        painter.setFont(chart.font());
        chart.Draw(painter, size);
    }
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
}

}  // namespace tk358
