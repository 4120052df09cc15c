#include "monitor/window_settings.h"

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

QRect PlacementOf(const WindowRect& rect) {
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

WindowRect WindowRectOf(const QPoint& outerTopLeft, const QSize& innerSize) {
    return {outerTopLeft.x(), outerTopLeft.y(), outerTopLeft.x() + innerSize.width(),
            outerTopLeft.y() + innerSize.height()};
}

}  // namespace tk358
