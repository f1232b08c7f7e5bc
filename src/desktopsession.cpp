// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "desktopsession.h"
#include "focushandover.h"
#include "launchenvironment.h"
#include "solvane.h"
#include "windowvisibility.h"

DesktopSession::DesktopSession(const LaunchEnvironment &launch)
    : session(launch.sessionState, launch.autostarted), startData(launch.platformData())
{
    session.describeStart(startData);
    connect(&instance, &SingleInstance::activated, this, &DesktopSession::activated);
}

bool DesktopSession::claim()
{
    return instance.claim(startData);
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
    const QByteArray id = LaunchEnvironment::launchId(platformData);
    if (session.atLogin(platformData, !id.isEmpty()))
        return;
    FocusHandOver::bringBack(window, id, [this] { window->visibility()->bringBack(); });
}
