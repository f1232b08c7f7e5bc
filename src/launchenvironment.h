// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef LAUNCHENVIRONMENT_H
#define LAUNCHENVIRONMENT_H

#include <QByteArray>
#include <QString>
#include <QVariantMap>

// What the launch said in the environment, read once at start, and Qt's own variables that
// Solvane sets for itself. Programs started from here, such as browsers, belong to neither the
// launch nor the session, and inherit none of it.
class LaunchEnvironment
{
public:
    // Before the application object: Qt's X11 plugin takes the startup id for itself, and a
    // restored session's state and an activation token are not Qt's to act on.
    LaunchEnvironment();
    // Once Qt has read its variables, by the first window: takes away what is left.
    void release();
    // The launch's ids, as org.freedesktop.Application's platform data names them; and the id a
    // later start's platform data carries, under either name.
    QVariantMap platformData() const;
    static QByteArray launchId(const QVariantMap &platformData);

    // The restart command saved with the session carries the window's state in this.
    static constexpr char sessionStateVariable[] = "SOLVANE_SESSION_STATE";

    QString sessionState; // what a restored session asks for, empty for any other start
    bool autostarted = false;

private:
    QByteArray startupId, activationToken;
    bool glSet = false, platformSet = false;
};

#endif // LAUNCHENVIRONMENT_H
