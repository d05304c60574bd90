// The list side of the manager window: loading, the list lines, sorting,
// the show filter, navigation, refresh and the focus colours.
#include "manager/RMain.h"

#include "common/Log.h"
#include "common/Trapped.h"
#include "common/WindowCaptions.h"
#include "manager/ListTable.h"
#include "manager/ManagerState.h"
#include "manager/ReceiptsBar.h"
#include "manager/ReminderListModel.h"
#include "platform/Failure.h"
#include "platform/Throttle.h"
#include "platform/UserFiles.h"
#include "platform/ui/Prompt.h"
#include "store/LanSettings.h"
#include "store/Queries.h"
#include "store/ReminderChanges.h"
#include "store/ReminderDb.h"
#include "store/Schema.h"
#include "store/UnsignedCopies.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace {

const QColor kLightYellow(255, 255, 192);

int g_listRefreshes = 0;
double g_lastListRefreshMs = 0;

void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

} // namespace

void RMain::Form_Load()
{
    SortField = fieldName(ReminderField::RDate);
    SortDesc = false;
    InEdit = false;
    ShowFilter = 2;
    Loading = false;
    recallState();
    List1->showSort(SortField, SortDesc);
    SetLANControls();
    // Filling the editor is not an edit.
    InEdit = true;
    LoadDefault();
    InEdit = false;
    LoadData(true);
    if (!ListRs)
        Data_Reposition(); // an empty list that could not be read shows row 0 of 0
    LMoveRS->setToolTip(UserFiles::folder(UserFiles::Kind::Data));
}

QString RMain::listOrderQuery() const
{
    return Queries::listOrder(ShowFilter, SortField, SortDesc);
}

// The schema check runs only when asked, which is on the window's load.
void RMain::LoadData(bool CheckFlag)
{
    trapped(QStringLiteral("LoadData"), [&] {
        openList(CheckFlag);
        FillTheList();
    });
}

// Runs the list's query into a new ListRs, which keeps its database open.
void RMain::openList(bool CheckFlag)
{
    auto db = OpenReminderDb();
    if (CheckFlag)
        CheckDbVersion(*db);
    const quint64 changes = ReminderChanges::serial();
    Snapshot rows = Snapshot::keyed(*db, listOrderQuery());
    m_listChanges = changes;
    ListRs = std::move(rows);
    m_listDb = std::move(db);
}

void RMain::FillTheList()
{
    const auto fill = [this] {
        CurrentReminderId = 0;
        showListRows();
        Data_Reposition();
    };
    if (!trapped(QStringLiteral("FillTheList"), fill))
        m_repositioning = false;
}

// Only the lines on screen are built (ReminderListModel), so this costs the
// same for ten reminders and for a hundred thousand.
void RMain::showListRows()
{
    const int columns = m_model->columnCount();
    m_repositioning = true;
    if (ListRs)
        m_model->reset(*ListRs, LANOptReceive,
                       m_listDb ? UnsignedCopies(*m_listDb) : QSet<qint32>());
    else
        m_model->clear();
    if (m_model->columnCount() != columns)
        List1->applyColumnWidths();
    m_repositioning = false;
}

void RMain::selectListRow(int row, bool scroll)
{
    m_repositioning = true;
    if (row < 0) {
        List1->selectionModel()->clear();
    } else {
        const QModelIndex index = m_model->index(row, qMax(0, List1->currentIndex().column()));
        if (List1->currentIndex() != index)
            List1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                QItemSelectionModel::Rows);
        if (scroll)
            List1->scrollTo(index);
    }
    m_repositioning = false;
}

void RMain::Data_Reposition()
{
    const int position = ListRs ? ListRs->absolutePosition() : -1;
    const int count = ListRs ? ListRs->recordCount() : 0;
    selectListRow(position);
    showRowCounter(position, count);
    SetRegularMode();
}

void RMain::showRowCounter(int position, int count)
{
    LMoveRS->setText(QStringLiteral(" שורה %1 מתוך %2").arg(position + 1).arg(count));
}

