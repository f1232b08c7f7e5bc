// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "traywatcher.h"

#ifdef QT_DBUS_LIB // not on Windows, which has no D-Bus tray
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#endif
#include <QGuiApplication>
#include <QSystemTrayIcon>
// Only the X11 platform plugin knows when an XEmbed tray comes or goes, and it tells through its
// native interface, a QPA class; Qt's own tray icon listens there too. No other file needs QPA.
#include <qpa/qplatformnativeinterface.h>

namespace
{

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");

// A watcher that owns its name but does not answer counts as no tray after this.
constexpr int answerWithin = 2000;

bool isXcb()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

} // namespace

TrayWatcher::TrayWatcher(QObject *parent) : QObject(parent)
{
    if (isXcb()) {
        connect(QGuiApplication::platformNativeInterface(),
                SIGNAL(systemTrayWindowChanged(QScreen *)), this, SLOT(trayWindowChanged()));
        trayWindowChanged();
    }
#ifndef QT_DBUS_LIB
    learnKind(false);
#else
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        learnKind(false);
        return;
    }
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
    return kind == Kind::DBus ? host : kind == Kind::XEmbed && trayWindow;
}

// Qt picks the D-Bus tray when the watcher reports a registered host as the first tray icon is
// made, and the XEmbed one otherwise; the first answer here is taken the same way.
void TrayWatcher::learnKind(bool hostThere)
{
    if (kind == Kind::Unknown)
        kind = hostThere ? Kind::DBus : Kind::XEmbed;
    // Off X11 the tray does not come and go: Windows and macOS always have one.
    if (kind == Kind::XEmbed && !isXcb())
        trayWindow = QSystemTrayIcon::isSystemTrayAvailable();
    emit changed();
}

void TrayWatcher::askHost()
{
#ifdef QT_DBUS_LIB
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcherService, watcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << watcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    auto *call = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(get, answerWithin), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, call, round = ++questions] {
        call->deleteLater();
        if (round != questions)
            return; // a newer question is under way
        const bool was = available();
        host = call->reply().arguments().value(0).value<QDBusVariant>().variant().toBool();
        if (!known())
            learnKind(host);
        else if (available() != was)
            emit changed();
    });
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
