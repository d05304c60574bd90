#pragma once

#include "manager/OccurrencePreview.h"
#include "platform/Date.h"
#include "store/Recordset.h"
#include "store/ReminderRecord.h"

#include <QEvent>
#include <QMainWindow>
#include <QMargins>

#include <functional>
#include <memory>
#include <optional>

class Database;
struct EditDraft;
struct DeletedReminder;
class Throttle;
class ListTable;
class ReceiptsBar;
class ReminderListModel;
class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;
class QToolButton;

// The manager window "תזכורון ולטרום": the reminder list above, the editor
// below. One instance at a time; it deletes itself when closed.
class RMain : public QMainWindow
{
    Q_OBJECT
public:
    // The loaded window, or nullptr; load() creates it when needed ("load the form").
    static RMain* instance();
    static RMain* load();

    // How the about box is shown (the server owns it); called with this window as owner.
    static void setAboutHandler(std::function<void(QWidget* owner)> handler);
    // LAN sending of a saved reminder: the save's open record set, the saved
    // row's RMain_Id and the audience (the list CurrentSentTo, or everybody);
    // gives whether it went out. Installed by the server; unset, a save sends nothing.
    using SendRUpdateHook =
        std::function<bool(Dynaset& rs, qint32 newIndex, bool toList, const QString& sentTo)>;
    static void setSendRUpdateHook(SendRUpdateHook hook);
    // The LAN windows, installed by the server; unset, their commands do nothing.
    struct LanWindows
    {
        // The recipient list window for a reminder's recipients and RMain_Id:
        // the confirmed list, or nothing when cancelled.
        std::function<std::optional<QString>(QWidget* owner, const QString& sentTo,
                                             qint32 reminderId)>
            chooseRecipients;
        // The options window, shown modally; true when it restarted the tray
        // monitor itself.
        std::function<bool(QWidget* owner)> editOptions;
        // Restarts the tray monitor, whose receiver then takes the LAN settings anew.
        std::function<void()> restartMonitor;
    };
    static void setLanWindows(LanWindows windows);

    // Selects a reminder in the list as it is stored now (switching the filter
    // to "הכל" when needed); an edit in progress is kept and nothing is
    // selected. While a question of this window is open (about the current
    // reminder), the reminder is selected once the question's command is done. False when the
    // reminder is not stored: the list then shows what is stored, its current reminder (or the
    // neighbour) kept.
    bool ShowIndex(qint32 RId);
    // Tells the user that the reminder asked for no longer exists.
    void TellNotStored();
    // Rebuilds List1 from ListRs and shows its current record.
    void FillTheList();
    // Shows ListRs's current record: selection, row counter, editor.
    void Data_Reposition();
    // Applies the LAN sending setting to the LAN controls and the details box.
    void SetLANControls();
    void SetSendOptions(bool Specific, bool TickSend);
    void SetEditMode(bool NewRec = false, bool SetActive = false);
    void SetRegularMode(const QString& StatusTXT = QString());

    // Searches the list (its filter, its order) for a text in the title
    // (SearchIn 0) or the details (1): the field begins with it (SearchBy 0),
    // contains it (1) or is it (2); Like pattern characters in the text
    // (LikePattern.h) keep their meaning. A match becomes the current
    // reminder. Gives "OK" or why nothing was found.
    QString MyFind(bool FirstNext, const QVariant& theText, short SearchIn, short SearchBy);

