// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "focushandover.h"

// Windows hands the foreground over when the later start asks (singleinstance_win.cpp).
void FocusHandOver::bringBack(QWidget *, const QByteArray &, const std::function<void()> &bringBack)
{
    bringBack();
}
