// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "desktop.h"
#include "singleinstance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace
{

const QString objectPath = QStringLiteral("/com/tarnwick/Solvane");

// "f" because a part of a bus name must not start with a digit.
QString busName()
{
    return QStringLiteral("com.tarnwick.Solvane.f") + folderKey(Desktop::quoteFolder());
}

// What later starts call on the bus.
class Application : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    explicit Application(SingleInstance *instance) : QObject(instance), instance(instance) {}

public slots:
    Q_SCRIPTABLE void Activate(const QVariantMap &platformData)
    {
        emit instance->activated(platformData);
    }

private:
    SingleInstance *instance;
};

} // namespace

// The bus lets go of the name and the object when the connection ends.
SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim(const QVariantMap &platformData)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return true;
    bus.registerObject(objectPath, new Application(this), QDBusConnection::ExportScriptableSlots);
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
    activate << platformData;
    // Blocks, unlike every other call on the bus: nothing is on screen yet, and a copy that is
    // stopped or hung must not keep the user from starting one.
    return bus.call(activate, QDBus::Block, Desktop::answerWithin).type() !=
           QDBusMessage::ReplyMessage;
}

#include "singleinstance_dbus.moc"
