// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "testkit.h"

#include <QProcess>
#include <QtTest>

// Real clicks on a real tray: the session has openbox but no tray host, so this test starts
// and stops its own trayer to see both a desktop with a tray and one without.
class TestTray : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void clicks_data();
    void clicks();
    void maximisedComesBackNormal();
    void minimiseWithoutTray();

private:
    void startTray();
    void stopTray();
    static void xdotool(const QStringList &args) { QProcess::execute("xdotool", args); }
    static void minimiseByWindowManager(const QWidget &w)
    {
        xdotool({"windowminimize", QString::number(w.winId())});
    }
    static void clickTray(const Solvane &w, const QString &button, int repeat = 1)
    {
        // Clicks in quick succession across tests would pair up as a double click.
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        const QPoint at = SolvaneProbe::tray(w)->geometry().center();
        xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "--repeat",
                 QString::number(repeat), "--delay", "80", button});
    }

    QProcess trayer;
    WorkDir *dir = nullptr;
};

void TestTray::startTray()
{
    trayer.start("trayer", {"--edge", "bottom", "--align", "right", "--widthtype", "request",
                            "--height", "32", "--transparent", "false"});
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);
}

void TestTray::stopTray()
{
    trayer.terminate();
    trayer.waitForFinished();
    QTRY_VERIFY_WITH_TIMEOUT(!QSystemTrayIcon::isSystemTrayAvailable(), 10000);
}

void TestTray::initTestCase()
{
    startTray();
}

void TestTray::cleanupTestCase()
{
    trayer.kill();
    trayer.waitForFinished();
}

void TestTray::init()
{
    dir = new WorkDir;
    WorkDir::writeQuotes("key\nvalue\n");
}

void TestTray::cleanup()
{
    delete dir;
}

void TestTray::clicks_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("repeat");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QStringList>("words");

    QTest::newRow("left") << "1" << 1 << true << QStringList{"minimise", "DDD", "one"};
    QTest::newRow("middle") << "2" << 1 << false << QStringList{"minimise", "DDD", "three"};
    QTest::newRow("right") << "3" << 1 << false << QStringList{"minimise", "DDD"};
    QTest::newRow("double") << "1" << 2 << true
                            << QStringList{"minimise", "DDD", "one", "DDD", "two"};
}

void TestTray::clicks()
{
    QFETCH(QString, button);
    QFETCH(int, repeat);
    QFETCH(bool, shown);
    QFETCH(QStringList, words);

    Solvane window;
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(!SolvaneProbe::tray(window)->geometry().isEmpty());
    Trace trace;

    minimiseByWindowManager(window);
    QTRY_VERIFY(!window.isVisible());
    clickTray(window, button, repeat);
    QTRY_COMPARE(trace.words, words);
    QTest::qWait(200);
    QCOMPARE(trace.words, words);
    QCOMPARE(window.isVisible(), shown);
    if (shown)
        QTRY_VERIFY(!window.isMinimized() && window.isActiveWindow());
    QVERIFY(!QApplication::activePopupWidget());
}

void TestTray::maximisedComesBackNormal()
{
    Solvane window;
    window.showMaximized();
    QTRY_VERIFY(window.isMaximized());
    QTRY_VERIFY(!SolvaneProbe::tray(window)->geometry().isEmpty());

    minimiseByWindowManager(window);
    QTRY_VERIFY(!window.isVisible());
    clickTray(window, "1");
    QTRY_VERIFY(window.isVisible());
    QTRY_VERIFY(window.isActiveWindow());
    // The window manager may pass through its old maximised state on the way back.
    QTRY_VERIFY(!window.isMaximized() && !window.isMinimized());
    QTRY_COMPARE(window.size(), QSize(351, 168));
}

void TestTray::minimiseWithoutTray()
{
    Solvane window;
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    minimiseByWindowManager(window); // hidden, then the tray goes: a quote shows the window
    QTRY_VERIFY(!window.isVisible());
    stopTray();
    window.displayquote();
    QVERIFY(window.isVisible() && !window.isMinimized() && QTest::qWaitForWindowExposed(&window));
    Trace trace;

    // No icon to come back from: the window only minimises.
    minimiseByWindowManager(window);
    QTRY_VERIFY(window.isMinimized());
    QTest::qWait(200);
    QVERIFY(window.isVisible());
    QVERIFY(trace.words.isEmpty());
    QVERIFY(SolvaneProbe::tray(window)->isVisible());

    // With a tray again, minimising hides once more.
    startTray();
    window.showNormal();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    minimiseByWindowManager(window);
    QTRY_VERIFY(!window.isVisible());
    QCOMPARE(trace.words, QStringList{"minimise"});
}

QTEST_MAIN(TestTray)
#include "tst_tray.moc"
