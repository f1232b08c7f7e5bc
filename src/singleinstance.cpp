// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "singleinstance.h"

#include <QCryptographicHash>

SingleInstance::SingleInstance(QObject *parent) : QObject(parent) {}

QString folderKey(const QString &folder)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
}
