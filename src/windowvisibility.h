// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef WINDOWVISIBILITY_H
#define WINDOWVISIBILITY_H

#include <QObject>
#include <QTimer>

class QSystemTrayIcon;
class QWidget;
class TrayWatcher;

// The one place that hides the main window to the tray and brings it back, for the tray icon,
// the notifier and the desktop session alike. A window comes back never minimised and never off
// every screen, and by itself when the tray it hid in goes away for good.
class WindowVisibility : public QObject
{
    Q_OBJECT

public:
    // How long a hidden window waits for a panel that restarts before it comes back by itself.
    static constexpr int trayRestartGrace = 3000;

    WindowVisibility(QWidget *window, QSystemTrayIcon *tray, TrayWatcher *trayWatcher);

public slots:
    // Shows the window in front, from the tray, a notification or another start of the program.
    void bringBack();
    // Shows a hidden window where the user sees it, without taking the focus.
    void unhide();
    // Hides the window as minimising does; it comes back when no tray shows up within the grace.
    void hideToTray(int grace = trayRestartGrace);
    // Minimised as the user would, as a restored session asks.
    void minimise();

private:
    void trayChanged();

    QWidget *window;
    QSystemTrayIcon *tray;
    TrayWatcher *trayWatcher;
    QTimer trayGone; // grace for a restarting panel before a hidden window comes back
};

#endif // WINDOWVISIBILITY_H