    bool inEdit() const { return InEdit; }
    // RMain_Id of each line of List1, top to bottom.
    QList<qint32> listedIds() const;
    // How often a window re-read its list to follow a change stored
    // elsewhere, over the life of the process.
    static int listRefreshes();
    // How long the last of them took, in milliseconds.
    static double lastListRefreshMs();
    // The list follows stored changes at most this often.
    static constexpr int kFollowGapMs = 250;
    // Status texts of an edit whose reminder was written meanwhile.
    static const QString kEditedChanged;
    static const QString kEditedDeleted;
    // The status line while a deletion made here can be taken back.
    static const QString kUndoOffered;
    const QString& sortField() const { return SortField; }
    short showFilter() const { return ShowFilter; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The hooks installed above, for the commands that use them.
    static const SendRUpdateHook& sendRUpdateHook();
    static const LanWindows& lanWindows();

    explicit RMain(QWidget* parent = nullptr);
    ~RMain() override;

    // Building the window (RMainUi.cpp).
    void buildUi();
    QWidget* buildListArea();
    QWidget* buildStatusStrip();
    QWidget* buildEditor();
    QWidget* buildButtonRow();
    void buildMenus();
    void connectSignals();
    void connectEditorChanges();

    // The list (RMainList.cpp).
    void Form_Load();
    void LoadData(bool CheckFlag = false);
    void openList(bool CheckFlag);
    bool showStored(qint32 id);
    bool findInList(qint32 id);
    QString listOrderQuery() const;
    void selectListRow(int row, bool scroll = true);
    void showRowCounter(int position, int count);
    // The model's rows from ListRs, with or without the author column.
    void showListRows();
    // ListRs->requery, noting the change it is current with; the reminder
    // id stays current, or the row that takes its place at position.
    void requeryList(qint32 id = 0, int position = -1);
    void moveNear(int position);
    // Following changes stored elsewhere (ReminderChanges): the list is read
    // again in place once per kFollowGapMs, never while a question of this
    // window is open. An edit in progress is never touched: the status line
    // notes a change of its reminder instead.
    void followChanges();
    void showStoredChanges();
    // Re-reads ListRs in place: filter, sort, the current reminder (or its
    // neighbour when it is gone) and the scroll position stay.
    void refreshInPlace();
    // Before acting on the list as stored (printing, copying, finding).
    void ensureListCurrent();
    void noteEditedReminder();
    qint32 currentListId() const;
    void ListLabel_Click(int Index);
    void OptShow_Click(int Index);
    void List1_Click(int row);
    void cmdMoveRS_Click(int Index);
    void cmdRefresh_Click();
    void mnu_Refresh_Click();
    // The sort, filter, column widths and place of the last opening, and
    // keeping them for the next (RMainMemory.cpp).
    void recallState();
    void rememberState() const;
    static constexpr QMargins kFrameAllowance{8, 32, 8, 8}; // pixels

    void ChangeColor1(const QColor& theColor);
    void ChangeColor2(const QColor& theColor);
    bool handleFocusColours(QObject* watched, QEvent::Type type);

    // The editor (RMainEditor.cpp).
    void SetMode(bool theMode, const QString& StatusTXT);
    void LoadDefault();
    // Fills the editor's fields from a reminder (inside InEdit or a load).
    void showInEditor(const ReminderRecord& r);
    void LoadCurrent();
    void MySave(bool SExisting);
    // Where a save of the edited reminder goes once the user was asked about
    // a change or deletion stored meanwhile: its row (id), a new row (0), or
    // nowhere (nothing).
    std::optional<qint32> saveTarget();
    // An edit in progress is saved, dropped or kept as the user answers;
    // false when it stays (Cancel, or a save that did not go through).
    bool leaveEdit();
    bool validateEditor();
    ReminderRecord editorRecord() const;
    void ShowAdvOpt();
    void CEventType_Click(int index);
    void OptSend_Click(int Index);
    void cmdNew_Click();
    void cmdSave_Click();
    void cmdCancel_Click();
    void cmdExit_Click();
    bool Form_KeyDown(int key, Qt::KeyboardModifiers shift);
    Date editorDueDate() const;
    // The rule and start the editor shows, for the occurrences under the rule.
    OccurrencePreview::Input editorRule() const;
    void setEditorDueDate(const Date& due);

    // An edit interrupted from outside (RMainDraft.cpp): kept without a
    // question, offered back at the next opening.
    void keepEditAsDraft();
    void dropKeptDraft();
    void offerEditDraft();
    void restoreEditDraft(const EditDraft& draft);

    // Deleting (RMainDelete.cpp).
    void cmdDelete_Click();
    void offerUndo(const DeletedReminder& deleted);
    void cmdDeleteAll_Click();

    // The commands of the buttons and menus: find, printing and copying
    // (RMainCommands.cpp), the LAN windows (RMainLanWindows.cpp), the about box.
    void cmdFind_Click();
    void mnu_PrinCurrent_Click();
    void mnu_PrintList_Click();
    void mnu_CopyList_Click();
    void cmdDefinitions_Click();
    void cmdOptList_Click();
    void mnu_About_Click();

    // Window state.
    QString SortField = fieldName(ReminderField::RDate);
    bool SortDesc = false;
    bool InEdit = false;
    short ShowFilter = 2;
    bool Loading = false;
    std::unique_ptr<Database> m_listDb; // kept open with ListRs for the window's life
    std::optional<Snapshot> ListRs;
    bool m_repositioning = false; // List1's selection is being set from ListRs
    bool m_editingNew = false;    // the edit is a new reminder
    // The reminder as LoadCurrent put it into the editor: what an edit of it
    // started from.
    std::optional<ReminderRecord> m_loaded;
    quint64 m_listChanges = 0; // ReminderChanges::serial() when ListRs was read
    bool m_blocked = false;    // a modal window of ours is open
    // A reminder asked for (ShowIndex) while a question of this window was
    // open; shown once it is answered and the command that asked is done.
    qint32 m_showAfterQuestion = 0;
    Throttle* m_follow = nullptr;
    bool m_centred = false;
    bool m_draftOffered = false;
    // A draft of the edit in progress was kept while the window stayed open
    // (the session asked to save its work, then went on).
    bool m_keptDraft = false;

    // The list side.
    ListTable* List1 = nullptr;
    ReminderListModel* m_model = nullptr;
    QToolButton* cmdMoveRS[4] = {};
    QLabel* LMoveRS = nullptr;
    QLabel* LStatus = nullptr;
    QFrame* Frame2 = nullptr;
    QLabel* OptShowLabel = nullptr;
    QRadioButton* OptShow[3] = {};

    // The editor.
    QLineEdit* CCaption = nullptr;
    QDateEdit* CDate1 = nullptr;
    QTimeEdit* CDate2 = nullptr;
    QComboBox* CImportance = nullptr;
    QComboBox* CEventType = nullptr;
    QPushButton* cmdAdvOpt = nullptr;
    QLabel* LblOccurrences = nullptr;
    QLabel* LblHebrewDate = nullptr; // the due date's Hebrew date, beside CDate1
    OccurrencePreview* m_occurrences = nullptr;
    QFrame* Frame1 = nullptr;
    QFrame* Shape1 = nullptr;
    QRadioButton* OptActive[2] = {};
    QPlainTextEdit* CDetail = nullptr;
    QFrame* Frame3 = nullptr;
    QRadioButton* OptSend[2] = {};
    QCheckBox* LANSend = nullptr;
    QPushButton* cmdOptList = nullptr;
    ReceiptsBar* m_receipts = nullptr; // who acknowledged, who has not yet

    // Buttons along the bottom.
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
    QToolButton* cmdRefresh = nullptr;
    QToolButton* cmdFind = nullptr;
    QToolButton* cmdDeleteAll = nullptr;
    QToolButton* cmdDelete = nullptr;
    QToolButton* cmdDefinitions = nullptr;
    QToolButton* cmdExit = nullptr;
};
