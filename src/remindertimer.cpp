// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "remindertimer.h"

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>
#include <QTimerEvent>

#include <climits>

#ifdef Q_OS_LINUX
#include <sys/timerfd.h>
#include <unistd.h>
#endif

ReminderTimer::ReminderTimer(QObject *parent) : QObject(parent)
{
#ifdef Q_OS_LINUX
    if (!qtTimersOnly)
        clockFd = timerfd_create(CLOCK_BOOTTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (clockFd >= 0) {
        notifier = new QSocketNotifier(clockFd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &ReminderTimer::clockExpired);
    }
#endif
}

ReminderTimer::~ReminderTimer()
{
    dropClock();
}

void ReminderTimer::startInterval(qint64 value)
{
    // A zero interval would fire on every pass of the event loop.
    if (value <= 0)
        return stop();
    msec = value;
    active = true;
    chunkTimer.stop();
    chunkCount = chunksLeft = 1;
    if (armClock(value))
        return;
    dropClock();

    // The fewest equal chunks that each fit an int; day-based intervals always divide evenly.
    chunkCount = int(qMax<qint64>(1, (value + INT_MAX - 1) / INT_MAX));
    while (value % chunkCount != 0)
        ++chunkCount;
    chunksLeft = chunkCount;
    // Coarse timers may fire a little early, which adds up over chunks; one run of the whole
    // interval keeps the toolkit's default.
    chunkTimer.start(int(value / chunkCount), chunkCount > 1 ? Qt::PreciseTimer : Qt::CoarseTimer,
                     this);
}

void ReminderTimer::stop()
{
    active = false;
    chunkTimer.stop();
    if (!armClock(0))
        dropClock();
}

qint64 ReminderTimer::remainingTime() const
{
    if (!active)
        return -1;
#ifdef Q_OS_LINUX
    itimerspec left{};
    if (clockFd >= 0 && timerfd_gettime(clockFd, &left) == 0)
        return qint64(left.it_value.tv_sec) * 1000 + left.it_value.tv_nsec / 1000000;
#endif
    const int chunkLeft = QAbstractEventDispatcher::instance(thread())->remainingTime(timerId());
    return chunkLeft + qint64(chunksLeft - 1) * (msec / chunkCount);
}

void ReminderTimer::timerEvent(QTimerEvent *event)
{
    if (!chunkTimer.isActive() || event->timerId() != timerId())
        return QObject::timerEvent(event);
    if (--chunksLeft > 0)
        return;
    chunksLeft = chunkCount;
    emit timeout();
}

// Sets the clock to run out after value ms and then every value ms; 0 stops it. The kernel
// keeps the runs on their grid, also across a sleep.
bool ReminderTimer::armClock(qint64 value)
{
#ifdef Q_OS_LINUX
    itimerspec runs{};
    runs.it_value.tv_sec = time_t(value / 1000);
    runs.it_value.tv_nsec = long(value % 1000 * 1000000);
    runs.it_interval = runs.it_value;
    return clockFd >= 0 && timerfd_settime(clockFd, 0, &runs, nullptr) == 0;
#else
    Q_UNUSED(value);
    return false;
#endif
}

void ReminderTimer::clockExpired()
{
#ifdef Q_OS_LINUX
    // The read gives the number of runs that ended since the last one: more than one after a
    // sleep that outlasted the interval, and all of them make one timeout. Nothing to read
    // means the clock was set again in between.
    quint64 runs = 0;
    if (read(clockFd, &runs, sizeof runs) == sizeof runs)
        emit timeout();
#endif
}

// A clock that cannot be set is no use; Qt's timers take over.
void ReminderTimer::dropClock()
{
    // The notifier goes before the descriptor it watches.
    delete notifier;
    notifier = nullptr;
#ifdef Q_OS_LINUX
    if (clockFd >= 0)
        close(clockFd);
#endif
    clockFd = -1;
}
