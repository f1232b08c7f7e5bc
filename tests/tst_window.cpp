// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "testkit.h"

#include <QAccessible>
#include <QDesktopServices>
#include <QImage>
#include <QtTest>

#include <sys/stat.h>

class TestWindow : public QObject
{
    Q_OBJECT

public:
    static void initMain() { Solvane::scaleWithScreen(); } // as the program does

public slots:
    void openUrl(const QUrl &url) { opened << url.toString(); }

private slots:
    void form_data();
    void form();
    void textsFit_data();
    void textsFit();
    void startsUp_data();
    void startsUp();
    void links();

private:
    QStringList opened;
};

void TestWindow::form_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");

    const auto row = [](const char *name, const char *cls, const char *parent, QRect rect,
                        const QString &text = QString()) {
        QTest::newRow(name) << cls << parent << rect << text;
    };
    row("centralWidget", "QWidget", "Solvane", {});
    row("quotebtn", "QPushButton", "centralWidget", {260, 10, 81, 31}, "Quote");
    row("reloadtxtbtn", "QPushButton", "centralWidget", {260, 42, 81, 31}, "Reload Txt File");
    row("label", "QLabel", "centralWidget", {10, 40, 231, 31},
        QStringLiteral("© Tarnwick 2026\ncontact@tarnwick.com"));
    row("minsrad", "QRadioButton", "centralWidget", {80, 10, 51, 17}, "Mins");
    row("hoursrad", "QRadioButton", "centralWidget", {130, 10, 51, 17}, "Hours");
    row("daysrad", "QRadioButton", "centralWidget", {190, 10, 51, 17}, "Days");
    row("timeentry", "QSpinBox", "centralWidget", {20, 10, 42, 22}, "Interval"); // its name
    row("reloadtxtbtn_2", "QPushButton", "centralWidget", {10, 80, 141, 31},
        "Buy Full Version Now!");
    row("reloadtxtbtn_3", "QPushButton", "centralWidget", {200, 80, 141, 31}, "Visit Tarnwick");
    row("menuBar", "QMenuBar", "Solvane", {0, 0, 351, 21});
    row("mainToolBar", "QToolBar", "Solvane", {});
    row("statusBar", "QStatusBar", "Solvane", {});
    row("announcement", "Announcer", "Solvane", {}, "key\nvalue"); // the window's, after a quote
}

void TestWindow::form()
{
    QFETCH(QString, className);
    QFETCH(QString, parentName);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);

    // The form exactly as set up, before any layout or window code acts on it.
    QMainWindow bare;
    Ui::Solvane form;
    form.setupUi(&bare);
    QCOMPARE(bare.objectName(), QStringLiteral("Solvane"));
    QCOMPARE(bare.windowTitle(), QStringLiteral("Solvane Free vs 2.0 Tarnwick"));
    QCOMPARE(bare.size(), QSize(351, 168));
    const auto *built = bare.findChild<QWidget *>(QTest::currentDataTag());
    QVERIFY(built || className == "Announcer"); // made by the window, not the form
    if (built) {
        QCOMPARE(built->metaObject()->className(), className.toLatin1());
        QCOMPARE(built->parent()->objectName(), parentName);
    }
    if (!geometry.isNull())
        QCOMPARE(built->geometry(), geometry);
    if (const auto *radio = qobject_cast<const QRadioButton *>(built))
        QVERIFY(!radio->isChecked());
    if (const auto *spin = qobject_cast<const QSpinBox *>(built))
        QCOMPARE(spin->value(), 0);

    if (const auto *label = qobject_cast<const QLabel *>(built))
        QCOMPARE(label->text(), text);
    if (const auto *button = qobject_cast<const QAbstractButton *>(built))
        QCOMPARE(button->text(), text);

    WorkDir dir;
    WorkDir::writeQuotes("key\nvalue\n");
    Trace trace;
    Solvane window;
    QVERIFY2(trace.others.filter("No matching signal").isEmpty(),
             qPrintable(trace.others.join('\n')));
    auto *w = window.findChild<QWidget *>(QTest::currentDataTag());
    if (qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLabel *>(w))
        QCOMPARE(w->geometry(), geometry);
    // What a screen reader says for each control the keyboard reaches.
    if (w->focusPolicy() & Qt::TabFocus)
        QCOMPARE(QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name), text);
    // And what it announces after a quote.
    if (!built) {
        window.displayquote();
        const QAccessibleInterface *announced = QAccessible::queryAccessibleInterface(w);
        QTRY_VERIFY(!announced->state().invisible);
        QCOMPARE(announced->role(), QAccessible::Notification);
        QCOMPARE(announced->text(QAccessible::Name), text);
    }
}

// The size of the ink a widget's text leaves: the pixels that change with the text's colour.
static QSize inkSize(QWidget *w)
{
    const auto draw = [w](Qt::GlobalColor colour) {
        QPalette palette = w->palette();
        palette.setColor(QPalette::WindowText, colour);
        palette.setColor(QPalette::ButtonText, colour);
        w->setPalette(palette);
        return w->grab().toImage();
    };
    const QImage black = draw(Qt::black), red = draw(Qt::red);
    QRect ink;
    for (int y = 0; y < black.height(); ++y)
        for (int x = 0; x < black.width(); ++x)
            if (black.pixel(x, y) != red.pixel(x, y))
                ink |= QRect(x, y, 1, 1);
    return ink.size();
}

