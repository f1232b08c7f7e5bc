// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef SESSIONRESTORE_H
#define SESSIONRESTORE_H

#include <QElapsedTimer>
#include <QObject>
#include <QVariantMap>

class QSessionManager;
class WindowVisibility;

// Solvane's part in the desktop's session: a checkpoint leaves it running and saves how to start
// it again, in its quote folder and with the window as it is; a start from that restores the
// window's state. At login the session and autostart may both start it, and the later start
// leaves the first as it is.
class SessionRestore : public QObject
{
    Q_OBJECT

public:
    // Before the application object, with what the launch said.
    SessionRestore(const QString &restoredState, bool autostarted);
    // What a later start in the same folder tells the running copy of itself.
    void describeStart(QVariantMap &platformData) const;
    // Puts the window in the state a restored session left it in, and keeps it for the next.
    void attach(QWidget *window, WindowVisibility *visibility);
    // Whether a later start is the desktop's own at login, which leaves the window as it is or
    // as the saved session had it. A user's launch comes with an id.
    bool atLogin(const QVariantMap &platformData, bool withLaunchId);

private:
    void saveState(QSessionManager &manager);
    void restore(const QString &state);

    QWidget *window = nullptr;
    WindowVisibility *visibility = nullptr;
    QString restoredState;  // what a restored session asks for, empty for any other start
    bool byDesktop = false; // started by the session itself: restored or autostarted
    QElapsedTimer sinceStart;
};

#endif // SESSIONRESTORE_H
