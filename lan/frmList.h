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

// The recipient list window "רשימת נמענים": the users listening on the LAN,
// the recipients of the reminder loaded in the editor, and who acknowledged
// it. On its first opening in a run, and on every opening while nobody has
// answered yet, it asks the LAN with "WHL" and shows the answers that came
// within 250 ms; later answers show at the next opening.
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
    QTimer* Timer1;
};
