// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "desktopsession.h"
#include "solvane.h"

#include <QCryptographicHash>
#include <QDir>
#include <QGuiApplication>
#include <QSessionManager>
#ifdef QT_DBUS_LIB
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#endif
#ifdef Q_OS_WIN
#include <QWinEventNotifier>

#include <windows.h>
#endif
#ifdef SOLVANE_XCB
// Qt has no call for a window property of the launcher's or a startup-notification message; its
// X11 plugin hands out its own connection, and the rest goes straight to the X server.
#include <qpa/qplatformnativeinterface.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#endif

namespace
{

// The restart command saved with the session carries the window's state in this.
const char stateVariable[] = "SOLVANE_SESSION_STATE";
const QString hidden = QStringLiteral("hidden");
const QString minimised = QStringLiteral("minimised");
// Platform data of a start the desktop made, with the state a restored session asks for.
const QString desktopStart = QStringLiteral("desktop-start");
// Logging in starts a restored session and the autostart programs within this time.
constexpr qint64 loginMs = 60000;
// A panel that starts at login may take this long to put up its tray.
constexpr int loginTrayGrace = 30000;

// A short name for a folder, in the names the copies running there find each other by.
QString folderKey(const QString &folder)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
}

#ifdef QT_DBUS_LIB
const QString objectPath = QStringLiteral("/com/tarnwick/Solvane");

// The folder's canonical path, so that a link to it finds the same copy; "f" because a part of a
// bus name must not start with a digit.
QString busName()
{
    return QStringLiteral("com.tarnwick.Solvane.f") + folderKey(QDir::current().canonicalPath());
}
#endif

#ifdef SOLVANE_XCB
xcb_connection_t *xcbConnection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
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
#endif

} // namespace

DesktopSession::DesktopSession()
    : startupId(qgetenv("DESKTOP_STARTUP_ID")), activationToken(qgetenv("XDG_ACTIVATION_TOKEN")),
      restoredState(qEnvironmentVariable(stateVariable)),
      byDesktop(!restoredState.isEmpty() || qEnvironmentVariableIsSet("DESKTOP_AUTOSTART_ID"))
{
    // Programs started from here, such as browsers, belong to neither the launch nor the session.
    qunsetenv("XDG_ACTIVATION_TOKEN");
    qunsetenv(stateVariable);
    sinceStart.start();
#if QT_VERSION_MAJOR < 6
    // Qt 5 would close every window when the session is saved, as if for a program with unsaved
    // documents, and closing the window ends Solvane.
    QGuiApplication::setFallbackSessionManagementEnabled(false);
#endif
}

