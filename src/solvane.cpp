// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "solvane.h"
#include "announcer.h"
#include "notifier.h"
#include "quotefile.h"
#include "remindertimer.h"
#include "traywatcher.h"
#include "ui_solvane.h"
#include "windowvisibility.h"

#include <QAbstractButton>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmapCache>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextBoundaryFinder>
#include <QUrl>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <iostream>

// Short trace words on the debug channel, tagged with this program's file name.
#define TRACE QMessageLogger("solvane", __LINE__, Q_FUNC_INFO).debug().noquote().nospace()

namespace
{

constexpr qint64 msPerMinute = 60000;
constexpr qint64 msPerHour = 60 * msPerMinute;
constexpr qint64 msPerDay = 24 * msPerHour;

// The longest quote and author line a balloon shows whole; with the form's font at 96 dpi, a
// balloon holding both fits a 1366x768 screen with its title. Longer ones are shortened.
constexpr int quoteBound = 1200;
constexpr int authorBound = 200;
constexpr int windowsBalloonBound = 255;

// A random position among n, from 15-bit draws whatever RAND_MAX is. One draw covers up to 32768
// entries, as it always has; larger collections combine draws so that every entry can come up.
int pick(int n)
{
    quint64 r = rand() & 0x7fff, range = 0x8000;
    while (range < quint64(n)) {
        r = r << 15 | (rand() & 0x7fff);
        range <<= 15;
    }
    return n > 0 ? int(r % quint64(n)) : 0;
}

// Cuts a line longer than the bound after its last whole word that fits, or after its last whole
// character when a word would leave less than half, and marks the cut.
QString shortened(const QString &line, int bound)
{
    if (line.size() <= bound)
        return line;
    const QChar ellipsis(0x2026);
    // A boundary depends on a character or two after it: no need to analyse a whole essay.
    const QString head = line.left(bound + 2);
    QTextBoundaryFinder words(QTextBoundaryFinder::Word, head);
    words.setPosition(bound - 1);
    while (words.position() > bound / 2 &&
           !(words.boundaryReasons() & QTextBoundaryFinder::EndOfItem))
        words.toPreviousBoundary();
    if (words.position() > bound / 2)
        return line.left(words.position()) + ellipsis;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, head);
    characters.setPosition(bound - 1);
    if (!characters.isAtBoundary())
        characters.toPreviousBoundary();
    return line.left(characters.position()) + ellipsis;
}

// "./icon.png" may be missing or broken; an empty tray icon is invisible, and a window
// minimised to it would be lost, so fall back on the built-in copy.
QIcon loadIcon()
{
    // Only a regular file: reading a FIFO would block start-up.
    QIcon icon;
    if (QFileInfo(QStringLiteral("./icon.png")).isFile())
        icon = QIcon(QStringLiteral("./icon.png"));
    if (icon.pixmap(32).isNull()) {
        // A file per size keeps the icon sharp at every scale of the screen.
        icon = QIcon();
        const QDir sizes(QStringLiteral(":/icons"));
        for (const QString &file : sizes.entryList())
            icon.addFile(sizes.filePath(file));
    }
    return icon;
}

// Whether a text widget's text shows in full in the room its style leaves for it.
bool textFits(const QWidget *w)
{
    QString text;
    QRect room;
    if (const auto *label = qobject_cast<const QLabel *>(w)) {
        text = label->text();
        room = label->contentsRect();
    } else if (const auto *button = qobject_cast<const QAbstractButton *>(w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = text = button->text();
        const auto element = qobject_cast<const QRadioButton *>(w) ? QStyle::SE_RadioButtonContents
                                                                   : QStyle::SE_PushButtonContents;
        room = w->style()->subElementRect(element, &option, w);
    }
    const QSize need = w->fontMetrics().boundingRect(room, Qt::AlignCenter, text).size();
    return text.isEmpty() || (need.width() <= room.width() && need.height() <= room.height());
}

// The boxes have fixed sizes made for a smaller default font than most Linux desktops use.
// Shrink the form's font just enough for every text to show in full; leave it if it fits.
void fitFontToBoxes(QWidget *form)
{
    const auto widgets = form->findChildren<QWidget *>();
    QFont font = form->font();
    while (!std::all_of(widgets.cbegin(), widgets.cend(), textFits)) {
        if (font.pointSizeF() > 4)
            font.setPointSizeF(font.pointSizeF() - 0.25);
        else if (font.pixelSize() > 5)
            font.setPixelSize(font.pixelSize() - 1);
        else
            return;
        form->setFont(font);
    }
}

} // namespace

