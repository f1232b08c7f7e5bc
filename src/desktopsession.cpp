// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "desktopsession.h"
#include "focushandover.h"
#include "launchenvironment.h"
#include "solvane.h"
#include "windowvisibility.h"

namespace
{

// The launch's ids in the platform data of org.freedesktop.Application.
const QString startupIdKey = QStringLiteral("desktop-startup-id");
const QString activationTokenKey = QStringLiteral("activation-token");

} // namespace

DesktopSession::DesktopSession(const LaunchEnvironment &launch)
    : session(launch.sessionState, launch.autostarted), startupId(launch.startupId),
      activationToken(launch.activationToken)
{
    connect(&instance, &SingleInstance::activated, this, &DesktopSession::activated);
}

bool DesktopSession::claim()
{
    QVariantMap platformData;
    if (!startupId.isEmpty())
        platformData.insert(startupIdKey, QString::fromUtf8(startupId));
    if (!activationToken.isEmpty())
        platformData.insert(activationTokenKey, QString::fromUtf8(activationToken));
    session.describeStart(platformData);
    return instance.claim(platformData);
}

void DesktopSession::attach(Solvane *solvane)
{
    window = solvane;
    session.attach(window, window->visibility());
}

void DesktopSession::activated(const QVariantMap &platformData)
{
    if (!window)
        return;
    QByteArray id = platformData.value(startupIdKey).toString().toUtf8();
    if (id.isEmpty()) // XWayland launchers hand the same token under either name
        id = platformData.value(activationTokenKey).toString().toUtf8();
    if (session.atLogin(platformData, !id.isEmpty()))
        return;
    FocusHandOver::begin(window, id);
    window->visibility()->bringBack();
    FocusHandOver::end(window, id);
}
