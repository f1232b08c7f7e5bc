// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef FOCUSHANDOVER_H
#define FOCUSHANDOVER_H

#include <QByteArray>

class QWidget;

// A window manager lets a window take the focus from the user's last click only for the launch
// the user made since: the launch's id names it and usually carries its time. Only X11 has such
// ids; the build chooses the platform's file.
namespace FocusHandOver
{

// Before the window is brought back: the launch is the window's.
void begin(QWidget *window, const QByteArray &id);
// After: the launch has found its window, and its busy cursor goes.
void end(QWidget *window, const QByteArray &id);

} // namespace FocusHandOver

#endif // FOCUSHANDOVER_H
