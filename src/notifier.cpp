// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "notifier.h"
#include "traywatcher.h"

#include <QAccessible>
#include <QApplication>
#ifdef QT_DBUS_LIB // not on Windows, where the tray's balloon or the status bar shows a quote
#include "dbusask.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#endif
#include <QImage>
#include <QMainWindow>
#include <QStatusBar>
#include <QSystemTrayIcon>

#include <utility>

namespace
{

// Servers that take markup read the body as a small subset of XML.
QString escaped(QString text)
{
    return text.replace('&', QLatin1String("&amp;"))
        .replace('<', QLatin1String("&lt;"))
        .replace('>', QLatin1String("&gt;"));
}

#ifdef QT_DBUS_LIB
const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");

QDBusMessage notificationCall(const QString &method)
{
    return QDBusMessage::createMethodCall(service, path, service, method);
}

// The "image-data" hint: width, height, row stride, alpha, bits per sample, channels, pixels.
QVariant imageData(const QIcon &icon)
{
    const QImage image = icon.pixmap(64).toImage().convertToFormat(QImage::Format_RGBA8888);
    QDBusArgument data;
    data.beginStructure();
    data << image.width() << image.height() << int(image.bytesPerLine()) << true << 8 << 4
         << QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes());
    data.endStructure();
    return QVariant::fromValue(data);
}
#endif

} // namespace

Notifier::Notifier(QSystemTrayIcon *tray, TrayWatcher *trayWatcher, QMainWindow *window)
    : QObject(window), tray(tray), trayWatcher(trayWatcher), window(window)
{
    // The window is narrow and clips a long message: hovering shows the whole of it, as written.
    // A tooltip guesses rich text, so the quote goes as escaped rich text that keeps its spaces.
    QStatusBar *bar = window->statusBar();
    connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString &message) {
        bar->setToolTip(message.isEmpty() ? message
                                          : QLatin1String("<p style=\"white-space:pre-wrap\">") +
                                                message.toHtmlEscaped() + QLatin1String("</p>"));
    });
#ifdef QT_DBUS_LIB
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    auto *owner =
        new QDBusServiceWatcher(service, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(owner, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        lastId = 0; // a new server counts its own ids: ours could replace another program's
        askServer();
    });
    // From any sender: naming the service would make Qt look up its owner synchronously.
    bus.connect(QString(), path, service, QStringLiteral("ActionInvoked"), this,
                SLOT(actionInvoked(uint, QString)));
    askServer();
#endif
}

#ifdef QT_DBUS_LIB
// Asked at start and whenever the server changes hands or goes away.
void Notifier::askServer()
{
    server = Server::Asking;
    // A server that owns its name but does not answer holds a quote back no longer than the
    // answer time.
    askAsync(this, notificationCall(QStringLiteral("GetCapabilities")),
             capabilitiesAnswer.to([this](const QDBusMessage &reply) {
                 const bool answered = reply.type() == QDBusMessage::ReplyMessage;
                 capabilities =
                     answered ? reply.arguments().value(0).toStringList() : QStringList();
                 server = answered ? Server::Ready : Server::Absent;
                 // Only a slow server is asked again; a missing one announces its return.
                 slow = reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply");
                 showWaiting();
             }));
}
#else
void Notifier::askServer() {}
#endif

void Notifier::showWaiting()
{
    if (!waiting || server == Server::Asking || notifying)
        return;
    const Quote quote = *std::exchange(waiting, std::nullopt);
    show(quote.title, quote.message, quote.msecs);
}

void Notifier::show(const QString &title, const QString &message, int msecs)
{
    // Hidden to the tray, the window cannot be announced; a screen reader hears a notification.
    const bool unheard = window->isHidden() && QAccessible::isActive() && server == Server::Ready;
    if (!trayWatcher->dbus() && trayWatcher->available() && !unheard) {
        tray->showMessage(title, message, QSystemTrayIcon::NoIcon, msecs);
        emit unspoken(message);
        return;
    }
#ifdef QT_DBUS_LIB
    // Qt's D-Bus tray and the server go when the bus goes, without a word from either.
    if (!QDBusConnection::sessionBus().isConnected())
        server = Server::Absent;
#endif
    // Until the server has given the id of the last notification, the next could not replace it.
    if (server == Server::Asking || notifying) {
        waiting = Quote{title, message, msecs};
        return;
    }
    if (server == Server::Absent) {
        showInWindow(message, msecs);
        if (slow)
            askServer();
        return;
    }
    const QString body =
        capabilities.contains(QLatin1String("body-markup")) ? escaped(message) : message;
    // Qt's D-Bus tray passes the body to the same server untouched.
    if (trayWatcher->dbus())
        tray->showMessage(title, body, QSystemTrayIcon::NoIcon, msecs);
    else
        notify(title, body, message, msecs);
}

void Notifier::notify(const QString &title, const QString &body, const QString &message, int msecs)
{
#ifndef QT_DBUS_LIB
    Q_UNUSED(title)
    Q_UNUSED(body)
    showInWindow(message, msecs);
#else
    if (!image.isValid())
        image = imageData(window->windowIcon()); // once: each conversion would cache a pixmap
    QStringList actions;
    if (capabilities.contains(QLatin1String("actions")))
        actions << QStringLiteral("default") << tr("Show Solvane");
    const QVariantMap hints{
        {QStringLiteral("desktop-entry"), QStringLiteral("com.tarnwick.Solvane")},
        {QStringLiteral("image-data"), image}};
    QDBusMessage call = notificationCall(QStringLiteral("Notify"));
    call << QStringLiteral("Solvane") << lastId << QString() << title << body << actions << hints
         << msecs;
    notifying = true;
    askAsync(this, call, [this, message, msecs](const QDBusMessage &reply) {
        notifying = false;
        if (reply.type() == QDBusMessage::ReplyMessage) {
            lastId = reply.arguments().value(0).toUInt();
        } else {
            // The server has gone or stopped answering: the window has to do, until it is back.
            showInWindow(message, msecs);
            askServer();
        }
        showWaiting();
    });
#endif
}

void Notifier::showInWindow(const QString &message, int msecs)
{
    // A key is one line of the file, so the first line feed ends it.
    QString line = message;
    line.replace(line.indexOf('\n'), 1, QStringLiteral(" \u2014 "));
    // Hidden to a tray that cannot show the quote, the window would keep it out of sight.
    if (window->isHidden())
        emit needsWindow();
    window->statusBar()->showMessage(line, msecs);
    QApplication::alert(window);
    emit unspoken(message);
}

void Notifier::actionInvoked(uint id, const QString &action)
{
    if (id == lastId && action == QLatin1String("default"))
        emit clicked();
}
