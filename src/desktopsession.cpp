// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "desktopsession.h"

#ifdef QT_DBUS_LIB // on Windows every start runs on its own
#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>

namespace
{

const QString objectPath = QStringLiteral("/com/tarnwick/Solvane");

// The folder's canonical path, so that a link to it finds the same copy; "f" because a part of a
// bus name must not start with a digit.
QString busName()
{
    const QByteArray folder = QDir::current().canonicalPath().toUtf8();
    return QStringLiteral("com.tarnwick.Solvane.f") +
           QCryptographicHash::hash(folder, QCryptographicHash::Sha256).toHex().left(16);
}

} // namespace
#endif

bool DesktopSession::claim()
{
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
    QDBusMessage activate = QDBusMessage::createMethodCall(
        name, objectPath, QStringLiteral("org.freedesktop.Application"),
        QStringLiteral("Activate"));
    activate << QVariantMap();
    // A copy that is stopped or hung must not keep the user from starting one.
    return bus.call(activate, QDBus::Block, 2000).type() != QDBusMessage::ReplyMessage;
#endif
}

void DesktopSession::Activate(const QVariantMap &)
{
    emit activated();
}
