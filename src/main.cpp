// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "desktopsession.h"
#include "solvane.h"

#include <QApplication>

// Sets one of Qt's variables for this process unless the user gave it a value; returns whether
// it did, so that it can be taken back once Qt has read it.
static bool setUnlessChosen(const char *name, const QByteArray &value)
{
    if (!qEnvironmentVariableIsEmpty(name))
        return false;
    qputenv(name, value);
    return true;
}

int main(int argc, char **argv)
{
    // A widgets-only program never draws with OpenGL; loading the GL integration costs tens of
    // megabytes and start-up time. (Qt 6 loads it only when a window needs OpenGL, so there this
    // changes nothing.)
    const bool glSet = setUnlessChosen("QT_XCB_GL_INTEGRATION", "none");
    bool platformSet = false;
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // On a Wayland session Qt 6 picks Wayland (Qt 5 too, outside GNOME, when its Wayland plugin
    // is installed), where a window never learns that it was minimised, so hiding to the tray
    // would silently stop working. Use XWayland; Wayland only when there is no X server.
    platformSet = setUnlessChosen("QT_QPA_PLATFORM", "xcb;wayland");
#endif

    // Takes the launch's startup id before Qt does.
    DesktopSession session;
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
    // Qt has read both by the first window; programs started from here, such as browsers, must
    // not inherit them.
    if (glSet)
        qunsetenv("QT_XCB_GL_INTEGRATION");
    if (platformSet)
        qunsetenv("QT_QPA_PLATFORM");
    window.show();
    // A restored session may ask for the window minimised or hidden to the tray.
    session.attach(&window);
    return app.exec();
}
