// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "desktop.h"
#include "focushandover.h"

#include <QWidget>
// Qt has no call for a window property of the launcher's or a startup-notification message; its
// X11 plugin hands out its own connection, and the rest goes straight to the X server.
#include <qpa/qplatformnativeinterface.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace
{

xcb_connection_t *xcbConnection()
{
    return static_cast<xcb_connection_t *>(
        QGuiApplication::platformNativeInterface()->nativeResourceForIntegration("connection"));
}

xcb_atom_t atom(xcb_connection_t *x, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(x, xcb_intern_atom(x, false, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

// A startup-notification message goes to the root window in pieces of 20 bytes.
void sendStartupMessage(xcb_connection_t *x, xcb_window_t from, const QByteArray &message)
{
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const xcb_atom_t first = atom(x, "_NET_STARTUP_INFO_BEGIN"),
                     more = atom(x, "_NET_STARTUP_INFO");
    const QByteArray bytes = message + '\0';
    for (int at = 0; at < bytes.size(); at += 20) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = from;
        event.type = at == 0 ? first : more;
        memcpy(event.data.data8, bytes.constData() + at, size_t(qMin(20, int(bytes.size()) - at)));
        xcb_send_event(x, false, root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char *>(&event));
    }
}

} // namespace

void FocusHandOver::bringBack(QWidget *window, const QByteArray &id,
                              const std::function<void()> &bringBack)
{
    xcb_connection_t *x = id.isEmpty() || !Desktop::isX11() ? nullptr : xcbConnection();
    if (!x) {
        bringBack();
        return;
    }
    const auto winId = xcb_window_t(window->winId());
    // Mutter activates a window when it is given the launch's id.
    xcb_change_property(x, XCB_PROP_MODE_REPLACE, winId, atom(x, "_NET_STARTUP_ID"),
                        atom(x, "UTF8_STRING"), 8, uint32_t(id.size()), id.constData());
    // Others take the request's time: stamped with the launch's, it is the user's own.
    bool ok = false;
    const int at = id.lastIndexOf("_TIME");
    const uint time = at < 0 ? 0 : id.mid(at + 5).toUInt(&ok);
    auto *native = QGuiApplication::platformNativeInterface();
    using SetTime = void (*)(QScreen *, xcb_timestamp_t);
    for (const char *name : {"setapptime", "setappusertime"}) {
        // Qt hands its functions out under one type, as its own X11 helpers take them.
        void *set = reinterpret_cast<void *>(native->nativeResourceFunctionForScreen(name));
        if (ok && set)
            reinterpret_cast<SetTime>(set)(window->screen(), time);
    }
    bringBack();
    // The launch has found its window: the busy cursor goes.
    QByteArray quoted = id;
    quoted.replace('\\', "\\\\").replace('"', "\\\"");
    sendStartupMessage(x, winId, "remove: ID=\"" + quoted + '"');
    xcb_flush(x);
}