static void initResources()
{
    // The icon resource sits in a static library; the linker would drop it otherwise.
    Q_INIT_RESOURCE(solvane);
}

void Solvane::scaleWithScreen()
{
    // The form's boxes have fixed sizes in pixels: unscaled, a high-DPI screen enlarges the
    // fonts and the style's indicators but not the boxes. These mean the user chose already.
    for (const char *name : {"QT_ENABLE_HIGHDPI_SCALING", "QT_AUTO_SCREEN_SCALE_FACTOR",
                             "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS"})
        if (qEnvironmentVariableIsSet(name))
            return;
#if QT_VERSION_MAJOR < 6 // Qt 6 always does both
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
#endif
    // Whole steps leave the window unscaled and crammed at 120 dpi and make it a third too
    // large at 144; fractional ones keep its size in inches, and the style's lines stay sharp.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
}

Solvane::Solvane(QWidget *parent) : QMainWindow(parent), ui(new Ui::Solvane)
{
    initResources();
    // Every tray balloon draws through new QIcons, and each leaves pixmaps behind in Qt's 10 MB
    // cache that nothing asks for again: weeks of reminders would hold megabytes for nothing.
    // What the window draws again and again fits in a quarter of a megabyte, even at 2x.
    QPixmapCache::setCacheLimit(256);
    ui->setupUi(this);
    fitFontToBoxes(ui->centralWidget);
    // The one control without a text of its own; a screen reader would say only "spin button".
    ui->timeentry->setAccessibleName(tr("Interval"));

    const QIcon icon = loadIcon();
    setWindowIcon(icon);
    show();

    trayIcon = new QSystemTrayIcon(this);
    trayIcon->setToolTip(tr("Solvane vs 2.0 Free"));
    trayIcon->setVisible(true);
    trayIcon->setIcon(icon);
    connect(trayIcon, SIGNAL(activated(QSystemTrayIcon::ActivationReason)), this,
            SLOT(clickSysTrayIcon(QSystemTrayIcon::ActivationReason)));
    trayWatcher = new TrayWatcher(trayIcon, this);
    windowVisibility = new WindowVisibility(this, trayIcon, trayWatcher);
    notifier = new Notifier(trayIcon, trayWatcher, this);
    connect(notifier, &Notifier::clicked, windowVisibility, &WindowVisibility::bringBack);
    connect(notifier, &Notifier::needsWindow, windowVisibility, &WindowVisibility::unhide);
    connect(notifier, &Notifier::unspoken, new Announcer(this), &Announcer::announce);

    ui->daysrad->setChecked(true);
    ui->timeentry->setValue(1);
    installEventFilter(this);
    loadfromfile();
    srand(unsigned(time(nullptr)));
    starttimer();
}

Solvane::~Solvane()
{
    delete ui;
}

void Solvane::loadfromfile()
{
    TRACE << "D";
    // Emptied first, so the old collection is not held beside the new one while reading.
    quotes.clear();
    auto read = readQuoteFile(QStringLiteral("Quotes.txt"));
    // Started from a menu, nobody reads standard output: the window says where it looked.
    const QString unable = tr("Unable to open file %1")
                               .arg(QDir::toNativeSeparators(
                                   QFileInfo(QStringLiteral("Quotes.txt")).absoluteFilePath()));
    if (!read) {
        std::cout << "Unable to open file" << std::flush;
        statusBar()->showMessage(unable);
        return;
    }
    if (statusBar()->currentMessage() == unable)
        statusBar()->clearMessage();
    quotes.swap(*read);
}

