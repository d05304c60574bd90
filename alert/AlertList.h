#pragma once

#include "alert/AlertPile.h"

#include <QList>
#include <QWidget>

class AlertRows;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class Throttle;

// The one window of the alerts beyond the pile's windows (AlertPile::kMaxWindows):
// a row each (title, due time, importance), closed or postponed row by row
// (the rows chosen) or all at once, each exactly as its alert window would
// be. It stays on top like an alert and shows without taking the keyboard.
// It holds a few fields a row and kMaxRows rows at most, so memory stays
// bounded whatever falls due; a reminder beyond them stays due and is listed
// by a later due check, once rows have gone. It exists while rows are listed.
//
// Its rows are in ShownAlerts like the alert windows: the due check opens no
// alert for them and the next-due publication passes over them.
class AlertList : public QWidget, public PiledList
{
    Q_OBJECT
public:
    static constexpr int kMaxRows = 1000;

    // Lists a reminder that ShowAlert has marked shown; its row is read with
    // the others that come in the same turn of the event loop. Throws
    // Failure when the list is full, and the reminder then stays due.
    static void take(qint32 reminderId);
    static AlertList* instance(); // nullptr while nothing is listed
    static QList<qint32> listedIds();

    int rowCount() const override;
    void closeRows() override;
    void postponeRows(std::optional<int> delayCode) override;
    // The code of the postponement chosen in RDelay.
    int chosenDelay() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    AlertList();
    ~AlertList() override;
    void buildForm();
    void readWaiting();
    void showStored();
    void followChanges();
    QList<qint32> chosenIds() const;
    void closeIds(const QList<qint32>& ids);
    void postponeIds(const QList<qint32>& ids, int delayCode);
    // The rows leave the list and their reminders ShownAlerts; the list goes
    // once the last has left.
    void leave(const QList<qint32>& ids);
    void showCount();

    AlertRows* m_rows = nullptr;
    QList<qint32> m_waiting; // taken, not read yet
    quint64 m_seenChanges = 0;
    Throttle* m_follow = nullptr;
    QLabel* LblCount = nullptr;
    QTableView* List1 = nullptr;
    QLabel* LblState = nullptr;
    QComboBox* RDelay = nullptr;
    QPushButton* cmdDelay = nullptr;
    QPushButton* cmdDelayAll = nullptr;
    QPushButton* cmdExit = nullptr;
    QPushButton* cmdCloseAll = nullptr;
};
