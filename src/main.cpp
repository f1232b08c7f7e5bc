#include "solvane.h"

#include <QApplication>

int main(int argc, char **argv)
{
    // A widgets-only program never draws with OpenGL; loading the GL integration costs tens of
    // megabytes and start-up time. The user's own choice wins.
    const bool glChosen = qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION");
    if (!glChosen)
        qputenv("QT_XCB_GL_INTEGRATION", "none");

    Solvane::scaleWithScreen();
    QApplication app(argc, argv);
    Solvane window;
    // The toolkit has read it for the first window; browsers started later must not inherit it.
    if (!glChosen)
        qunsetenv("QT_XCB_GL_INTEGRATION");
    window.show();
    return app.exec();
}
