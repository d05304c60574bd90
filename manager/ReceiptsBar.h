#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
struct ReminderRecord;

// Who has not acknowledged a reminder this user shared: the named recipients
// (SentTo), or for everybody the colleagues seen on the LAN, less ReceivedBy;
// sorted. None for a reminder that is not this user's shared one.
QStringList MissingRecipients(const ReminderRecord& reminder, const QStringList& colleaguesSeen);

// Beside the editor's share controls: who acknowledged the loaded reminder
// and who has not yet, kept current as acknowledgements are stored, and
// "שלח שוב לחסרים", which sends it again to those only (same identity, the
// receipts kept). Hidden while no reminder this user shared is loaded.
class ReceiptsBar : public QWidget
{
    Q_OBJECT
public:
    // From the LAN, installed by the server; unset, nobody is seen and nothing is sent.
    struct Hooks
    {
        std::function<QStringList()> colleaguesSeen;
        // Sends the reminder (RMain_Id) again to the names (a name list); whether it went out.
        std::function<bool(qint32 reminderId, const QString& names)> sendTo;
    };
    static void setHooks(Hooks hooks);

    explicit ReceiptsBar(QWidget* parent = nullptr);
    // The reminder to show (RMain_Id; 0 for none).
    void follow(qint32 reminderId);

private:
    void refresh();
    void cmdResendMissing_Click();

    qint32 m_reminderId = 0;
    QStringList m_missing;
    QLabel* LblReceipts;
    QPushButton* cmdResendMissing;
};
