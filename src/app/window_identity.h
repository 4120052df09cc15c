// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The desktop entry's name on a window, for docks and task bars that match
// windows to entries. Wayland compositors get it from
// QGuiApplication::desktopFileName; an X11 window carries it in the
// properties GTK and KDE programs set.

#include <QByteArray>

class QWidget;

namespace tk358 {

// Sets _GTK_APPLICATION_ID and _KDE_NET_WM_DESKTOP_FILE of the widget's
// window to `desktopId` on X11 (creating the native window); elsewhere
// nothing happens.
void NameDesktopEntryOnWindow(QWidget& window, const QByteArray& desktopId);

}  // namespace tk358
