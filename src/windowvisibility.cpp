// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "windowvisibility.h"
#include "traywatcher.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QWidget>

WindowVisibility::WindowVisibility(QWidget *mainWindow, QSystemTrayIcon *trayIcon,
                                   TrayWatcher *watcher)
    : QObject(mainWindow), window(mainWindow), tray(trayIcon), trayWatcher(watcher)
{
    // A panel that restarts at once docks the icon again, and the window can stay hidden.
    trayGone.setSingleShot(true);
    connect(&trayGone, &QTimer::timeout, this, [this] {
        if (window->isHidden() && !trayWatcher->available())
            bringBack();
    });
    connect(trayWatcher, &TrayWatcher::changed, this, &WindowVisibility::trayChanged);
}

void WindowVisibility::bringBack()
{
    unhide();
    window->setWindowState(Qt::WindowActive);
    // Already shown but behind other windows, it has no state to change.
    window->raise();
    window->activateWindow();
}

void WindowVisibility::unhide()
{
    if (!window->isHidden())
        return;
    // Qt would map a window it still counts as minimised asking to be iconic, and a window
    // manager may obey.
    window->setWindowState(Qt::WindowActive);
    // Hidden on a screen that has since gone, it would come back where nobody can see it.
    if (!QGuiApplication::screenAt(window->frameGeometry().center())) {
        QScreen *screen = QGuiApplication::screenAt(tray->geometry().center());
        if (!screen)
            screen = QGuiApplication::screenAt(QCursor::pos());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
    window->show();
}

void WindowVisibility::hideToTray(int grace)
{
    window->hide();
    if (!trayWatcher->available())
        trayGone.start(grace);
}

void WindowVisibility::minimise()
{
    window->showMinimized();
}

// A hidden window comes back when the tray it hid in goes away: no icon is left to click.
void WindowVisibility::trayChanged()
{
    if (trayWatcher->available())
        trayGone.stop();
    else if (window->isHidden())
        trayGone.start(trayRestartGrace);
}
