// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef TRAYWATCHER_H
#define TRAYWATCHER_H

#include "latestanswer.h"

#include <QObject>

class QSystemTrayIcon;

// Knows whether a tray can show our icon now. Qt's own check opens a new session-bus connection
// on every call when the tray is a D-Bus one, and blocks while the tray host answers; this
// learns of every change from the desktop instead, and never polls.
class TrayWatcher : public QObject
{
    Q_OBJECT

public:
    // Watches the tray that the given icon went to; Qt chose its kind when the icon was made.
    explicit TrayWatcher(QSystemTrayIcon *icon, QObject *parent = nullptr);
    // A D-Bus tray, which hands its balloons to the notification server as they are.
    bool dbus() const { return dbusTray; }
    bool available() const;

signals:
    void changed();

private slots:
    void askHost();
    void trayWindowChanged();

private:
    bool dbusTray = false;
    bool guessing = false;   // run against another Qt than built with: the first answer decides
    bool host = false;       // a StatusNotifierHost is registered with the watcher
    bool trayWindow = false; // an XEmbed tray manager owns the screen's tray selection
    LatestAnswer hostAnswer;
};

#endif // TRAYWATCHER_H
