// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef SOLVANE_H
#define SOLVANE_H

#include <QMainWindow>
#include <QMap>
#include <QSystemTrayIcon>
#include <QTimer>

class Notifier;
class ReminderTimer;
class TrayWatcher;

namespace Ui
{
class Solvane;
}

class Solvane : public QMainWindow
{
    Q_OBJECT

public:
    explicit Solvane(QWidget *parent = nullptr);
    ~Solvane() override;
    // Scales the window as a whole on high-DPI screens; call before the application exists.
    static void scaleWithScreen();

public slots:
    void displayquote();
    // Shows the window in front, from the tray, a notification or another start of the program.
    void bringBack();
    // Shows the hidden window without taking the focus: never minimised, never off every screen.
    void unhide();
    // Hides the window as minimising does; it comes back when no tray shows up within the grace.
    void hideToTray(int grace);

private slots:
    void clickSysTrayIcon(QSystemTrayIcon::ActivationReason reason);
    void on_reloadtxtbtn_clicked();
    void on_timeentry_valueChanged(int arg1);
    void on_minsrad_clicked();
    void on_hoursrad_clicked();
    void on_daysrad_clicked();
    void on_quotebtn_clicked();
    void on_reloadtxtbtn_2_clicked();
    void on_reloadtxtbtn_3_clicked();

private:
    void loadfromfile();
    void starttimer();
    void trayChanged();
    bool eventFilter(QObject *watched, QEvent *event) override;

    QSystemTrayIcon *trayIcon = nullptr;
    QMap<QString, QString> quotes;
    Ui::Solvane *ui = nullptr;
    ReminderTimer *reminderTimer = nullptr;
    Notifier *notifier = nullptr;
    TrayWatcher *trayWatcher = nullptr;
    QTimer trayGone; // grace for a restarting panel before a hidden window comes back

    friend struct SolvaneProbe; // lets the tests read the private state
};

#endif // SOLVANE_H
