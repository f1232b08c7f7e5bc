// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef REMINDERTIMER_H
#define REMINDERTIMER_H

#include <QBasicTimer>
#include <QObject>

class QSocketNotifier;

// A repeating timer for intervals from a minute up to 99 days, timed on a clock that goes on
// while the machine sleeps: CLOCK_BOOTTIME through a timerfd. When a run ended during sleep,
// timeout() goes out once on waking and the runs keep their grid. Where no timerfd can be had,
// Qt's timers take over; their clock stands still in sleep, and an interval beyond the int of
// milliseconds they take runs as equal chunks that each fit.
class ReminderTimer : public QObject
{
    Q_OBJECT

public:
    explicit ReminderTimer(QObject *parent = nullptr);
    ~ReminderTimer() override;

    // Starts the whole interval afresh from now, whether it was running or not.
    void startInterval(qint64 msec);
    void stop();
    bool isActive() const { return active; }
    qint64 interval() const { return msec; }
    qint64 remainingTime() const;
    // Qt timer runs per interval, 1 on the sleep-inclusive clock.
    int chunks() const { return chunkCount; }
    // The Qt timer's id for the chunks; unused on the sleep-inclusive clock.
    int timerId() const { return chunkTimer.timerId(); }

    // For tests: timers made from now on use Qt's timers.
    static void setQtTimersOnly(bool on) { qtTimersOnly = on; }

signals:
    void timeout();

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    bool armClock(qint64 value);
    void clockExpired();
    void dropClock();

    static inline bool qtTimersOnly = false;
    int clockFd = -1;
    QSocketNotifier *notifier = nullptr;
    QBasicTimer chunkTimer;
    qint64 msec = 0;
    int chunkCount = 1;
    int chunksLeft = 1;
    bool active = false;
};

#endif // REMINDERTIMER_H
