// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef NOTIFIER_H
#define NOTIFIER_H

#include "latestanswer.h"

#include <QObject>
#include <QStringList>
#include <QVariant>

#include <optional>

class QDBusMessage;
class QMainWindow;
class QSystemTrayIcon;
class TrayWatcher;

// Puts a quote in front of the user on whatever the desktop offers at that moment: the tray's
// balloon, a desktop notification, or failing both the window's status bar. Every call to the
// notification server is asynchronous, so a server that hangs cannot freeze the window.
class Notifier : public QObject
{
    Q_OBJECT

public:
    Notifier(QSystemTrayIcon *tray, TrayWatcher *trayWatcher, QMainWindow *window);
    void show(const QString &title, const QString &message, int msecs);

signals:
    // The user clicked one of our notifications.
    void clicked();
    // A quote is going to the status bar of a hidden window, which has to show.
    void needsWindow();
    // A quote went to the tray's balloon or the status bar, which screen readers do not speak.
    void unspoken(const QString &message);

private slots:
    void actionInvoked(uint id, const QString &action);

private:
    enum class Server { Absent, Asking, Ready };
    struct Quote {
        QString title, message;
        int msecs;
    };

    void askServer();
    void showWaiting();
    void notify(const QString &title, const QString &body, const QString &message, int msecs);
    void showInWindow(const QString &message, int msecs);

    QSystemTrayIcon *tray;
    TrayWatcher *trayWatcher;
    QMainWindow *window;
    bool slow = false; // the server kept its name but did not answer in time
    QVariant image;
    Server server = Server::Absent;
    QStringList capabilities;
    LatestAnswer capabilitiesAnswer;
    std::optional<Quote> waiting; // came while the server was being asked or notified
    bool notifying = false;
    uint lastId = 0;
};

#endif // NOTIFIER_H
