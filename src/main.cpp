// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "desktopsession.h"
#include "launchenvironment.h"
#include "solvane.h"

#include <QApplication>

int main(int argc, char **argv)
{
    // Before the application object: Qt reads its variables, and takes the launch's startup id.
    LaunchEnvironment launch;
    DesktopSession session(launch);
    Solvane::scaleWithScreen();
    // The name desktops show for the tray item and above every notification, whichever path
    // sends it. No display name: Qt would append it to the window title.
    QCoreApplication::setApplicationName(QStringLiteral("Solvane"));
    QApplication app(argc, argv);
    // Before any window or tray icon: a second start in the same folder only shows the first.
    if (!session.claim())
        return 0;
    Solvane window;
    // Closing the window ends the program even where a tray holds the event loop open, as KDE's
    // does; hiding it to the tray closes nothing.
    QObject::connect(&app, &QGuiApplication::lastWindowClosed, &app, &QCoreApplication::quit);
    // Qt has read its variables by the first window.
    launch.release();
    window.show();
    // A restored session may ask for the window minimised or hidden to the tray.
    session.attach(&window);
    return app.exec();
}
