// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "solvane.h"

#include <QApplication>

// Sets QT_QPA_PLATFORM unless the user did; returns whether it did, so that it is taken back
// once read.
static bool preferXWayland()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // On a Wayland session Qt 6 picks Wayland (Qt 5 too, outside GNOME, when its Wayland plugin
    // is installed), where a window never learns that it was minimised, so hiding to the tray
    // would silently stop working. Use XWayland; Wayland only when there is no X server.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
        return true;
    }
#endif
    return false;
}

int main(int argc, char **argv)
{
    // A widgets-only program never draws with OpenGL; loading the GL integration costs tens of
    // megabytes and start-up time. The user's own choice wins. (Qt 6 loads it only when a window
    // needs OpenGL, so there this changes nothing.)
    const bool glChosen = qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION");
    if (!glChosen)
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    const bool platformSet = preferXWayland();

    Solvane::scaleWithScreen();
    QApplication app(argc, argv);
    // Programs started from here, such as browsers, must not inherit the platform choice.
    if (platformSet)
        qunsetenv("QT_QPA_PLATFORM");
    Solvane window;
    // The toolkit has read it for the first window; browsers started later must not inherit it.
    if (!glChosen)
        qunsetenv("QT_XCB_GL_INTEGRATION");
    window.show();
    return app.exec();
}