void TestWindow::textsFit_data()
{
    QTest::addColumn<qreal>("points");
    QTest::newRow("desktop default") << QApplication::font().pointSizeF();
    QTest::newRow("large") << 14.0;
    QTest::newRow("small enough already") << 6.0;
}

void TestWindow::textsFit()
{
    QFETCH(qreal, points);

    const QFont desktop = QApplication::font();
    QFont font = desktop;
    font.setPointSizeF(points);
    QApplication::setFont(font);
    // As in the program, the style's metrics follow the screen; QTEST_MAIN pins them to 96 dpi.
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi, false);
    const auto restore = qScopeGuard([&desktop] {
        QApplication::setFont(desktop);
        QCoreApplication::setAttribute(Qt::AA_Use96Dpi);
    });
    WorkDir dir;
    WorkDir::writeQuotes("key\nvalue\n");
    Solvane window;

    QWidget *form = SolvaneProbe::ui(window)->centralWidget;
    QCOMPARE(form->font().family(), font.family());
    QVERIFY(form->font().pointSizeF() <= points);
    if (points <= 6)
        QVERIFY(!form->testAttribute(Qt::WA_SetFont));
    // Texts are drawn unclipped by the room the style gives them, so a text cut by its box shows
    // more of itself in a larger one.
    for (QWidget *w : form->findChildren<QWidget *>()) {
        if (!qobject_cast<QLabel *>(w) && !qobject_cast<QAbstractButton *>(w))
            continue; // the spin box's arrows spread out in a larger box
        const QSize shown = inkSize(w);
        w->resize(w->size() + QSize(160, 80));
        QVERIFY2(!shown.isEmpty() && inkSize(w) == shown, qPrintable(w->objectName()));
    }
}

void TestWindow::startsUp_data()
{
    QTest::addColumn<QByteArray>("iconFile");
    QTest::addColumn<QSize>("iconSize");

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage(20, 20, QImage::Format_ARGB32).save(&buffer, "PNG");
    QTest::newRow("own icon") << png << QSize(20, 20);
    // Missing or broken files fall back on the built-in icon, sharp at 32 pixels even at 2x.
    QTest::newRow("no icon") << QByteArray() << QSize(64, 64);
    QTest::newRow("broken icon") << QByteArray("\x89PNG\r\n\x1a\nnot really") << QSize(64, 64);
    QTest::newRow("FIFO icon") << QByteArray() << QSize(64, 64); // must not block start-up
}

void TestWindow::startsUp()
{
    QFETCH(QByteArray, iconFile);
    QFETCH(QSize, iconSize);

    WorkDir dir;
    WorkDir::writeQuotes("key\nvalue\n");
    if (QByteArray(QTest::currentDataTag()) == "FIFO icon") {
        QCOMPARE(mkfifo("icon.png", 0600), 0);
    } else if (!iconFile.isEmpty()) {
        QFile file("icon.png");
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(iconFile) == iconFile.size());
    }
    Trace trace;
    Stdout out;
    Solvane window;
    const Ui::Solvane *ui = SolvaneProbe::ui(window);

    QVERIFY(window.isVisible());
    QVERIFY(ui->daysrad->isChecked() && !ui->hoursrad->isChecked() && !ui->minsrad->isChecked());
    QCOMPARE(ui->timeentry->value(), 1);
    QCOMPARE(ui->timeentry->minimum(), 0);
    QCOMPARE(ui->timeentry->maximum(), 99);
    QCOMPARE(SolvaneProbe::quotes(window).value("key"), QStringLiteral("value"));
    QCOMPARE(trace.words, QStringList{"D"});
    QCOMPARE(out.text(), QByteArray());

    const QSystemTrayIcon *tray = SolvaneProbe::tray(window);
    QVERIFY(tray->isVisible());
    QCOMPARE(tray->toolTip(), QStringLiteral("Solvane vs 2.0 Free"));
    QVERIFY(tray->icon().availableSizes().contains(iconSize));
    QVERIFY(window.windowIcon().availableSizes().contains(iconSize));
}

void TestWindow::links()
{
    WorkDir dir;
    WorkDir::writeQuotes("key\nvalue\n");
    Solvane window;
    QDesktopServices::setUrlHandler("http", this, "openUrl");
    const Ui::Solvane *ui = SolvaneProbe::ui(window);
    for (QPushButton *button : {ui->reloadtxtbtn_2, ui->reloadtxtbtn_3, ui->reloadtxtbtn_2})
        QTest::mouseClick(button, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler("http");

    const QString store(
        "http://www.tarnwick.com/store/index.php?route=product/product&product_id=50");
    QCOMPARE(opened, (QStringList{store, "http://www.tarnwick.com", store}));
    QVERIFY(window.isVisible());
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
