// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

// Shared test helpers: private state of the window, trace capture, a scratch working directory
// and standard output capture.
#ifndef TESTKIT_H
#define TESTKIT_H

#include "remindertimer.h"
#include "solvane.h"
#include "ui_solvane.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <iostream>
#include <sstream>

struct SolvaneProbe {
    static const QMap<QString, QString> &quotes(const Solvane &w) { return w.quotes; }
    static ReminderTimer *timer(const Solvane &w) { return w.reminderTimer; }
    static Ui::Solvane *ui(const Solvane &w) { return w.ui; }
    static QSystemTrayIcon *tray(const Solvane &w) { return w.trayIcon; }
};

// Records every message while alive: the program's trace words (debug messages whose context
// file is "solvane") apart from everything else.
class Trace
{
public:
    Trace() : previous(qInstallMessageHandler(record)) { current = this; }
    ~Trace()
    {
        qInstallMessageHandler(previous);
        current = nullptr;
    }
    QStringList words;
    QStringList others;

private:
    static void record(QtMsgType type, const QMessageLogContext &context, const QString &msg)
    {
        if (type == QtDebugMsg && qstrcmp(context.file, "solvane") == 0)
            current->words << msg;
        else
            current->others << msg;
    }
    static inline Trace *current = nullptr;
    QtMessageHandler previous;
};

// A fresh temporary working directory, the current one while the object lives.
class WorkDir
{
public:
    WorkDir() : previous(QDir::currentPath()) { QDir::setCurrent(dir.path()); }
    ~WorkDir() { QDir::setCurrent(previous); }
    static void writeQuotes(const QByteArray &bytes)
    {
        QFile file(QStringLiteral("Quotes.txt"));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write Quotes.txt");
    }

private:
    QTemporaryDir dir;
    QString previous;
};

// Captures what goes to std::cout while alive.
class Stdout
{
public:
    Stdout() : previous(std::cout.rdbuf(buffer.rdbuf())) {}
    ~Stdout() { std::cout.rdbuf(previous); }
    QByteArray text() const { return QByteArray::fromStdString(buffer.str()); }

private:
    std::ostringstream buffer;
    std::streambuf *previous;
};

#endif // TESTKIT_H
