// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "desktopsession.h"

#ifdef QT_DBUS_LIB
#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>

namespace
{

const QString objectPath = QStringLiteral("/com/tarnwick/Solvane");

// The folder's canonical path, so that a link to it finds the same copy; "f" because a part of a
// bus name must not start with a digit.
QString busName()
{
    const QByteArray folder = QDir::current().canonicalPath().toUtf8();
    return QStringLiteral("com.tarnwick.Solvane.f") +
           QCryptographicHash::hash(folder, QCryptographicHash::Sha256).toHex().left(16);
}

} // namespace
#endif

#ifndef Q_OS_WIN
bool DesktopSession::claim()
{
#ifndef QT_DBUS_LIB
    return true;
#else
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return true;
    bus.registerObject(objectPath, this, QDBusConnection::ExportScriptableSlots);
    const QString name = busName();
    // Queued behind a copy that does not answer, this one takes the name over when that ends.
    const auto claimed =
        bus.interface()->registerService(name, QDBusConnectionInterface::QueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (claimed.value() != QDBusConnectionInterface::ServiceQueued)
        return true;
    QDBusMessage activate = QDBusMessage::createMethodCall(
        name, objectPath, QStringLiteral("org.freedesktop.Application"),
        QStringLiteral("Activate"));
    activate << QVariantMap();
    // A copy that is stopped or hung must not keep the user from starting one.
    return bus.call(activate, QDBus::Block, 2000).type() != QDBusMessage::ReplyMessage;
#endif
}
#endif

void DesktopSession::Activate(const QVariantMap &)
{
    emit activated();
}

#ifdef Q_OS_WIN
#include <QCryptographicHash>
#include <QDir>
#include <QWinEventNotifier>

#include <windows.h>

namespace
{

// A name in this sign-in session for one of the folder's objects. Windows compares paths by
// their characters' upper-case forms, so the path is upper-cased alike before it is hashed.
std::wstring kernelName(const wchar_t *kind)
{
    QString folder = QDir::toNativeSeparators(QDir::current().canonicalPath());
    CharUpperBuffW(reinterpret_cast<wchar_t *>(folder.data()), DWORD(folder.size()));
    const QByteArray hash =
        QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return L"Local\\Solvane-" + QString::fromLatin1(hash).toStdWString() + L"-" + kind;
}

HANDLE namedEvent(const wchar_t *kind)
{
    return CreateEventW(nullptr, FALSE, FALSE, kernelName(kind).c_str());
}

// Lets the copy that runs here take the foreground, which Windows grants only to the program
// the user just started: this one.
void allowOwnerForeground()
{
    HANDLE owner = OpenFileMappingW(FILE_MAP_READ, FALSE, kernelName(L"owner").c_str());
    if (!owner)
        return; // that copy is only starting, and shows its window anyway
    if (const auto *pid =
            static_cast<const DWORD *>(MapViewOfFile(owner, FILE_MAP_READ, 0, 0, 0))) {
        AllowSetForegroundWindow(*pid);
        UnmapViewOfFile(pid);
    }
    CloseHandle(owner);
}

} // namespace

bool DesktopSession::claim()
{
    // Windows hands an owned mutex on when its owner ends, even by a crash: never a stale lock.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kernelName(L"running").c_str());
    if (!mutex)
        return true;
    const DWORD got = WaitForSingleObject(mutex, 0);
    if (got == WAIT_OBJECT_0 || got == WAIT_ABANDONED) {
        running = mutex;
        ask = namedEvent(L"ask");
        answer = namedEvent(L"answer");
        owner = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DWORD),
                                   kernelName(L"owner").c_str());
        if (auto *pid = static_cast<DWORD *>(MapViewOfFile(owner, FILE_MAP_WRITE, 0, 0, 0))) {
            *pid = GetCurrentProcessId();
            UnmapViewOfFile(pid);
        }
        if (ask && answer) {
            // Auto-reset: each request shows the window once.
            auto *notifier = new QWinEventNotifier(ask, this);
            connect(notifier, &QWinEventNotifier::activated, this, [this] {
                emit activated();
                SetEvent(answer);
            });
        }
        return true;
    }

    // Another copy runs here. One later start at a time asks it, so that each gets its own answer.
    HANDLE asking = CreateMutexW(nullptr, FALSE, kernelName(L"asking").c_str());
    HANDLE request = namedEvent(L"ask"), reply = namedEvent(L"answer");
    bool answered = false;
    const DWORD turn = asking ? WaitForSingleObject(asking, 5000) : WAIT_FAILED;
    if ((turn == WAIT_OBJECT_0 || turn == WAIT_ABANDONED) && request && reply) {
        ResetEvent(reply); // a late answer to an earlier start that gave up
        allowOwnerForeground();
        SetEvent(request);
        // A copy that is stopped or hung must not keep the user from starting one.
        answered = WaitForSingleObject(reply, 2000) == WAIT_OBJECT_0;
        if (!answered)
            ResetEvent(request);
        ReleaseMutex(asking);
    }
    for (HANDLE handle : {mutex, asking, request, reply})
        if (handle)
            CloseHandle(handle);
    return !answered;
}

DesktopSession::~DesktopSession()
{
    qDeleteAll(findChildren<QWinEventNotifier *>()); // before the event it waits on goes
    if (running)
        ReleaseMutex(running); // a start from now on runs at once
    for (HANDLE handle : {answer, ask, owner, running})
        if (handle)
            CloseHandle(handle);
}
#endif
