// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "sessionrestore.h"
#include "desktop.h"
#include "launchenvironment.h"
#include "windowvisibility.h"

#include <QSessionManager>
#include <QWidget>

namespace
{

const QString hidden = QStringLiteral("hidden");
const QString minimised = QStringLiteral("minimised");
// Platform data of a start the desktop made, with the state a restored session asks for.
const QString desktopStart = QStringLiteral("desktop-start");
// Logging in starts a restored session and the autostart programs within this time.
constexpr qint64 loginMs = 60000;
// A panel that starts at login may take this long to put up its tray.
constexpr int loginTrayGrace = 30000;

} // namespace

SessionRestore::SessionRestore(const QString &restoredState, bool autostarted)
    : restoredState(restoredState), byDesktop(!restoredState.isEmpty() || autostarted)
{
    sinceStart.start();
#if QT_VERSION_MAJOR < 6
    // Qt 5 would close every window when the session is saved, as if for a program with unsaved
    // documents, and closing the window ends Solvane.
    QGuiApplication::setFallbackSessionManagementEnabled(false);
#endif
}

void SessionRestore::describeStart(QVariantMap &platformData) const
{
    if (byDesktop)
        platformData.insert(desktopStart, restoredState);
}

void SessionRestore::attach(QWidget *solvane, WindowVisibility *windowVisibility)
{
    window = solvane;
    visibility = windowVisibility;
    // The restart command is for an X session manager.
    if (Desktop::isX11())
        connect(qApp, &QGuiApplication::saveStateRequest, this, &SessionRestore::saveState,
                Qt::DirectConnection);
    restore(restoredState);
}

bool SessionRestore::atLogin(const QVariantMap &platformData, bool withLaunchId)
{
    const bool loggingIn = sinceStart.elapsed() < loginMs;
    if (platformData.contains(desktopStart)) {
        if (loggingIn && restoredState.isEmpty())
            restore(platformData.value(desktopStart).toString());
        return true;
    }
    // Not every session says which starts are its own.
    return loggingIn && !restoredState.isEmpty() && !withLaunchId;
}

void SessionRestore::saveState(QSessionManager &manager)
{
    const QString folder = Desktop::quoteFolder();
    const QString state = window->isHidden()      ? hidden
                          : window->isMinimized() ? minimised
                                                  : QStringLiteral("shown");
    // The manager starts the command in a folder of its own: the quotes' folder and the program
    // go with it, the program by its full path.
    manager.setRestartCommand({QStringLiteral("/usr/bin/env"), QStringLiteral("-C"), folder,
                               QLatin1String(LaunchEnvironment::sessionStateVariable) + '=' + state,
                               QCoreApplication::applicationFilePath(), QStringLiteral("-session"),
                               manager.sessionId()});
    manager.setManagerProperty(QStringLiteral("CurrentDirectory"), folder);
}

void SessionRestore::restore(const QString &state)
{
    if (state == hidden)
        visibility->hideToTray(loginTrayGrace);
    else if (state == minimised)
        visibility->minimise();
}
