// The list side of the manager window: loading, the list lines, sorting,
// the show filter, navigation, refresh and the focus colours.
#include "manager/RMain.h"

#include "common/Log.h"
#include "common/Trapped.h"
#include "manager/ListHeaders.h"
#include "manager/ListLineDelegate.h"
#include "manager/ManagerState.h"
#include "manager/ReminderListModel.h"
#include "platform/Failure.h"
#include "platform/ProgramDir.h"
#include "platform/Throttle.h"
#include "store/LanSettings.h"
#include "store/Queries.h"
#include "store/ReminderChanges.h"
#include "store/Schema.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QColor kLightYellow(255, 255, 192);
const QColor kAscending(0, 0, 255);
const QColor kDescending(128, 0, 0);

int g_listRefreshes = 0;

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
    for (int i = 0; i < m_headers->count(); ++i)
        setColour(m_headers->label(i), QPalette::WindowText, i == 1 ? kAscending : Qt::black);
    SetLANControls();
    // Filling the editor is not an edit.
    InEdit = true;
    LoadDefault();
    InEdit = false;
    LoadData(true);
    if (!ListRs)
        Data_Reposition(); // an empty list that could not be read shows row 0 of 0
    LMoveRS->setToolTip(ProgramDir::path());
}

QString RMain::listQuery() const
{
    return Queries::list(ShowFilter, SortField, SortDesc);
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
    Snapshot rows(*db, listQuery());
    m_listChanges = changes;
    ListRs = std::move(rows);
    m_listDb = std::move(db);
}

void RMain::FillTheList()
{
    const auto fill = [this] {
        CurrentReminderId = 0;
        const QVector<ListColumnSpan> columns = listColumnSpans(LANOptReceive);
        m_headers->setColumns(columns);
        m_delegate->setColumns(columns);
        m_repositioning = true;
        if (ListRs)
            m_model->reset(*ListRs, LANOptReceive);
        else
            m_model->clear();
        m_repositioning = false;
        Data_Reposition();
    };
    if (!trapped(QStringLiteral("FillTheList"), fill))
        m_repositioning = false;
}

void RMain::selectListRow(int row)
{
    m_repositioning = true;
    if (row < 0) {
        List1->selectionModel()->clear();
    } else {
        const QModelIndex index = m_model->index(row);
        if (List1->currentIndex() != index)
            List1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        List1->scrollTo(index);
    }
    m_repositioning = false;
}

void RMain::Data_Reposition()
{
    const int position = ListRs ? ListRs->absolutePosition() : -1;
    const int count = ListRs ? ListRs->recordCount() : 0;
    selectListRow(position);
    LMoveRS->setText(QStringLiteral(" שורה %1 מתוך %2").arg(position + 1).arg(count));
    SetRegularMode();
}

qint32 RMain::currentListId() const
{
    if (!ListRs || !ListRs->hasCurrent())
        return 0;
    return reminderId(*ListRs);
}

// Re-reads ListRs in place (same query, fresh rows), makes the given
// reminder current when it is still listed, and rebuilds List1.
void RMain::rereadList(qint64 currentId)
{
    if (!ListRs || !m_listDb)
        throw Failure(QStringLiteral("The list is not loaded"));
    requeryList();
    findInList(qint32(currentId));
    FillTheList();
}

void RMain::requeryList()
{
    m_listChanges = ReminderChanges::serial();
    ListRs->requery(*m_listDb);
}

void RMain::followChanges()
{
    if (m_listChanges != ReminderChanges::serial())
        m_follow->request();
}

void RMain::showStoredChanges()
{
    if (InEdit || m_blocked || !ListRs || m_listChanges == ReminderChanges::serial())
        return; // followed once the edit or the question is over
    ++g_listRefreshes;
    trapped(QStringLiteral("FollowChanges"), [this] { rereadList(currentListId()); });
}

int RMain::listRefreshes()
{
    return g_listRefreshes;
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
    if (InEdit)
        return;
    HeaderLabel* clicked = m_headers->label(Index);
    const QString field = clicked->property("tag").toString();
    if (field != SortField) {
        SortField = field;
        SortDesc = false;
    } else {
        SortDesc = !SortDesc;
    }
    for (int i = 0; i < m_headers->count(); ++i)
        setColour(m_headers->label(i), QPalette::WindowText, Qt::black);
    setColour(clicked, QPalette::WindowText, SortDesc ? kDescending : kAscending);
    LoadData(false);
}

void RMain::OptShow_Click(int Index)
{
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
    if (!ListRs || ListRs->recordCount() == 0)
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

void RMain::cmdRefresh_Click()
{
    trapped(QStringLiteral("cmdRefresh"), [&] {
        if (ListRs)
            rereadList(currentListId());
    });
}

void RMain::mnu_Refresh_Click()
{
    cmdRefresh_Click();
}

// An unsaved edit or new reminder is kept: the caller has brought the
// window up, and the asked reminder waits for the user's save or cancel.
void RMain::ShowIndex(qint32 RId)
{
    if (InEdit)
        return;
    trapped(QStringLiteral("ShowIndex"), [&] {
        if (!showStored(RId))
            throw Failure(QStringLiteral("No current record."), 3021);
    });
}

// Re-reads the list, so that the reminder shows as it is stored now (an
// alert may just have moved it on), and makes it current, switching the
// filter to "הכל" when the filter hides it. False when it is not stored;
// the current reminder then stays current.
bool RMain::showStored(qint32 id)
{
    if (!ListRs || !m_listDb)
        throw Failure(QStringLiteral("The list is not loaded"));
    const qint32 shown = currentListId();
    requeryList();
    bool found = findInList(id);
    if (!found && ShowFilter != 2) {
        OptShow[2]->setChecked(true);
        ShowFilter = 2;
        openList(false);
        found = findInList(id);
    }
    if (!found)
        findInList(shown);
    FillTheList();
    return found;
}

bool RMain::findInList(qint32 id)
{
    if (ListRs->recordCount() == 0)
        return false;
    ListRs->findFirst(fieldName(ReminderField::RMain_Id), id);
    return !ListRs->noMatch();
}

// With sending off the details box takes the place of the LAN controls.
void RMain::SetLANControls()
{
    CDetail->setFixedHeight((LANOptSend ? 1455 : 1905) / 15);
    Frame3->setVisible(LANOptSend);
    for (QWidget* control :
         std::initializer_list<QWidget*>{LANSend, OptSend[0], OptSend[1], cmdOptList})
        control->setEnabled(LANOptSend);
}

void RMain::ChangeColor1(const QColor& theColor)
{
    for (QWidget* widget : std::initializer_list<QWidget*>{OptShow[0], OptShow[1], OptShow[2],
                                                           OptShowLabel, LStatus}) {
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
