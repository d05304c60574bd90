#pragma once

#include <QDialog>
#include <QStringList>

#include <optional>

class QLabel;
class QListWidget;
class QPushButton;
class QKeyEvent;
class QTimer;

// Sorts nicknames in ascending ordinal order (UTF-16 code units: case
// matters, Latin before Hebrew); duplicates stay.
void SortNames(QStringList& names);

// The recipient list window "רשימת נמענים": the users on the LAN, the
// recipients of the reminder loaded in the editor, and who acknowledged it.
// It lists at once the colleagues seen in the last days (ColleaguesSeen.h).
// On its first opening in a run, on every opening while nobody has answered
// yet, and on "רענן" (which forgets the earlier answers and the colleagues
// seen, showing only who answers), it asks the LAN with "WHL"; it adds the
// answers that came within 250 ms, then later ones as they come, and when
// nobody answered within a second says so and names the likely causes.
// Below the available users it shows the chosen one's state and fingerprint
// (SenderTrust.h), and where another key was refused for the nickname that
// key's fingerprint too: "אשר" once the fingerprint was compared with the
// colleague's own, "שכח" when the colleague has a new key (the next signed
// datagram pins it). Those refused are listed among the available users.
class frmList : public QDialog
{
    Q_OBJECT
public:
    // sentTo: the reminder's recipient list; reminderId: its RMain_Id (0: none).
    frmList(const QString& sentTo, qint32 reminderId, QWidget* parent = nullptr);

    // Shows the window modally; the confirmed recipient list (sorted), or
    // nothing when cancelled.
    static std::optional<QString> choose(QWidget* owner, const QString& sentTo, qint32 reminderId);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load(const QString& sentTo);
    QString GetRecBy() const;
    QString GetListText() const; // List2's items as a name list
    void FillWhoListen();
    void FillListFromText(const QString& text, short number);
    void cmdLeft_Click();
    void cmdLeftAll_Click();
    void cmdRight_Click();
    void cmdRefresh_Click();
    void AskWhoListens();
    // The colleague's state and fingerprint as the window shows them.
    static QString colleagueText(const QString& name);
    void showColleague();
    void changeColleague(bool confirm);

    qint32 m_reminderId;
    QLabel* Label1;
    QListWidget* List1;
    QLabel* Label2;
    QListWidget* List2;
    QLabel* Label3;
    QListWidget* List3;
    QPushButton* cmdLeft;
    QPushButton* cmdLeftAll;
    QPushButton* cmdRight;
    QPushButton* cmdRightAll;
    QPushButton* cmdSave;
    QPushButton* cmdCancel;
    QPushButton* cmdRefresh;
    QLabel* LblNoAnswer;
    QLabel* LblColleague;
    QPushButton* cmdConfirm;
    QPushButton* cmdForget;
    QTimer* Timer1;
    QTimer* m_silence;            // ends the wait for a first answer
    QTimer* m_answerLook;         // adds answers that came after Timer1
    qsizetype m_answersShown = 0; // the Listeners in List1
    bool m_storedToo = true;      // List1 shows the colleagues seen, not only the answers
};
