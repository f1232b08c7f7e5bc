// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

// In-process figures: loading Quotes.txt beside `LC_ALL=C sort -u` on the same file, and picking
// and presenting one quote. Run inside a desktop session with a tray, see scripts/bench.
#include "quotegen.h"
#include "testkit.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <vector>

extern char **environ;

namespace
{

QTemporaryDir *scratch = nullptr;
Solvane *window = nullptr;

// One folder per size, each with its own Quotes.txt; size 0 is an empty file.
QString folder(int pairs)
{
    const QString path = scratch->filePath(QString::number(pairs));
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(path);
        writeFile(path + QStringLiteral("/Quotes.txt"), generateQuotes(pairs));
    }
    return path;
}

void reload()
{
    QMetaObject::invokeMethod(window, "on_reloadtxtbtn_clicked", Qt::DirectConnection);
}

void load(benchmark::State &state)
{
    const QString full = folder(int(state.range(0)));
    const QString empty = folder(0);
    for (auto _ : state) {
        // Start from an empty collection, as at start-up.
        state.PauseTiming();
        QDir::setCurrent(empty);
        reload();
        QDir::setCurrent(full);
        state.ResumeTiming();
        reload();
    }
    state.counters["entries"] = SolvaneProbe::quotes(*window).size();
}

void sortUnique(benchmark::State &state)
{
    QByteArray file = QFile::encodeName(folder(int(state.range(0))) + "/Quotes.txt");
    char *argv[] = {const_cast<char *>("sort"),
                    const_cast<char *>("-u"),
                    const_cast<char *>("-o"),
                    const_cast<char *>("/dev/null"),
                    file.data(),
                    nullptr};
    // The first of two equal names wins, so this overrides any LC_ALL already set.
    std::vector<char *> env{const_cast<char *>("LC_ALL=C")};
    for (char **e = environ; *e; ++e)
        env.push_back(*e);
    env.push_back(nullptr);
    for (auto _ : state) {
        pid_t pid;
        int status = -1;
        if (posix_spawnp(&pid, "sort", nullptr, nullptr, argv, env.data()) != 0 ||
            waitpid(pid, &status, 0) != pid || status != 0) {
            state.SkipWithError("sort failed");
            break;
        }
    }
}

void pick(benchmark::State &state)
{
    QDir::setCurrent(folder(int(state.range(0))));
    reload();
    for (auto _ : state) {
        window->displayquote();
        QCoreApplication::processEvents();
    }
    state.counters["entries"] = SolvaneProbe::quotes(*window).size();
}

// The same without the balloon: a hidden tray icon shows no message, which leaves the walk to
// the entry and the building of the message.
void pickOnly(benchmark::State &state)
{
    QDir::setCurrent(folder(int(state.range(0))));
    reload();
    SolvaneProbe::tray(*window)->hide();
    for (auto _ : state)
        window->displayquote();
    SolvaneProbe::tray(*window)->show();
}

} // namespace

BENCHMARK(load)->Arg(1000)->Arg(20000)->Arg(500000)->Unit(benchmark::kMillisecond);
BENCHMARK(sortUnique)
    ->Arg(1000)
    ->Arg(20000)
    ->Arg(500000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
// One entry is the same call without the walk; 40,000 is past the 32,768 that rand() & 0x7fff
// can reach, so walks of every length up to the longest come up.
BENCHMARK(pick)->Arg(1)->Arg(40000)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(pickOnly)->Arg(1)->Arg(40000)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QApplication app(argc, argv);
    QTemporaryDir dir;
    scratch = &dir;
    QDir::setCurrent(folder(0));
    Solvane solvane;
    window = &solvane;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QDir::setCurrent(QDir::rootPath());
    return 0;
}
