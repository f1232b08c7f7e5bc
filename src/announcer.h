// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef ANNOUNCER_H
#define ANNOUNCER_H

#include <QWidget>

// Lets screen readers speak a quote that the tray's balloon or the status bar shows: to them
// those are plain text that changed. A notification is what they announce, also while another
// program has the focus, so this object inside the window, empty and of no size, reports that
// role and is shown afresh for each quote.
class Announcer : public QWidget
{
    Q_OBJECT

public:
    explicit Announcer(QWidget *window);
    void announce(const QString &text);

private:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

#endif // ANNOUNCER_H
