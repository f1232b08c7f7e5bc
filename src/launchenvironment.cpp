// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "launchenvironment.h"

namespace
{

const QString startupIdKey = QStringLiteral("desktop-startup-id");
const QString activationTokenKey = QStringLiteral("activation-token");

// Sets one of Qt's variables for this process unless the user gave it a value; returns whether
// it did, so that it can be taken back once Qt has read it.
bool setUnlessChosen(const char *name, const QByteArray &value)
{
    if (!qEnvironmentVariableIsEmpty(name))
        return false;
    qputenv(name, value);
    return true;
}

} // namespace

LaunchEnvironment::LaunchEnvironment()
    : sessionState(qEnvironmentVariable(sessionStateVariable)),
      autostarted(qEnvironmentVariableIsSet("DESKTOP_AUTOSTART_ID")),
      startupId(qgetenv("DESKTOP_STARTUP_ID")), activationToken(qgetenv("XDG_ACTIVATION_TOKEN"))
{
    qunsetenv("XDG_ACTIVATION_TOKEN");
    qunsetenv(sessionStateVariable);
    // A widgets-only program never draws with OpenGL; loading the GL integration costs tens of
    // megabytes and start-up time. (Qt 6 loads it only when a window needs OpenGL, so there this
    // changes nothing.)
    glSet = setUnlessChosen("QT_XCB_GL_INTEGRATION", "none");
    // On a Wayland session Qt 6 picks Wayland (Qt 5 too, outside GNOME, when its Wayland plugin
    // is installed), where a window never learns that it was minimised, so hiding to the tray
    // would silently stop working. Use XWayland; Wayland only when there is no X server. The
    // build says where there is such a choice.
    platformSet = SOLVANE_X11_FIRST && setUnlessChosen("QT_QPA_PLATFORM", "xcb;wayland");
}

void LaunchEnvironment::release()
{
    // Qt's X11 plugin has taken the startup id by now, and Qt's session manager the autostart id.
    qunsetenv("DESKTOP_STARTUP_ID");
    qunsetenv("DESKTOP_AUTOSTART_ID");
    if (glSet)
        qunsetenv("QT_XCB_GL_INTEGRATION");
    if (platformSet)
        qunsetenv("QT_QPA_PLATFORM");
}

QVariantMap LaunchEnvironment::platformData() const
{
    QVariantMap data;
    if (!startupId.isEmpty())
        data.insert(startupIdKey, QString::fromUtf8(startupId));
    if (!activationToken.isEmpty())
        data.insert(activationTokenKey, QString::fromUtf8(activationToken));
    return data;
}

QByteArray LaunchEnvironment::launchId(const QVariantMap &platformData)
{
    // XWayland launchers hand the same token under either name.
    const QString id = platformData.value(startupIdKey).toString();
    return (id.isEmpty() ? platformData.value(activationTokenKey).toString() : id).toUtf8();
}
