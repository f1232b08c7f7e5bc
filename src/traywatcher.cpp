// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "traywatcher.h"
#include "desktop.h"

#ifdef QT_DBUS_LIB // not on Windows, which has no D-Bus tray
#include "dbusask.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
// Qt keeps to itself whether a desktop's platform theme made the icon (a D-Bus tray on Linux:
// Qt's own, KDE's, LXQt's, whatever bus name each registers) or Qt fell back on its XEmbed one.
#include <private/qsystemtrayicon_p.h>
#endif
#include <QGuiApplication>
#include <QSystemTrayIcon>
// Only the X11 platform plugin knows when an XEmbed tray comes or goes, and it tells through its
// native interface, a QPA class; Qt's own tray icon listens there too.
#include <qpa/qplatformnativeinterface.h>

namespace
{

#ifdef QT_DBUS_LIB
const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");

// Qt does not export the type information of its private classes, which the undefined-behaviour
// sanitizer's check of this cast would need in order to link.
#if defined(__GNUC__)
__attribute__((no_sanitize("vptr")))
#endif
bool madeByTheme(QSystemTrayIcon *icon)
{
    return static_cast<QSystemTrayIconPrivate *>(QObjectPrivate::get(icon))->qpa_sys;
}

// The private class's layout holds only for the Qt we were built with; a build that is not a
// package, or a package whose Qt was replaced, may run against another.
bool builtQt()
{
    return qstrcmp(qVersion(), QT_VERSION_STR) == 0;
}
#endif

} // namespace

TrayWatcher::TrayWatcher(QSystemTrayIcon *icon, QObject *parent) : QObject(parent)
{
    if (Desktop::isX11()) {
        connect(QGuiApplication::platformNativeInterface(),
                SIGNAL(systemTrayWindowChanged(QScreen *)), this, SLOT(trayWindowChanged()));
        trayWindowChanged();
    } else {
        // Off X11 the tray does not come and go: Windows and macOS always have one.
        trayWindow = QSystemTrayIcon::isSystemTrayAvailable();
    }
#ifndef QT_DBUS_LIB
    Q_UNUSED(icon)
#else
    // Made while the icon was constructed, before anything here could race a tray host that
    // starts a moment later. Against another Qt, the desktop's first answer stands for Qt's choice:
    // Qt takes a D-Bus tray when a host is registered.
    guessing = !builtQt();
    if (!guessing)
        dbusTray = madeByTheme(icon);
    else
        qDebug("Qt %s, built with %s: the desktop tells the kind of tray", qVersion(),
               QT_VERSION_STR);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!(dbusTray || guessing) || !bus.isConnected())
        return;
    auto *owner = new QDBusServiceWatcher(watcherService, bus,
                                          QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(owner, &QDBusServiceWatcher::serviceOwnerChanged, this, &TrayWatcher::askHost);
    // From any sender: naming the service would make Qt look up its owner synchronously.
    for (const char *signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
        bus.connect(QString(), watcherPath, watcherService, QLatin1String(signal), this,
                    SLOT(askHost()));
    askHost();
#endif
}

bool TrayWatcher::available() const
{
    return dbusTray ? host : trayWindow;
}

void TrayWatcher::askHost()
{
#ifdef QT_DBUS_LIB
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcherService, watcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << watcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    // A watcher that owns its name but does not answer in time counts as no tray.
    askAsync(this, get, hostAnswer.to([this](const QDBusMessage &reply) {
        const bool was = available(), wasDBus = dbusTray;
        host = reply.arguments().value(0).value<QDBusVariant>().variant().toBool();
        if (guessing)
            dbusTray = host;
        guessing = false;
        if (available() != was || dbusTray != wasDBus)
            emit changed();
    }));
#endif
}

void TrayWatcher::trayWindowChanged()
{
    const bool was = available();
    trayWindow = QGuiApplication::platformNativeInterface()->nativeResourceForScreen(
                     "traywindow", QGuiApplication::primaryScreen()) != nullptr;
    if (available() != was)
        emit changed();
}
