// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "testkit.h"

#include <QDBusConnectionInterface>
#include <QTextDocument>
#include <QtTest>

#include <csignal>

class TestQuotes : public QObject
{
    Q_OBJECT

private slots:
    void reload();
    void display_data();
    void display();
    void emptyCollection();
    void everyEntryComesUp();
    void reachesUser_data();
    void reachesUser();
};

static QWidget *balloonTip()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->inherits("QBalloonTip") && w->isVisible())
            return w;
    return nullptr;
}

static QString dunstctl(const QStringList &args)
{
    QProcess dunstctl;
    dunstctl.start("dunstctl", args);
    dunstctl.waitForFinished();
    return dunstctl.readAllStandardOutput().trimmed();
}

// The latest notification dunst has let go of: "expiry in ms: body".
static QString lastInHistory()
{
    const QJsonValue last = QJsonDocument::fromJson(dunstctl({"history"}).toUtf8())["data"][0][0];
    return QString::number(last["timeout"]["data"].toInt() / 1000) +
           " ms: " + last["body"]["data"].toString();
}

static QStringList entries(const Solvane &window)
{
    QStringList list;
    const auto &quotes = SolvaneProbe::quotes(window);
    for (auto it = quotes.cbegin(); it != quotes.cend(); ++it)
        list << it.key() << it.value();
    return list;
}

void TestQuotes::reload()
{
    WorkDir dir;
    Stdout out;
    Solvane window;
    QPushButton *reload = SolvaneProbe::ui(window)->reloadtxtbtn;
    QCOMPARE(out.text(), QByteArray("Unable to open file"));
    QVERIFY(entries(window).isEmpty());
    const QString unable = "Unable to open file " + QFileInfo("Quotes.txt").absoluteFilePath();
    QCOMPARE(window.statusBar()->currentMessage(), unable);

    WorkDir::writeQuotes("a\n1\nb\n2\n");
    QTest::mouseClick(reload, Qt::LeftButton);
    QCOMPARE(entries(window), (QStringList{"a", "1", "b", "2"}));
    QCOMPARE(window.statusBar()->currentMessage(), QString());

    WorkDir::writeQuotes("c\n3\n");
    QTest::mouseClick(reload, Qt::LeftButton);
    QCOMPARE(entries(window), (QStringList{"c", "3"}));

    QVERIFY(QFile::remove("Quotes.txt"));
    QTest::mouseClick(reload, Qt::LeftButton);
    QVERIFY(entries(window).isEmpty());
    QCOMPARE(out.text(), QByteArray("Unable to open fileUnable to open file"));
    QCOMPARE(window.statusBar()->currentMessage(), unable);
}

void TestQuotes::display_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("length");

    QTest::newRow("9") << QByteArray("abcde\nfgh\n") << "D: 9";
    QTest::newRow("10") << QByteArray("abcde\nfghi\n") << "D: 10";
    QTest::newRow("25") << QByteArray("Patience is bitter\nRousse\n") << "D: 25";
    QTest::newRow("outside the BMP") << QByteArray("\xF0\x9D\x84\x9E\nabcdefgh\n") << "D: 11";
    QTest::newRow("empty key and value") << QByteArray("\n\n") << "D: 1";
}

void TestQuotes::display()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, length);

    WorkDir dir;
    WorkDir::writeQuotes(file);
    Solvane window;
    const QString key = SolvaneProbe::quotes(window).firstKey();
    Trace trace;
    QTest::mouseClick(SolvaneProbe::ui(window)->quotebtn, Qt::LeftButton);
    QCOMPARE(trace.words, (QStringList{"TIME", key, length}));
}

void TestQuotes::emptyCollection()
{
    WorkDir dir;
    WorkDir::writeQuotes("a lone line\n");
    Solvane window;
    Trace trace;
    QTest::mouseClick(SolvaneProbe::ui(window)->quotebtn, Qt::LeftButton);
    emit SolvaneProbe::timer(window)->timeout();
    QCOMPARE(trace.words, (QStringList{"TIME", "TIME"}));
    QTest::qWait(100);
    QVERIFY(!balloonTip());
}

void TestQuotes::everyEntryComesUp()
{
    WorkDir dir;
    WorkDir::writeQuotes("one\n1\ntwo\n2\nthree\n3\n");
    Solvane window;
    Trace trace;
    srand(7);
    for (int i = 0; i < 60; ++i)
        window.displayquote();
    const QStringList keys = trace.words.filter(QRegularExpression("^(one|two|three)$"));
    QCOMPARE(keys.size(), 60);
    QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), 3);
    srand(7); // one 15-bit draw a pick, as ever: the same seed, the same picks
    for (const QString &key : keys)
        QCOMPARE(key, QStringList({"one", "three", "two"}).at((rand() & 0x7fff) % 3));
    QByteArray many; // past 32,768 entries too
    for (int i = 100000; i < 140000; ++i)
        many += QByteArray::number(i) + "\n\n";
    WorkDir::writeQuotes(many);
    QTest::mouseClick(SolvaneProbe::ui(window)->reloadtxtbtn, Qt::LeftButton);
    for (int i = 0; i < 300; ++i)
        window.displayquote();
    QVERIFY(std::any_of(trace.words.cbegin(), trace.words.cend(),
                        [](const QString &key) { return key.toInt() >= 132768; }));
}

