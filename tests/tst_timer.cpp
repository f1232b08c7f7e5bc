// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "testkit.h"

#include <QtTest>

class TestTimer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data();
    void init();
    void interval_data();
    void interval();
    void restarts();
    void longIntervalFiresOnce_data();
    void longIntervalFiresOnce();
    void overdueFiresOnce();

private:
    static QList<ReminderTimer *> timers(const Solvane &w)
    {
        return w.findChildren<ReminderTimer *>(QString(), Qt::FindDirectChildrenOnly);
    }
    static void choose(const Solvane &window, const char *unit, int count)
    {
        QTest::mouseClick(window.findChild<QRadioButton *>(unit), Qt::LeftButton);
        SolvaneProbe::ui(window)->timeentry->setValue(count);
    }
};

// Every test runs on the sleep-inclusive clock and on Qt's timers, its stand-in.
void TestTimer::initTestCase_data()
{
    QTest::addColumn<bool>("qtTimers");
    QTest::newRow("clock") << false;
    QTest::newRow("Qt timers") << true;
}

void TestTimer::init()
{
    QFETCH_GLOBAL(bool, qtTimers);
    ReminderTimer::setQtTimersOnly(qtTimers);
}

void TestTimer::interval_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("chunk");
    QTest::addColumn<int>("chunks");

    QTest::newRow("1 min") << "minsrad" << 1 << 60000 << 1;
    QTest::newRow("99 mins") << "minsrad" << 99 << 5940000 << 1;
    QTest::newRow("24 hours") << "hoursrad" << 24 << 86400000 << 1;
    QTest::newRow("99 hours") << "hoursrad" << 99 << 356400000 << 1;
    QTest::newRow("1 day") << "daysrad" << 1 << 86400000 << 1;
    QTest::newRow("24 days") << "daysrad" << 24 << 2073600000 << 1;
    QTest::newRow("25 days") << "daysrad" << 25 << 1080000000 << 2;
    QTest::newRow("99 days") << "daysrad" << 99 << 2138400000 << 4;
    QTest::newRow("0 mins") << "minsrad" << 0 << 0 << 0;
    QTest::newRow("0 days") << "daysrad" << 0 << 0 << 0;
}

void TestTimer::interval()
{
    QFETCH(QString, unit);
    QFETCH(int, count);
    QFETCH(int, chunk);
    QFETCH(int, chunks);
    QFETCH_GLOBAL(bool, qtTimers);

    WorkDir dir;
    WorkDir::writeQuotes("key\nvalue\n");
    Trace trace;
    Solvane window;
    QCOMPARE(timers(window).size(), 1);
    ReminderTimer *timer = SolvaneProbe::timer(window);
    QCOMPARE(timers(window).first(), timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 86400000);

    choose(window, qPrintable(unit), count);
    QCOMPARE(timers(window), QList<ReminderTimer *>{timer});
    QCOMPARE(timer->isActive(), count > 0);
    if (count > 0) {
        QCOMPARE(timer->interval(), qint64(chunk) * chunks);
        QCOMPARE(timer->chunks(), qtTimers ? chunks : 1);
    }
    QCOMPARE(trace.others.filter("Timer"), QStringList{}); // no toolkit warning on the interval
}

void TestTimer::restarts()
{
    WorkDir dir;
    WorkDir::writeQuotes("key\nvalue\n");
    Solvane window;
    const Ui::Solvane *ui = SolvaneProbe::ui(window);
    ReminderTimer *timer = SolvaneProbe::timer(window);
    const qint64 full = timer->interval();

    // "Quote" and "Reload Txt File" leave the countdown alone; a click on the checked unit
    // starts it again.
    QTest::qWait(1600); // long timers count in whole seconds
    QTest::mouseClick(ui->quotebtn, Qt::LeftButton);
    QTest::mouseClick(ui->reloadtxtbtn, Qt::LeftButton);
    QVERIFY(timer->remainingTime() <= full - 1000);
    QTest::mouseClick(ui->daysrad, Qt::LeftButton);
    QVERIFY(timer->remainingTime() > full - 1000);

    // Count 0 pauses, whatever the unit, until a count comes back.
    ui->timeentry->setValue(0);
    QTest::mouseClick(ui->hoursrad, Qt::LeftButton);
    QVERIFY(!timer->isActive());
    ui->timeentry->setValue(5);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 5 * 3600000LL);
    QCOMPARE(timers(window).size(), 1);
}

void TestTimer::longIntervalFiresOnce_data()
{
    QTest::addColumn<int>("days");
    QTest::newRow("25 days") << 25;
    QTest::newRow("99 days") << 99;
}

void TestTimer::longIntervalFiresOnce()
{
    QFETCH(int, days);
    QFETCH_GLOBAL(bool, qtTimers);
    if (!qtTimers)
        QSKIP("the clock takes the interval whole");

    WorkDir dir;
    WorkDir::writeQuotes("key\nvalue\n");
    Solvane window;
    choose(window, "daysrad", days);
    ReminderTimer *timer = SolvaneProbe::timer(window);
    QSignalSpy timeouts(timer, &ReminderTimer::timeout);
    Trace trace;

    // Deliver the chunks as the event loop would when each one elapses.
    const auto tick = [timer] {
        QTimerEvent event(timer->timerId());
        QCoreApplication::sendEvent(timer, &event);
    };
    for (int round = 1; round <= 2; ++round) {
        for (int i = 1; i < timer->chunks(); ++i)
            tick();
        QCOMPARE(timeouts.size(), round - 1);
        tick();
        QCOMPARE(timeouts.size(), round);
    }
    QCOMPARE(trace.words.count("TIME"), 2);
}

// Runs that end while the event loop is held, as in a sleep, make one timeout; the timer goes on.
void TestTimer::overdueFiresOnce()
{
    ReminderTimer timer;
    QSignalSpy timeouts(&timer, &ReminderTimer::timeout);
    timer.startInterval(500);
    QThread::msleep(1600);
    QTRY_VERIFY(!timeouts.isEmpty());
    QCOMPARE(timeouts.size(), 1);
    QVERIFY(timeouts.wait(2000));
}

QTEST_MAIN(TestTimer)
#include "tst_timer.moc"