qint32 RMain::currentListId() const
{
    if (!ListRs || !ListRs->hasCurrent())
        return 0;
    return reminderId(*ListRs);
}

void RMain::requeryList(qint32 id, int position)
{
    if (!ListRs || !m_listDb)
        throw Failure(QStringLiteral("The list is not loaded"));
    m_listChanges = ReminderChanges::serial();
    ListRs->requery(*m_listDb);
    if (!findInList(id))
        moveNear(position);
}

// The row now at position, or the last one when the list got shorter.
void RMain::moveNear(int position)
{
    if (position >= 0 && ListRs->recordCount() > 0)
        ListRs->setAbsolutePosition(qMin(position, ListRs->recordCount() - 1));
}

void RMain::followChanges()
{
    if (m_listChanges != ReminderChanges::serial())
        m_follow->request();
}

void RMain::showStoredChanges()
{
    if (m_blocked || !ListRs || m_listChanges == ReminderChanges::serial())
        return; // followed once the question is over
    ++g_listRefreshes;
    QElapsedTimer timer;
    timer.start();
    trapped(QStringLiteral("FollowChanges"), [this] { refreshInPlace(); });
    g_lastListRefreshMs = timer.nsecsElapsed() / 1e6;
}

void RMain::refreshInPlace()
{
    if (!ListRs) { // never read: only the columns to follow
        showListRows();
        return;
    }
    const int scroll = List1->verticalScrollBar()->value();
    requeryList(currentListId(), ListRs->absolutePosition());
    showListRows();
    List1->doItemsLayout(); // the scroll range of the new rows, before the position is set
    List1->verticalScrollBar()->setValue(scroll);
    const int position = ListRs->absolutePosition();
    selectListRow(position, false);
    showRowCounter(position, ListRs->recordCount());
    if (InEdit) {
        noteEditedReminder();
        return;
    }
    // The editor shows the current reminder as stored; reloaded only when
    // that differs, so the place the user reads in stays.
    if (!ListRs->hasCurrent() || !m_loaded || !sameRecord(*m_loaded, ReminderRecord::read(*ListRs)))
        LoadCurrent();
}

void RMain::ensureListCurrent()
{
    ReminderChanges::checkNow();
    if (ListRs && m_listChanges != ReminderChanges::serial())
        refreshInPlace();
}

int RMain::listRefreshes()
{
    return g_listRefreshes;
}

double RMain::lastListRefreshMs()
{
    return g_lastListRefreshMs;
}

QList<qint32> RMain::listedIds() const
{
    QList<qint32> ids;
    for (int row = 0; row < m_model->rowCount(); ++row)
        ids << m_model->reminderId(row);
    return ids;
}

void RMain::ListLabel_Click(int Index)
{
    const ListColumnDef* clicked = listColumnOfHeader(Index);
    if (InEdit || !clicked) {
        List1->showSort(SortField, SortDesc); // the header's own flip of its indicator undone
        return;
    }
    const QString field = fieldName(clicked->sortField);
    if (field != SortField) {
        SortField = field;
        SortDesc = false;
    } else {
        SortDesc = !SortDesc;
    }
    List1->showSort(SortField, SortDesc);
    LoadData(false);
}

void RMain::OptShow_Click(int Index)
{
    if (!leaveEdit()) {
        OptShow[ShowFilter]->setChecked(true);
        return;
    }
    ShowFilter = short(Index);
    LoadData(false);
}

void RMain::List1_Click(int row)
{
    trapped(QStringLiteral("List1_Click"), [&] {
        ListRs->setAbsolutePosition(row);
        Data_Reposition();
    });
}

// Past the end or the start stays on the last or first record; on an empty
// list the click does nothing.
void RMain::cmdMoveRS_Click(int Index)
{
    if (!ListRs || ListRs->recordCount() == 0 || !leaveEdit())
        return;
    try {
        switch (Index) {
        case 0:
            ListRs->moveLast();
            break;
        case 1:
            ListRs->moveNext();
            if (ListRs->eof())
                ListRs->moveLast();
            break;
        case 2:
            ListRs->movePrevious();
            if (ListRs->bof())
                ListRs->moveFirst();
            break;
        case 3:
            ListRs->moveFirst();
            break;
        }
    } catch (const std::exception&) {
        return;
    }
    Data_Reposition();
}

