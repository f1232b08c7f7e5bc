// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

// The reference for the whole-process figures: one main window and one tray icon, built and
// run with Qt's default settings.
#include <QApplication>
#include <QMainWindow>
#include <QStyle>
#include <QSystemTrayIcon>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Minimal tray program"));
    QSystemTrayIcon tray(app.style()->standardIcon(QStyle::SP_ComputerIcon));
    tray.show();
    window.show();
    return app.exec();
}
