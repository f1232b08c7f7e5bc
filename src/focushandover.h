// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef FOCUSHANDOVER_H
#define FOCUSHANDOVER_H

#include <QByteArray>

#include <functional>

class QWidget;

// A window manager lets a window take the focus from the user's last click only for the launch
// the user made since: the launch's id names it and usually carries its time. Only X11 has such
// ids; the build chooses the platform's file.
namespace FocusHandOver
{

// Brings the window back for the launch that the id names (none: a launch without one), so that
// the window manager lets it take the focus, and ends the launch's busy cursor.
void bringBack(QWidget *window, const QByteArray &id, const std::function<void()> &bringBack);

} // namespace FocusHandOver

#endif // FOCUSHANDOVER_H
