// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef DESKTOPSESSION_H
#define DESKTOPSESSION_H

#include <QObject>
#include <QVariantMap>

// One running copy per quote folder. The first start in a folder owns a name made from the folder,
// on the session bus or, on Windows, of a kernel object; a later start there asks that copy to
// show its window instead.
class DesktopSession : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    using QObject::QObject;
    // Whether this copy should run: false when a running copy in the same folder has answered.
    // Without a session bus, or when that copy does not answer, it runs.
    bool claim();

public slots:
    Q_SCRIPTABLE void Activate(const QVariantMap &platformData);

signals:
    void activated();

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
