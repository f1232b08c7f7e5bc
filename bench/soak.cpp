// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

// 100,000 picks, each presented and followed by a pass of the event loop: the resident size
// has to stay flat. Prints it after a warm-up, halfway and at the end, and fails when the second
// half grew it by more than 512 KiB; the first half may still fill Qt's caches.
//   solvane_soak [entries]     (40,000 by default, past the longest walk)
#include "quotegen.h"
#include "testkit.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

static long residentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string word; status >> word;)
        if (word == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
    return -1;
}

int main(int argc, char **argv)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QApplication app(argc, argv);
    WorkDir dir;
    writeFile(QStringLiteral("Quotes.txt"), generateQuotes(argc > 1 ? std::atoi(argv[1]) : 40000));
    Solvane window;
    QElapsedTimer clock;
    clock.start();
    while (!QSystemTrayIcon::isSystemTrayAvailable() && clock.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);

    const auto picks = [&](int count) {
        for (int i = 0; i < count; ++i) {
            window.displayquote();
            QCoreApplication::processEvents();
            // Outside a running event loop Qt keeps what was deleted later, as the program's own
            // loop does not: each shown widget leaves some (the quote's announcement, for one).
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        return residentKiB();
    };
    const long start = picks(5000);
    const long half = picks(50000);
    const long end = picks(50000);

    std::printf("soak: %d entries, %s tray; RSS %ld KiB after a warm-up of 5,000 picks, "
                "%ld KiB after 50,000 more (%+ld), %ld KiB after 100,000 (%+ld)\n",
                int(SolvaneProbe::quotes(window).size()),
                QSystemTrayIcon::isSystemTrayAvailable() ? "with" : "without", start, half,
                half - start, end, end - start);
    return start > 0 && end - half <= 512 ? 0 : 1;
}
