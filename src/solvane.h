#ifndef SOLVANE_H
#define SOLVANE_H

#include <QMainWindow>
#include <QMap>
#include <QSystemTrayIcon>
#include <QTimer>

class Notifier;

namespace Ui
{
class Solvane;
}

// A repeating QTimer whose interval may exceed the int of QTimer::start: a long interval runs as
// equal chunks that each fit, and timeout() only goes out when the last chunk has elapsed.
class ReminderTimer : public QTimer
{
public:
    using QTimer::QTimer;
    void startInterval(qint64 msec);
    int chunks() const { return chunkCount; }

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    int chunkCount = 1;
    int chunksLeft = 1;
};

class Solvane : public QMainWindow
{
    Q_OBJECT

public:
    explicit Solvane(QWidget *parent = nullptr);
    ~Solvane() override;

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
    void bringBack();
    bool eventFilter(QObject *watched, QEvent *event) override;

    QSystemTrayIcon *trayIcon = nullptr;
    QMap<QString, QString> quotes;
    Ui::Solvane *ui = nullptr;
    ReminderTimer *reminderTimer = nullptr;
    Notifier *notifier = nullptr;

    friend struct SolvaneProbe; // lets the tests read the private state
};

#endif // SOLVANE_H
