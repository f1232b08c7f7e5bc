#include "solvane.h"

#include <QApplication>

// Where Qt 6 changed a default that matters here, the Qt 5 one, unless the user chose.
// Returns whether it set QT_QPA_PLATFORM, which is taken back once read.
static bool keepQt5Defaults()
{
    // The scale-factor rounding of the Qt 5 build (Qt 5's default); Qt 6 passes fractional
    // factors through. The user's own scaling settings win.
    const bool scalingChosen = qEnvironmentVariableIsSet("QT_ENABLE_HIGHDPI_SCALING") ||
                               qEnvironmentVariableIsSet("QT_AUTO_SCREEN_SCALE_FACTOR") ||
                               qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ||
                               qEnvironmentVariableIsSet("QT_SCREEN_SCALE_FACTORS");
    if (!scalingChosen)
        QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
            Qt::HighDpiScaleFactorRoundingPolicy::Round);

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
    const bool platformSet = keepQt5Defaults();

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
