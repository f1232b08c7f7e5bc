// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#include "announcer.h"

#include <QAccessibleWidget>
#include <QEvent>

namespace
{

QAccessibleInterface *notificationRole(const QString &, QObject *object)
{
    if (auto *announcer = qobject_cast<Announcer *>(object))
        return new QAccessibleWidget(announcer, QAccessible::Notification);
    return nullptr;
}

} // namespace

Announcer::Announcer(QWidget *window) : QWidget(window)
{
    QAccessible::installFactory(notificationRole);
    setObjectName(QStringLiteral("announcement"));
    setGeometry(0, 0, 0, 0);
    hide(); // not shown with the window: that would announce nothing, or an old quote
    window->installEventFilter(this);
}

void Announcer::announce(const QString &text)
{
    hide();
    setAccessibleName(text);
    // A hidden window cannot be announced; shown later, it must not bring up an old quote.
    if (parentWidget()->isVisible())
        show();
}

bool Announcer::eventFilter(QObject *watched, QEvent *event)
{
    // Shown again with the window, it would announce its last quote a second time.
    if (event->type() == QEvent::Hide)
        hide();
    return QWidget::eventFilter(watched, event);
}
