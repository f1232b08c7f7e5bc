// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef SINGLEINSTANCE_H
#define SINGLEINSTANCE_H

#include <QObject>
#include <QVariantMap>

// One running copy per quote folder. The first start in a folder owns a name made from the
// folder, on the session bus or, on Windows, of a kernel object; a later start there asks that
// copy to show its window instead, with the launch's platform data. The build chooses the
// platform's file.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;
    // Whether this copy should run: false when a running copy in the same folder has answered.
    // Without a session bus, or when that copy does not answer in time, it runs.
    bool claim(const QVariantMap &platformData);

signals:
    // A later start asked this copy to show itself.
    void activated(const QVariantMap &platformData);

private:
    void own(Qt::HANDLE mutex);

    struct Owned; // Windows' kernel objects of the copy that owns the folder; the bus holds its own
    Owned *owned = nullptr;
};

// A short name for a folder, in the names the copies running there find each other by.
QString folderKey(const QString &folder);

#endif // SINGLEINSTANCE_H