void TestQuotes::reachesUser_data()
{
    QTest::addColumn<bool>("tray");
    QTest::addColumn<int>("toDunst"); // a signal sent to the notification server first
    QTest::addColumn<QString>("seenIn");

    QTest::newRow("XEmbed tray") << true << 0 << "balloon";
    QTest::newRow("no tray, dunst") << false << 0 << "notification";
    // Stopped, dunst keeps its name on the bus but answers nothing.
    QTest::newRow("server never answers") << false << SIGSTOP << "status bar";
    QTest::newRow("no tray, no server") << false << SIGTERM << "status bar"; // the last: ends dunst
}

void TestQuotes::reachesUser()
{
    QFETCH(bool, tray);
    QFETCH(int, toDunst);
    QFETCH(QString, seenIn);

    QProcess trayer;
    if (tray) {
        trayer.start("trayer", {"--edge", "bottom", "--align", "right", "--widthtype", "request"});
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);
    }
    const QString history = dunstctl({"count", "history"});
    const auto bus = QDBusConnection::sessionBus().interface();
    const uint dunst = bus->servicePid("org.freedesktop.Notifications");
    QVERIFY(dunst > 0 && kill(pid_t(dunst), toDunst) == 0);
    const auto resume = qScopeGuard([dunst] { kill(pid_t(dunst), SIGCONT); });
    if (toDunst == SIGTERM)
        QTRY_VERIFY(!bus->isServiceRegistered("org.freedesktop.Notifications"));

    // 120 words come whole; longer quotes are cut after a whole word, or failing one after a
    // whole character, never inside a surrogate pair.
    const QString base = "Salt & pepper <b>bold</b> a<b", value = "x > y &amp; z";
    const QString words = base + QString(" abcdefghi").repeated(116);
    const QString emoji = base + " " + QString("\U0001F600").repeated(584);
    const QStringList keys{words, base + "x" + QString(" abcdefghi").repeated(200),
                           emoji + QString("\U0001F600").repeated(100)};
    const QStringList shown{words, keys[1].left(1190) + "\u2026", emoji + "\u2026"};
    WorkDir dir;
    WorkDir::writeQuotes((keys[0] + "\n" + value + "\n").toUtf8());
    Trace trace;
    Solvane window;
    QTest::mouseClick(SolvaneProbe::ui(window)->quotebtn, Qt::LeftButton);
    // Neither start-up nor the button waits for the bus: when the click returns, the quote is
    // still held back for an answer that never comes.
    if (toDunst == SIGSTOP)
        QCOMPARE(window.statusBar()->currentMessage(), QString());
    for (int i = 0; i < keys.size(); ++i) {
        const QString &key = shown[i];
        if (i > 0) {
            WorkDir::writeQuotes((keys[i] + "\n" + value + "\n").toUtf8());
            QTest::mouseClick(SolvaneProbe::ui(window)->reloadtxtbtn, Qt::LeftButton);
            emit SolvaneProbe::timer(window)->timeout();
        }
        if (seenIn == "balloon") {
            QTRY_VERIFY(balloonTip());
            QStringList texts;
            for (const QLabel *label : balloonTip()->findChildren<QLabel *>())
                texts << label->text();
            QVERIFY2(texts.contains("Solvane 2.0 Free"), qPrintable(texts.join('|')));
            QVERIFY2(texts.contains(key + "\n" + value), qPrintable(texts.join('|')));
            balloonTip()->close();
            QCOMPARE(dunstctl({"count", "displayed"}), "0");
        } else if (seenIn == "status bar") {
            QTRY_COMPARE(window.statusBar()->currentMessage(), key + " \u2014 " + value);
            QTextDocument tip; // the tooltip, as a tooltip renders it: whole and as written
            tip.setHtml(window.statusBar()->toolTip());
            QVERIFY(Qt::mightBeRichText(window.statusBar()->toolTip()));
            QCOMPARE(tip.toPlainText(), key + " \u2014 " + value);
            window.statusBar()->clearMessage();
        } else {
            QTRY_COMPARE(dunstctl({"count", "displayed"}), "1");
        }
    }
    if (seenIn == "notification") {
        // Clicked, the notification brings the window back as the tray icon does.
        // Minimised by the window manager, not only asked to be: a late answer would undo the
        // restore. A window never yet mapped is not exposed either.
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.showMinimized();
        QTRY_VERIFY(window.isMinimized() && !window.windowHandle()->isExposed());
        dunstctl({"action", "0"});
        QTRY_VERIFY(!window.isMinimized() && window.isActiveWindow());
        QVERIFY(!trace.words.contains("DDD"));
        dunstctl({"close"});
        // The reminders replaced the first quote; markup is escaped for dunst, and the time is
        // that of the text shown.
        QTRY_COMPARE_WITH_TIMEOUT(dunstctl({"count", "history"}).toInt(), history.toInt() + 1,
                                  10000);
        QCOMPARE(dunstctl({"count", "displayed"}), "0");
        QCOMPARE(lastInHistory(), "121000 ms: Salt &amp; pepper &lt;b&gt;bold&lt;/b&gt; a&lt;b " +
                                      QString("\U0001F600").repeated(584) +
                                      "\u2026\nx &gt; y &amp;amp; z");
    }
    trayer.terminate();
    trayer.waitForFinished();
    QTRY_VERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
}

QTEST_MAIN(TestQuotes)
#include "tst_quotes.moc"
