// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef SOLVANE_H
#define SOLVANE_H

#include <QMainWindow>
#include <QMap>
#include <QSystemTrayIcon>

class Notifier;
class ReminderTimer;
class TrayWatcher;
class WindowVisibility;

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

    // Hides the window to the tray and brings it back, for everyone who asks.
    WindowVisibility *visibility() const { return windowVisibility; }

public slots:
    void displayquote();

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
    bool eventFilter(QObject *watched, QEvent *event) override;

    QSystemTrayIcon *trayIcon = nullptr;
    QMap<QString, QString> quotes;
    Ui::Solvane *ui = nullptr;
    ReminderTimer *reminderTimer = nullptr;
    Notifier *notifier = nullptr;
    TrayWatcher *trayWatcher = nullptr;
    WindowVisibility *windowVisibility = nullptr;

    friend struct SolvaneProbe; // lets the tests read the private state
};

#endif // SOLVANE_H
