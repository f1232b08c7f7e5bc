#include "solvane.h"

#include <QApplication>

int main(int argc, char **argv)
{
    // A widgets-only program never draws with OpenGL; loading the GL integration costs tens of
    // megabytes and start-up time. The user's own choice wins.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");

    QApplication app(argc, argv);
    Solvane window;
    window.show();
    return app.exec();
}
