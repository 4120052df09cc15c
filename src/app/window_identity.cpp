// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window_identity.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace tk358 {

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
            nullptr),
        &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

}  // namespace

void NameDesktopEntryOnWindow(QWidget& window, const QByteArray& desktopId) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return;
    }
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t utf8 = Atom(connection, "UTF8_STRING");
    for (const char* property : {"_GTK_APPLICATION_ID", "_KDE_NET_WM_DESKTOP_FILE"}) {
        const xcb_atom_t atom = Atom(connection, property);
        if (atom != XCB_ATOM_NONE && utf8 != XCB_ATOM_NONE) {
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom, utf8, 8,
                                static_cast<uint32_t>(desktopId.size()), desktopId.constData());
        }
    }
    xcb_flush(connection);
}

}  // namespace tk358
