// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/window_settings.h"

#include <QScreen>
#include <QWidget>

#include "present/window_placement.h"
#include "widgets/value_display.h"

namespace tk358 {

void ApplyDisplaySettings(const DisplaySettings& settings, ValueDisplay& display) {
    display.SetBackgroundColour(settings.background);
    display.SetTextColour(settings.text);
    FontDescription font = display.GetFontDescription();
    font.height = settings.fontHeight;
    font.SetFaceName(settings.faceName);
    font.italic = settings.italic;
    font.weight = settings.fontWeight;
    display.SetFontParameters(font);
}

DisplaySettings ReadDisplaySettings(const ValueDisplay& display, bool log) {
    const FontDescription& font = display.GetFontDescription();
    DisplaySettings s;
    s.background = display.GetBackgroundColour();
    s.text = display.GetTextColour();
    s.fontHeight = font.height;
    s.faceName = font.FaceName();
    s.italic = font.italic;
    s.fontWeight = font.weight;
    s.log = log;
    return s;
}

QRect PlacementOf(const WindowRect& rect, const QWidget& window) {
    const QScreen* screen = window.screen();
    const QRect available =
        screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize minimum = window.minimumSize().expandedTo(window.minimumSizeHint());
    const WindowPlacement p = PlaceStoredWindow(
        rect, {available.x(), available.y(), available.width(), available.height()},
        minimum.width(), minimum.height());
    return QRect(p.x, p.y, p.width, p.height);
}

WindowRect WindowRectOf(const QPoint& outerTopLeft, const QSize& innerSize) {
    return StoredRectOf(
        {outerTopLeft.x(), outerTopLeft.y(), innerSize.width(), innerSize.height()});
}

}  // namespace tk358
