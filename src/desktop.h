// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef DESKTOP_H
#define DESKTOP_H

#include <QDir>
#include <QGuiApplication>

// What the parts that meet the desktop share.
namespace Desktop
{

// A peer that keeps its name but does not answer within this long counts as absent: the
// notification server, the tray's watcher, a copy of Solvane that runs in the same folder.
constexpr int answerWithin = 2000;

// Trays, launch ids and the session manager are X11's while Qt talks to an X server (XWayland
// included).
inline bool isX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// The folder of the quotes this copy shows, by its canonical path: a start through a link to it
// finds the copy that runs there, and a restored session comes back to it.
inline QString quoteFolder()
{
    return QDir::current().canonicalPath();
}

} // namespace Desktop

#endif // DESKTOP_H