// The menu's refresh also works during an edit, which it leaves alone.
void RMain::cmdRefresh_Click()
{
    trapped(QStringLiteral("cmdRefresh"), [&] {
        if (ListRs)
            refreshInPlace();
    });
}

void RMain::mnu_Refresh_Click()
{
    cmdRefresh_Click();
}

// An unsaved edit or new reminder is kept: the caller has brought the
// window up, and the asked reminder waits for the user's save or cancel.
bool RMain::ShowIndex(qint32 RId)
{
    if (InEdit)
        return true;
    if (m_blocked) {
        m_showAfterQuestion = RId;
        return true;
    }
    bool stored = true;
    trapped(QStringLiteral("ShowIndex"), [&] { stored = showStored(RId); });
    return stored;
}

void RMain::TellNotStored()
{
    Prompt::message(this, QStringLiteral("התזכורת נמחקה ואינה ברשימה עוד."), appTitle(),
                    Prompt::Buttons::Ok, Prompt::Icon::Information);
}

// Re-reads the list, so that the reminder shows as it is stored now (an
// alert may just have moved it on), and makes it current, switching the
// filter to "הכל" when the filter hides it. False when it is not stored;
// the current reminder (or its neighbour) then stays current.
bool RMain::showStored(qint32 id)
{
    const qint32 shown = currentListId();
    const int position = ListRs ? ListRs->absolutePosition() : -1;
    requeryList();
    bool found = findInList(id);
    if (!found && ShowFilter != 2 && storedReminder(*m_listDb, id)) {
        OptShow[2]->setChecked(true);
        ShowFilter = 2;
        openList(false);
        found = findInList(id);
    }
    if (!found && !findInList(shown))
        moveNear(position);
    FillTheList();
    return found;
}

bool RMain::findInList(qint32 id)
{
    if (id <= 0 || ListRs->recordCount() == 0)
        return false;
    ListRs->findFirst(fieldName(ReminderField::RMain_Id), id);
    return !ListRs->noMatch();
}

// With sending off the details box takes the place of the LAN controls.
void RMain::SetLANControls()
{
    CDetail->setMinimumHeight((LANOptSend ? 1455 : 1905) / 15);
    Frame3->setVisible(LANOptSend);
    m_receipts->follow(LANOptSend ? CurrentReminderId : 0);
    for (QWidget* control :
         std::initializer_list<QWidget*>{LANSend, OptSend[0], OptSend[1], cmdOptList})
        control->setEnabled(LANOptSend);
}

void RMain::ChangeColor1(const QColor& theColor)
{
    for (QWidget* widget :
         std::initializer_list<QWidget*>{OptShow[0], OptShow[1], OptShow[2], OptShowLabel, LStatus,
                                         Frame2, LStatus->parentWidget()}) {
        widget->setAutoFillBackground(true);
        setColour(widget, QPalette::Window, theColor);
    }
}

void RMain::ChangeColor2(const QColor& theColor)
{
    for (QWidget* widget : std::initializer_list<QWidget*>{OptActive[0], OptActive[1], Shape1})
        setColour(widget, QPalette::Window, theColor);
}

// Light yellow marks the focused list, text box or option group.
bool RMain::handleFocusColours(QObject* watched, QEvent::Type type)
{
    const bool in = type == QEvent::FocusIn;
    if (watched == List1 || watched == CCaption || watched == CDetail) {
        setColour(static_cast<QWidget*>(watched), QPalette::Base,
                  in ? kLightYellow : QColor(Qt::white));
        return true;
    }
    const QColor buttonFace = palette().color(QPalette::Button);
    for (QRadioButton* option : OptShow)
        if (watched == option) {
            ChangeColor1(in ? kLightYellow : buttonFace);
            return true;
        }
    for (QRadioButton* option : OptActive)
        if (watched == option) {
            ChangeColor2(in ? kLightYellow : buttonFace);
            return true;
        }
    return false;
}
