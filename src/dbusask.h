// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef DBUSASK_H
#define DBUSASK_H

#include "desktop.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>

// Sends a call on the session bus without waiting for it: done gets the reply, or the error that
// stands for it (a time-out when the peer does not answer in time), later on receiver's event
// loop.
template <typename Done> void askAsync(QObject *receiver, const QDBusMessage &call, Done done)
{
    auto *watcher = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(call, Desktop::answerWithin), receiver);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, receiver, [watcher, done] {
        watcher->deleteLater();
        done(watcher->reply());
    });
}

#endif // DBUSASK_H
