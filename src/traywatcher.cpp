// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "traywatcher.h"

#ifdef QT_DBUS_LIB // not on Windows, which has no D-Bus tray
#include "dbusask.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

#include <algorithm>
#endif
#include <QGuiApplication>
#include <QSystemTrayIcon>
// Only the X11 platform plugin knows when an XEmbed tray comes or goes, and it tells through its
// native interface, a QPA class; Qt's own tray icon listens there too. No other file needs QPA.
#include <qpa/qplatformnativeinterface.h>

namespace
{

bool isXcb()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

#ifdef QT_DBUS_LIB
const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");

// A watcher that owns its name but does not answer counts as no tray after this.
constexpr int answerWithin = 2000;

// KDE's platform theme, which Qt loads on Plasma as the environment says, makes its own D-Bus
// tray whenever a watcher is there, under no name of ours.
bool kdeTheme()
{
    const QByteArray theme = qgetenv("QT_QPA_PLATFORMTHEME");
    if (!theme.isEmpty())
        return theme.startsWith("kde");
    return qgetenv("XDG_CURRENT_DESKTOP").toUpper().split(':').contains("KDE");
}
#endif

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
    // Qt 5's D-Bus tray registers a name of ours while the first tray icon is made visible,
    // before this runs: asking the bus what was made cannot race a tray host that starts later.
    // Qt 6 registers under its connection's own name; it picks the D-Bus tray whenever a watcher
    // is there.
    const QString ours =
        QStringLiteral("org.kde.StatusNotifierItem-%1-").arg(QCoreApplication::applicationPid());
    askAsync(this,
             QDBusMessage::createMethodCall(
                 QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                 QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListNames")),
             answerWithin, [this, ours](const QDBusMessage &reply) {
                 const QStringList names = reply.arguments().value(0).toStringList();
                 const bool made =
                     std::any_of(names.cbegin(), names.cend(),
                                 [&](const QString &name) { return name.startsWith(ours); });
                 const bool watched = QT_VERSION_MAJOR >= 6 || kdeTheme();
                 learnKind(made || (watched && names.contains(watcherService)));
             });
#endif
}

bool TrayWatcher::available() const
{
    return kind == Kind::DBus ? host : kind == Kind::XEmbed && trayWindow;
}

void TrayWatcher::learnKind(bool dbusTray)
{
    if (kind == Kind::Unknown)
        kind = dbusTray ? Kind::DBus : Kind::XEmbed;
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
    askAsync(this, get, answerWithin, [this, round = ++questions](const QDBusMessage &reply) {
        if (round != questions)
            return; // a newer question is under way
        const bool was = available();
        host = reply.arguments().value(0).value<QDBusVariant>().variant().toBool();
        if (known() && available() != was)
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
