// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef TRAYWATCHER_H
#define TRAYWATCHER_H

#include <QObject>

// Knows whether a tray can show our icon now. Qt's own check opens a new session-bus connection
// on every call when the tray is a D-Bus one, and blocks while the tray host answers; this
// learns of every change from the desktop instead, and never polls.
class TrayWatcher : public QObject
{
    Q_OBJECT

public:
    explicit TrayWatcher(QObject *parent = nullptr);
    // Whether the kind of tray Qt chose is known yet; until then there is no tray to count on.
    bool known() const { return kind != Kind::Unknown; }
    // Qt's D-Bus tray, which hands its balloons to the notification server as they are.
    bool dbus() const { return kind == Kind::DBus; }
    bool available() const;

signals:
    void changed();

private slots:
    void askHost();
    void trayWindowChanged();

private:
    enum class Kind { Unknown, XEmbed, DBus };
    void learnKind(bool dbusTray);

    // Qt picks the kind once per process, when its first tray icon is made.
    static inline Kind kind = Kind::Unknown;
    bool host = false;       // a StatusNotifierHost is registered with the watcher
    bool trayWindow = false; // an XEmbed tray manager owns the screen's tray selection
    int questions = 0;       // only the latest answer counts
};

#endif // TRAYWATCHER_H
