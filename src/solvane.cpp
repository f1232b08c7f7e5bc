#include "solvane.h"
#include "notifier.h"
#include "remindertimer.h"
#include "ui_solvane.h"

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
#include <QUrl>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

// Short trace words on the debug channel, tagged with this program's file name.
#define TRACE QMessageLogger("solvane", __LINE__, Q_FUNC_INFO).debug().noquote().nospace()

namespace
{

constexpr qint64 msPerMinute = 60000;
constexpr qint64 msPerHour = 60 * msPerMinute;
constexpr qint64 msPerDay = 24 * msPerHour;

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

    const QIcon icon = loadIcon();
    setWindowIcon(icon);
    show();

    trayIcon = new QSystemTrayIcon(this);
    trayIcon->setToolTip(tr("Solvane vs 2.0 Free"));
    trayIcon->setVisible(true);
    trayIcon->setIcon(icon);
    connect(trayIcon, SIGNAL(activated(QSystemTrayIcon::ActivationReason)), this,
            SLOT(clickSysTrayIcon(QSystemTrayIcon::ActivationReason)));
    notifier = new Notifier(trayIcon, this);
    connect(notifier, &Notifier::clicked, this, &Solvane::bringBack);

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
    quotes.clear();

    // Only a regular file is read: a directory would pass as empty, a FIFO would block the
    // window on open and a device could be read without end.
    std::ifstream file;
    if (QFileInfo(QStringLiteral("Quotes.txt")).isFile())
        file.open("Quotes.txt", std::ios::in);
    // Started from a menu, nobody reads standard output: the window says where it looked.
    const QString unable = tr("Unable to open file %1")
                               .arg(QDir::toNativeSeparators(
                                   QFileInfo(QStringLiteral("Quotes.txt")).absoluteFilePath()));
    if (!file.is_open()) {
        std::cout << "Unable to open file" << std::flush;
        statusBar()->showMessage(unable);
        return;
    }
    if (statusBar()->currentMessage() == unable)
        statusBar()->clearMessage();

    std::vector<std::pair<QString, QString>> pairs;
    std::string first;
    std::string line;
    bool expectingFirst = true;
    while (std::getline(file, line)) {
        // A CR before the LF belongs to the line end, but ifstream keeps it on Linux.
        if (!file.eof() && !line.empty() && line.back() == '\r')
            line.pop_back();
        if (expectingFirst)
            first.swap(line);
        else
            pairs.emplace_back(QString::fromStdString(first), QString::fromStdString(line));
        expectingFirst = !expectingFirst;
    }

    // One sort and in-order appends beat a map insert per pair on big files. Whole-key
    // comparisons chase strings all over the heap, so the keys are first sorted by their first
    // eight UTF-16 units, packed into integers in one small array, and then only the runs that
    // tie on those, each small enough to stay in the cache. Both sorts are stable: equal keys
    // keep file order, so the later value of a repeated key still wins.
    const auto units = [](const QString &key, int from) {
        quint64 packed = 0; // zero-padded: a shorter key orders first or ties
        for (int i = from; i < from + 4; ++i)
            packed = packed << 16 | (i < key.size() ? key.at(i).unicode() : 0u);
        return packed;
    };
    struct Slot {
        quint64 high, low;
        size_t pair;
    };
    std::vector<Slot> order(pairs.size());
    for (size_t i = 0; i < pairs.size(); ++i)
        order[i] = {units(pairs[i].first, 0), units(pairs[i].first, 4), i};
    const auto byUnits = [](const Slot &a, const Slot &b) {
        return a.high != b.high ? a.high < b.high : a.low < b.low;
    };
    std::stable_sort(order.begin(), order.end(), byUnits);
    for (auto run = order.begin(); run != order.end();) {
        const auto next = std::upper_bound(run, order.end(), *run, byUnits);
        if (next - run > 1)
            std::stable_sort(run, next, [&pairs](const Slot &a, const Slot &b) {
                return pairs[a.pair].first < pairs[b.pair].first;
            });
        run = next;
    }
    for (size_t i = 0; i < order.size(); ++i) {
        auto &pair = pairs[order[i].pair];
        // The value moves over rather than being copied: one touch less of cold memory.
        if (i + 1 == order.size() || pairs[order[i + 1].pair].first != pair.first)
            quotes.insert(quotes.cend(), pair.first, QString()).value().swap(pair.second);
    }
}

void Solvane::displayquote()
{
    TRACE << "TIME";
    const int n = quotes.size();
    const int r = rand() & 0x7fff; // 15 bits, whatever RAND_MAX is
    if (n == 0)
        return;

    const auto entry = std::next(quotes.cbegin(), r % n);
    TRACE << entry.key();
    const QString message = entry.key() + QLatin1Char('\n') + entry.value();
    TRACE << "D: " << message.size();

    // A second per full ten code units; 0 would keep the balloon up until it is clicked.
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
    if (event->type() == QEvent::WindowStateChange && isMinimized() &&
        QSystemTrayIcon::isSystemTrayAvailable()) {
        TRACE << "minimise";
        event->ignore();
        hide();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void Solvane::bringBack()
{
    show();
    setWindowState(Qt::WindowActive);
}

void Solvane::clickSysTrayIcon(QSystemTrayIcon::ActivationReason reason)
{
    TRACE << "DDD";
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        bringBack();
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
    QDesktopServices::openUrl(QUrl(QStringLiteral("www.tarnwick.com"), QUrl::TolerantMode));
}
