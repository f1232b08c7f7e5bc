// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef DESKTOPSESSION_H
#define DESKTOPSESSION_H

#include "sessionrestore.h"
#include "singleinstance.h"

class LaunchEnvironment;
class Solvane;

// Where Solvane meets the desktop session: one running copy per quote folder, the focus that a
// later launch hands over to it, and the session manager that saves and restores it.
class DesktopSession : public QObject
{
    Q_OBJECT

public:
    // Before the application object, with what the launch said.
    explicit DesktopSession(const LaunchEnvironment &launch);
    // Whether this copy should run: false when a running copy in the same folder has answered.
    bool claim();
    // Puts the window in the state a restored session left it in, and keeps it for the next.
    void attach(Solvane *window);

private:
    void activated(const QVariantMap &platformData);

    SingleInstance instance;
    SessionRestore session;
    QVariantMap startData; // what this start tells a copy that runs already
    Solvane *window = nullptr;
};

#endif // DESKTOPSESSION_H
