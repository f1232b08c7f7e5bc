// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef DESKTOPSESSION_H
#define DESKTOPSESSION_H

#include <QElapsedTimer>
#include <QObject>
#include <QVariantMap>

class QSessionManager;
class Solvane;

// Where Solvane meets the desktop session: one running copy per quote folder, the focus that a
// launch hands over, and the session manager that saves and restores it.
//
// The first start in a folder owns a name made from the folder, on the session bus or, on Windows,
// of a kernel object; a later start there asks that copy to show its window instead, passing on
// the launch's startup id so that the window manager lets the running copy take the focus.
class DesktopSession : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    // Before the application object: Qt's X11 plugin takes the launch's startup id for itself.
    DesktopSession();
    // Whether this copy should run: false when a running copy in the same folder has answered.
    // Without a session bus, or when that copy does not answer, it runs.
    bool claim();
    // Puts the window in the state a restored session left it in, and keeps it for the next.
    void attach(Solvane *window);

public slots:
    Q_SCRIPTABLE void Activate(const QVariantMap &platformData);

private:
    void saveState(QSessionManager &manager);
    void restore(const QString &state);
    void takeFocus(const QByteArray &startupId);

    Solvane *window = nullptr;
    QByteArray startupId, activationToken;
    QString restoredState;  // what a restored session asks for, empty for any other start
    bool byDesktop = false; // started by the session itself: restored or autostarted
    QElapsedTimer sinceStart;

#ifdef Q_OS_WIN
public:
    ~DesktopSession() override;

private:
    // The first copy's: the mutex it owns, the event it is asked on, the event it answers with
    // and the mapping that names its process.
    Qt::HANDLE running = nullptr, ask = nullptr, answer = nullptr, owner = nullptr;
#endif
};

#endif // DESKTOPSESSION_H