void Solvane::displayquote()
{
    TRACE << "TIME";
    const int n = quotes.size();
    const int r = pick(n);
    if (n == 0)
        return;

    const auto entry = std::next(quotes.cbegin(), r);
    TRACE << entry.key();
    TRACE << "D: " << entry.key().size() + 1 + entry.value().size();

    // No balloon or notification can show a pasted essay; laying one out would freeze the window.
    // Windows' balloon holds less, and Qt cuts off the rest unmarked: the author line stays, and
    // the quote gets what it leaves.
    const int room = QGuiApplication::platformName() == QLatin1String("windows")
                         ? windowsBalloonBound
                         : quoteBound + 1 + authorBound;
    const QString author = shortened(entry.value(), std::min(authorBound, room / 2));
    const QString message =
        shortened(entry.key(), std::min(quoteBound, room - 1 - int(author.size()))) +
        QLatin1Char('\n') + author;
    // A second per full ten code units shown; 0 would keep the balloon up until it is clicked.
    const qint64 hint = qint64(message.size()) / 10 * 1000;
    const int msecs = int(std::clamp<qint64>(hint, 1000, INT_MAX));
    notifier->show(QStringLiteral("Solvane 2.0 Free"), message, msecs);
}

void Solvane::starttimer()
{
    if (!reminderTimer) {
        reminderTimer = new ReminderTimer(this);
        connect(reminderTimer, SIGNAL(timeout()), this, SLOT(displayquote()));
    }
    const qint64 count = ui->timeentry->value();
    const qint64 factor = ui->daysrad->isChecked()    ? msPerDay
                          : ui->hoursrad->isChecked() ? msPerHour
                                                      : msPerMinute;
    // A zero interval would fire on every pass of the event loop; 0 pauses the reminders.
    if (count == 0)
        reminderTimer->stop();
    else
        reminderTimer->startInterval(count * factor);
}

bool Solvane::eventFilter(QObject *watched, QEvent *event)
{
    // Without a tray there is no icon to come back from, so a minimise stays a plain one.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && trayWatcher->available()) {
        TRACE << "minimise";
        event->ignore();
        windowVisibility->hideToTray();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void Solvane::clickSysTrayIcon(QSystemTrayIcon::ActivationReason reason)
{
    TRACE << "DDD";
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        windowVisibility->bringBack();
        TRACE << "one";
        break;
    case QSystemTrayIcon::DoubleClick:
        TRACE << "two";
        break;
    case QSystemTrayIcon::MiddleClick:
        TRACE << "three";
        break;
    default:
        break;
    }
}

void Solvane::on_reloadtxtbtn_clicked()
{
    loadfromfile();
}

void Solvane::on_timeentry_valueChanged(int)
{
    starttimer();
}

void Solvane::on_minsrad_clicked()
{
    starttimer();
}

void Solvane::on_hoursrad_clicked()
{
    starttimer();
}

void Solvane::on_daysrad_clicked()
{
    starttimer();
}

void Solvane::on_quotebtn_clicked()
{
    displayquote();
}

void Solvane::on_reloadtxtbtn_2_clicked()
{
    QDesktopServices::openUrl(
        QUrl(QStringLiteral(
                 "http://www.tarnwick.com/store/index.php?route=product/product&product_id=50"),
             QUrl::TolerantMode));
}

void Solvane::on_reloadtxtbtn_3_clicked()
{
    // A bare host is a relative address, which desktops other than Windows take for a file name:
    // the desktop gets the address a browser makes of it.
    QDesktopServices::openUrl(QUrl::fromUserInput(QStringLiteral("www.tarnwick.com")));
}