#ifndef Q_OS_WIN
bool DesktopSession::claim()
{
    // Qt's X11 plugin has taken the startup id by now, and Qt's session manager the autostart id;
    // programs started from here, such as browsers, would inherit them.
    qunsetenv("DESKTOP_STARTUP_ID");
    qunsetenv("DESKTOP_AUTOSTART_ID");
#ifndef QT_DBUS_LIB
    return true;
#else
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return true;
    bus.registerObject(objectPath, this, QDBusConnection::ExportScriptableSlots);
    const QString name = busName();
    // Queued behind a copy that does not answer, this one takes the name over when that ends.
    const auto claimed =
        bus.interface()->registerService(name, QDBusConnectionInterface::QueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (claimed.value() != QDBusConnectionInterface::ServiceQueued)
        return true;
    QVariantMap platformData;
    if (!startupId.isEmpty())
        platformData.insert(QStringLiteral("desktop-startup-id"), QString::fromUtf8(startupId));
    if (!activationToken.isEmpty())
        platformData.insert(QStringLiteral("activation-token"), QString::fromUtf8(activationToken));
    if (byDesktop)
        platformData.insert(desktopStart, restoredState);
    QDBusMessage activate = QDBusMessage::createMethodCall(
        name, objectPath, QStringLiteral("org.freedesktop.Application"),
        QStringLiteral("Activate"));
    activate << platformData;
    // A copy that is stopped or hung must not keep the user from starting one.
    return bus.call(activate, QDBus::Block, 2000).type() != QDBusMessage::ReplyMessage;
#endif
}
#endif

void DesktopSession::attach(Solvane *solvane)
{
    window = solvane;
#ifndef Q_OS_WIN // the restart command is for an X session manager
    connect(qApp, &QGuiApplication::saveStateRequest, this, &DesktopSession::saveState,
            Qt::DirectConnection);
#endif
    restore(restoredState);
}

void DesktopSession::Activate(const QVariantMap &platformData)
{
    if (!window)
        return;
    // Logging in may start Solvane twice, from the saved session and from autostart: the second
    // start leaves the first as it is, or as the saved session had it.
    const bool atLogin = sinceStart.elapsed() < loginMs;
    if (platformData.contains(desktopStart)) {
        if (atLogin && restoredState.isEmpty())
            restore(platformData.value(desktopStart).toString());
        return;
    }
    QByteArray id = platformData.value(QStringLiteral("desktop-startup-id")).toString().toUtf8();
    if (id.isEmpty()) // XWayland launchers hand the same token under either name
        id = platformData.value(QStringLiteral("activation-token")).toString().toUtf8();
    // Not every session says which starts are its own; a user's launch comes with an id.
    if (atLogin && !restoredState.isEmpty() && id.isEmpty())
        return;
    takeFocus(id);
}

// A window manager lets a window take the focus from the user's last click only for the launch
// the user made since: the id names that launch and usually carries its time.
void DesktopSession::takeFocus(const QByteArray &id)
{
#ifndef SOLVANE_XCB
    Q_UNUSED(id)
#else
    xcb_connection_t *x = id.isEmpty() ? nullptr : xcbConnection();
    if (x) {
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
    }
#endif
    window->bringBack();
#ifdef SOLVANE_XCB
    if (x) {
        // The launch has found its window: the busy cursor goes.
        QByteArray quoted = id;
        quoted.replace('\\', "\\\\").replace('"', "\\\"");
        sendStartupMessage(x, xcb_window_t(window->winId()), "remove: ID=\"" + quoted + '"');
        xcb_flush(x);
    }
#endif
}

void DesktopSession::saveState(QSessionManager &manager)
{
    const QString folder = QDir::currentPath();
    const QString state = window->isHidden()      ? hidden
                          : window->isMinimized() ? minimised
                                                  : QStringLiteral("shown");
    // The manager starts the command in a folder of its own: the quotes' folder and the program
    // go with it, the program by its full path.
    manager.setRestartCommand({QStringLiteral("/usr/bin/env"), QStringLiteral("-C"), folder,
                               QLatin1String(stateVariable) + '=' + state,
                               QCoreApplication::applicationFilePath(), QStringLiteral("-session"),
                               manager.sessionId()});
    manager.setManagerProperty(QStringLiteral("CurrentDirectory"), folder);
}

void DesktopSession::restore(const QString &state)
{
    if (state == hidden)
        window->hideToTray(loginTrayGrace);
    else if (state == minimised)
        window->showMinimized();
}

#ifdef Q_OS_WIN
namespace
{

// A name in this sign-in session for one of the folder's objects. Windows compares paths by
// their characters' upper-case forms, so the path is upper-cased alike before it is hashed.
std::wstring kernelName(const wchar_t *kind)
{
    QString folder = QDir::toNativeSeparators(QDir::current().canonicalPath());
    CharUpperBuffW(reinterpret_cast<wchar_t *>(folder.data()), DWORD(folder.size()));
    return L"Local\\Solvane-" + folderKey(folder).toStdWString() + L"-" + kind;
}

HANDLE namedEvent(const wchar_t *kind)
{
    return CreateEventW(nullptr, FALSE, FALSE, kernelName(kind).c_str());
}

// Lets the copy that runs here take the foreground, which Windows grants only to the program
// the user just started: this one.
void allowOwnerForeground()
{
    HANDLE owner = OpenFileMappingW(FILE_MAP_READ, FALSE, kernelName(L"owner").c_str());
    if (!owner)
        return; // that copy is only starting, and shows its window anyway
    if (const auto *pid =
            static_cast<const DWORD *>(MapViewOfFile(owner, FILE_MAP_READ, 0, 0, 0))) {
        AllowSetForegroundWindow(*pid);
        UnmapViewOfFile(pid);
    }
    CloseHandle(owner);
}

} // namespace

bool DesktopSession::claim()
{
    // Windows hands an owned mutex on when its owner ends, even by a crash: never a stale lock.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kernelName(L"running").c_str());
    if (!mutex)
        return true;
    const DWORD got = WaitForSingleObject(mutex, 0);
    if (got == WAIT_OBJECT_0 || got == WAIT_ABANDONED) {
        running = mutex;
        ask = namedEvent(L"ask");
        answer = namedEvent(L"answer");
        owner = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DWORD),
                                   kernelName(L"owner").c_str());
        if (auto *pid = static_cast<DWORD *>(MapViewOfFile(owner, FILE_MAP_WRITE, 0, 0, 0))) {
            *pid = GetCurrentProcessId();
            UnmapViewOfFile(pid);
        }
        if (ask && answer) {
            // Auto-reset: each request shows the window once.
            auto *notifier = new QWinEventNotifier(ask, this);
            connect(notifier, &QWinEventNotifier::activated, this, [this] {
                if (window)
                    takeFocus({}); // the asking start let this copy take the foreground
                SetEvent(answer);
            });
        }
        return true;
    }

    // Another copy runs here. One later start at a time asks it, so that each gets its own answer.
    HANDLE asking = CreateMutexW(nullptr, FALSE, kernelName(L"asking").c_str());
    HANDLE request = namedEvent(L"ask"), reply = namedEvent(L"answer");
    bool answered = false;
    const DWORD turn = asking ? WaitForSingleObject(asking, 5000) : WAIT_FAILED;
    if ((turn == WAIT_OBJECT_0 || turn == WAIT_ABANDONED) && request && reply) {
        ResetEvent(reply); // a late answer to an earlier start that gave up
        allowOwnerForeground();
        SetEvent(request);
        // A copy that is stopped or hung must not keep the user from starting one.
        answered = WaitForSingleObject(reply, 2000) == WAIT_OBJECT_0;
        if (!answered)
            ResetEvent(request);
        ReleaseMutex(asking);
    }
    for (HANDLE handle : {mutex, asking, request, reply})
        if (handle)
            CloseHandle(handle);
    return !answered;
}

DesktopSession::~DesktopSession()
{
    qDeleteAll(findChildren<QWinEventNotifier *>()); // before the event it waits on goes
    if (running)
        ReleaseMutex(running); // a start from now on runs at once
    for (HANDLE handle : {answer, ask, owner, running})
        if (handle)
            CloseHandle(handle);
}
#endif
