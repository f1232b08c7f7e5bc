// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "desktop.h"
#include "singleinstance.h"

#include <QDir>
#include <QWinEventNotifier>

#include <initializer_list>
#include <string>

#include <windows.h>

namespace
{

// A name in this sign-in session for one of the folder's objects. Windows compares paths by
// their characters' upper-case forms, so the path is upper-cased alike before it is hashed.
std::wstring kernelName(const wchar_t *kind)
{
    QString folder = QDir::toNativeSeparators(Desktop::quoteFolder());
    CharUpperBuffW(reinterpret_cast<wchar_t *>(folder.data()), DWORD(folder.size()));
    return L"Local\\Solvane-" + folderKey(folder).toStdWString() + L"-" + kind;
}

HANDLE namedEvent(const wchar_t *kind)
{
    return CreateEventW(nullptr, FALSE, FALSE, kernelName(kind).c_str());
}

void closeAll(std::initializer_list<HANDLE> handles)
{
    for (HANDLE handle : handles)
        if (handle)
            CloseHandle(handle);
}

bool owns(HANDLE mutex)
{
    const DWORD got = WaitForSingleObject(mutex, 0);
    return got == WAIT_OBJECT_0 || got == WAIT_ABANDONED;
}

// The process of the copy that runs here, 0 while that copy is only starting.
DWORD ownerProcess()
{
    HANDLE owner = OpenFileMappingW(FILE_MAP_READ, FALSE, kernelName(L"owner").c_str());
    DWORD process = 0;
    if (const auto *pid =
            owner ? static_cast<const DWORD *>(MapViewOfFile(owner, FILE_MAP_READ, 0, 0, 0))
                  : nullptr) {
        process = *pid;
        UnmapViewOfFile(pid);
    }
    closeAll({owner});
    return process;
}

} // namespace

// The first copy's: the mutex it owns, the event it is asked on, the event it answers with and
// the mapping that names its process.
struct SingleInstance::Owned {
    HANDLE running = nullptr, ask = nullptr, answer = nullptr, owner = nullptr;
    QWinEventNotifier *notifier = nullptr;

    ~Owned()
    {
        delete notifier; // before the event it waits on goes
        if (running)
            ReleaseMutex(running); // a start from now on runs at once
        closeAll({answer, ask, owner, running});
    }
};

SingleInstance::~SingleInstance()
{
    delete owned;
}

// Owns the folder with the mutex it has taken: later starts ask this copy from now on.
void SingleInstance::own(Qt::HANDLE mutex)
{
    owned = new Owned;
    owned->running = mutex;
    owned->ask = namedEvent(L"ask");
    owned->answer = namedEvent(L"answer");
    owned->owner = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(DWORD), kernelName(L"owner").c_str());
    if (auto *pid = static_cast<DWORD *>(MapViewOfFile(owned->owner, FILE_MAP_WRITE, 0, 0, 0))) {
        *pid = GetCurrentProcessId();
        UnmapViewOfFile(pid);
    }
    if (owned->ask && owned->answer) {
        // Auto-reset: each request shows the window once.
        owned->notifier = new QWinEventNotifier(owned->ask);
        connect(owned->notifier, &QWinEventNotifier::activated, this, [this] {
            // The asking start let this copy take the foreground.
            emit activated({});
            SetEvent(owned->answer);
        });
    }
}

bool SingleInstance::claim(const QVariantMap &platformData)
{
    // Windows hands an owned mutex on when its owner ends, even by a crash: never a stale lock.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kernelName(L"running").c_str());
    if (!mutex)
        return true;
    if (owns(mutex)) {
        own(mutex);
        return true;
    }

    // Another copy runs here. One later start at a time asks it, so that each gets its own answer.
    // The launch's data has no use here: Windows has no launch ids.
    Q_UNUSED(platformData)
    HANDLE asking = CreateMutexW(nullptr, FALSE, kernelName(L"asking").c_str());
    HANDLE request = namedEvent(L"ask"), reply = namedEvent(L"answer");
    const DWORD owner = ownerProcess();
    bool answered = false;
    const DWORD turn = asking ? WaitForSingleObject(asking, 5000) : WAIT_FAILED;
    if ((turn == WAIT_OBJECT_0 || turn == WAIT_ABANDONED) && request && reply) {
        ResetEvent(reply); // a late answer to an earlier start that gave up
        // Lets that copy take the foreground, which Windows grants only to the program the user
        // just started: this one.
        if (owner)
            AllowSetForegroundWindow(owner);
        SetEvent(request);
        // A copy that is stopped or hung must not keep the user from starting one.
        answered = WaitForSingleObject(reply, Desktop::answerWithin) == WAIT_OBJECT_0;
        if (!answered)
            ResetEvent(request);
        ReleaseMutex(asking);
    }
    closeAll({asking, request, reply});
    if (answered) {
        closeAll({mutex});
        return false;
    }
    // This copy runs, and takes the folder over when the one that did not answer ends, as a start
    // queued on the bus does. Its process is waited on rather than the mutex, which a wait on
    // another thread would take for that thread.
    HANDLE ended = owner ? OpenProcess(SYNCHRONIZE, FALSE, owner) : nullptr;
    if (!ended) {
        closeAll({mutex});
        return true;
    }
    auto *notifier = new QWinEventNotifier(ended, this);
    connect(notifier, &QWinEventNotifier::activated, this, [this, notifier, ended, mutex] {
        notifier->setEnabled(false);
        notifier->deleteLater();
        closeAll({ended});
        if (owns(mutex))
            own(mutex);
        else
            closeAll({mutex}); // a start in the meantime took the folder
    });
    return true;
}
