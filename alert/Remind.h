#pragma once

#include "alert/AlertPile.h"
#include "alert/RemindForm.h"
#include "platform/Date.h"
#include "store/ReminderRecord.h"

#include <functional>
#include <optional>

class QColor;
class Throttle;

// The alert window of one due reminder. Each instance owns its own state and
// deletes itself when closed.
class Remind : public PiledAlert
{
    Q_OBJECT
public:
    explicit Remind(QWidget* parent = nullptr);
    ~Remind() override;
    // Fills the window for one reminder and presents it on top with two beeps.
    void RLoad(qint32 reminderId);
    qint32 reminderId() const;

    // The code of the postponement chosen in RDelay.
    int chosenDelay() const override;
    // Postpones the reminder by the choice's code and closes, as "תזכיר לי
    // בעוד" does; a reminder deleted meanwhile is marked and the window stays.
    void postponeBy(int delayCode) override;

    // What "פתח ברשימה" does after the window has closed: the server wires
    // it to the manager window (show it and select the reminder).
    static void setOpenInListHandler(std::function<void(qint32 reminderId)> handler);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fill(const ReminderRecord& reminder);
    void showAuthorVerification(const ReminderRecord& reminder);
    // Follows the notice of change: the reminder as stored now fills the
    // window again (marked as updated) or shows as deleted.
    void followChanges();
    void showStored();
    void showDeleted();
    void showState(const QString& text, const QColor& colour);
    void showImportancePicture(short importance);
    void cmdDelay_Click();
    void cmdDelete_Click();
    void cmdShowList_Click();
    void showAllPair(int openAlerts);
    void runClosingSteps();

    RemindForm m_form;
    qint32 m_reminderId = 0;
    bool m_handled = false;    // postponed or deleted: closing must not reschedule
    bool m_loadFailed = false; // the window never loaded: closing does nothing
    bool m_closingDone = false;
    // The RNext the user was shown; unset while nothing was shown (a failed
    // load), and then closing leaves the row alone.
    std::optional<Date> m_shownNext;
    // The reminder as the window shows it; unset until it was loaded.
    std::optional<ReminderRecord> m_shown;
    bool m_deleted = false;    // deleted while shown: closing changes nothing
    quint64 m_seenChanges = 0; // ReminderChanges::serial() when it was read
    Throttle* m_follow = nullptr;
};
