#pragma once

#include <QDeadlineTimer>
#include <QIcon>
#include <QSystemTrayIcon>
#include <QWidget>

#include <memory>

class ArrivalNotices;
class DueWakeUp;
class OpenAlerts;
class QAction;
class QLabel;
class QMenu;
class QTimer;
class ReminderFileWatch;

// Tolvane's main form "Veltrum Reminder Main Form": loaded, never shown. It
// owns the tray icon, the 10-second timer, the pop-up menu and the
// running/stopped state; closing it in any way ends Tolvane.
class FrmMain : public QWidget
{
    Q_OBJECT
public:
    // Creates the form and runs its load. The load may unload it again.
    static FrmMain* load();
    static FrmMain* instance(); // nullptr when not loaded
    static void unload();       // closes the loaded form

    // The running icon: yellow with a LAN switch on, white with both off.
    QIcon GetImage() const;
    void SetState(bool active);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    FrmMain();
    ~FrmMain() override;

    void createControls();
    void createMenu();
    void Form_Load();
    void Form_Unload();
    // Shows the icon once a tray is there: at once, or when one of the looks
    // that follow finds a panel come up late; asks about the icon when the
    // wait is over, and after "Ignore" keeps looking.
    void lookForTray();
    void lookAgain();
    void askAboutTray();
    void showTrayIcon();
    void setTrayIcon(const QIcon& icon, const QString& tip);
    void Picture1_Activated(QSystemTrayIcon::ActivationReason reason);
    void Timer1_Timer();
    void mnuShowList_Click();
    void mnuDisable_Click();
    void mnuExit_Click();
    void mnuABout_Click();
    void showAlertItems(int openAlerts);
    QString shownTip() const;

    // The icon, created once a tray is there; its notifications arrive here.
    QSystemTrayIcon* Picture1 = nullptr;
    QTimer* Timer1 = nullptr;
    QLabel* Image3 = nullptr; // running with LAN on
    QLabel* Image2 = nullptr; // stopped
    QLabel* Image1 = nullptr; // running with LAN off
    QMenu* MainMenu = nullptr;
    QAction* mnuShowList = nullptr;
    QAction* mnuDisable = nullptr;
    QAction* mnuExit = nullptr;
    QAction* stam = nullptr;
    QAction* mnuABout = nullptr;
    // While Kalvex has alerts open: every one closed, or postponed.
    QAction* mnuCloseAll = nullptr;
    QAction* mnuDelayAll = nullptr;
    QAction* alertsLine = nullptr;
    OpenAlerts* m_openAlerts = nullptr;
    bool m_askingExit = false; // the exit question is open
    bool m_lanTroubleTold = false;
    bool m_unloaded = false;
    ArrivalNotices* m_arrivals = nullptr; // notices of shared reminders that arrived
    DueWakeUp* m_dueWakeUp = nullptr;     // between ticks, the moment NextDate falls due
    // Another program's writes to the database, looked for on every tick.
    std::unique_ptr<ReminderFileWatch> m_reminderFile;
    QIcon m_icon;
    QString m_tip;
    bool m_triggerOpensList = false; // a StatusNotifier host took the icon
    QTimer* m_trayLook = nullptr;
    QDeadlineTimer m_trayWait;
    bool m_trayIgnored = false;
};
