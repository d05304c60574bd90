#include "alert/AlertList.h"

#include "alert/AlertRows.h"
#include "alert/DelayChoices.h"
#include "common/Trapped.h"
#include "platform/Failure.h"
#include "platform/Throttle.h"
#include "platform/ui/Beep.h"
#include "platform/ui/Named.h"
#include "platform/ui/WindowFront.h"
#include "scheduling/PublishNextDate.h"
#include "scheduling/ReminderWrites.h"
#include "scheduling/ShownAlerts.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/ReminderChanges.h"
#include "store/ReminderDb.h"
#include "store/ReminderRecord.h"
#include "store/WriteBatch.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

AlertList* g_list = nullptr;

const QString kFailureName = QStringLiteral("AlertList");

// The rows of these reminders as stored now; a reminder gone has none.
QHash<qint32, AlertRow> storedRows(const QList<qint32>& ids)
{
    QHash<qint32, AlertRow> found;
    if (ids.isEmpty())
        return found;
    QStringList numbers;
    for (qint32 id : ids)
        numbers << QString::number(id);
    const auto db = OpenReminderDb();
    Snapshot rs(*db, Queries::alertRowsByIds(numbers.join(QLatin1Char(','))));
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        const ReminderRecord r = ReminderRecord::read(rs);
        found.insert(r.RMain_Id, {r.RMain_Id, r.RCaption, r.RDate,
                                  r.optionalDate(ReminderField::RNext), r.RImportance});
    }
    return found;
}

QPushButton* button(const char* name, const QString& text, const QString& toolTip)
{
    auto* b = named(new QPushButton(text), QString::fromLatin1(name));
    b->setToolTip(toolTip);
    return b;
}

} // namespace

AlertList::AlertList() : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("AlertList"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setLayoutDirection(Qt::RightToLeft);
    m_rows = new AlertRows(this);
    buildForm();
    ReminderChanges::watchWhile(this);
    m_follow = new Throttle(
        ReminderChanges::kWatchMs, [this] { showStored(); }, this);
    connect(ReminderChanges::instance(), &ReminderChanges::changed, this,
            &AlertList::followChanges);
    resize(560, 360);
    AlertPile::instance().setList(this);
}

AlertList::~AlertList()
{
    if (g_list != this)
        return;
    g_list = nullptr;
    AlertPile::instance().setList(nullptr);
}

void AlertList::buildForm()
{
    LblCount = named(new QLabel, "LblCount");
    QFont bold = LblCount->font();
    bold.setBold(true);
    LblCount->setFont(bold);

    List1 = named(new QTableView, "List1");
    List1->setModel(m_rows);
    List1->setSelectionBehavior(QAbstractItemView::SelectRows);
    List1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setSortingEnabled(true);
    List1->sortByColumn(AlertRows::Due, Qt::AscendingOrder);
    List1->verticalHeader()->hide();
    List1->horizontalHeader()->setSectionResizeMode(AlertRows::Caption, QHeaderView::Stretch);
    List1->setTabKeyNavigation(false);

    LblState = named(new QLabel, "LblState");
    LblState->hide();

    cmdDelay = button("cmdDelay", QStringLiteral("תזכיר לי בעוד"),
                      QStringLiteral("דחיית התזכורות המסומנות בזמן שנבחר"));
    RDelay = named(new QComboBox, "RDelay");
    addDelayChoices(RDelay);
    cmdDelayAll = button("cmdDelayAll", QStringLiteral("דחה הכל"),
                         QStringLiteral("דחיית כל התזכורות הפתוחות בזמן שנבחר כאן"));
    cmdExit = button("cmdExit", QStringLiteral("סגור"), QStringLiteral("סגירת התזכורות המסומנות"));
    cmdCloseAll = button("cmdCloseAll", QStringLiteral("סגור הכל"),
                         QStringLiteral("סגירת כל התזכורות הפתוחות (Shift+Esc)"));
    connect(cmdDelay, &QPushButton::clicked, this,
            [this] { postponeIds(chosenIds(), chosenDelay()); });
    connect(cmdExit, &QPushButton::clicked, this, [this] { closeIds(chosenIds()); });
    connect(cmdDelayAll, &QPushButton::clicked, this,
            [this] { AlertPile::instance().postponeAll(chosenDelay()); });
    connect(cmdCloseAll, &QPushButton::clicked, &AlertPile::instance(), &AlertPile::closeAll);

    auto* actions = new QHBoxLayout;
    actions->addWidget(cmdDelay);
    actions->addWidget(RDelay);
    actions->addWidget(cmdDelayAll);
    actions->addStretch(1);
    actions->addWidget(cmdExit);
    actions->addWidget(cmdCloseAll);
    auto* column = new QVBoxLayout(this);
    column->addWidget(LblCount);
    column->addWidget(List1, 1);
    column->addWidget(LblState);
    column->addLayout(actions);
    setFocusProxy(List1); // the first focus, once the user gives the window the keyboard
}

void AlertList::take(qint32 reminderId)
{
    if (g_list && g_list->rowCount() >= kMaxRows) {
        g_list->LblState->setText(
            QStringLiteral("הרשימה מלאה: תזכורות נוספות יוצגו כשיתפנה בה מקום"));
        g_list->LblState->show();
        throw Failure(QStringLiteral("The alert list is full"));
    }
    if (!g_list)
        g_list = new AlertList;
    g_list->m_waiting << reminderId;
    if (g_list->m_waiting.size() == 1)
        QTimer::singleShot(0, g_list, &AlertList::readWaiting);
}

AlertList* AlertList::instance()
{
    return g_list;
}

QList<qint32> AlertList::listedIds()
{
    return g_list ? g_list->m_rows->ids() + g_list->m_waiting : QList<qint32>();
}

int AlertList::rowCount() const
{
    return m_rows->rowCount() + int(m_waiting.size());
}

int AlertList::chosenDelay() const
{
    return RDelay->currentData().toInt();
}

// A reminder that cannot be read now is handed back: it stays due.
void AlertList::readWaiting()
{
    if (m_waiting.isEmpty())
        return;
    const QList<qint32> ids = std::exchange(m_waiting, {});
    QHash<qint32, AlertRow> stored;
    trapped(kFailureName, [&] {
        m_seenChanges = ReminderChanges::serial();
        stored = storedRows(ids);
    });
    QList<AlertRow> rows;
    QList<qint32> unread;
    for (qint32 id : ids) {
        if (stored.contains(id))
            rows << stored.value(id);
        else
            unread << id;
    }
    m_rows->add(rows);
    if (!isVisible() && !rows.isEmpty())
        move(AlertPile::placeListFor(this));
    leave(unread);
    if (rows.isEmpty())
        return;
    PublishNextDate(); // without the rows now listed
    BringToFront(this, true, Activation::LeaveFocus);
    AlertBeep();
}

void AlertList::followChanges()
{
    if (m_seenChanges != ReminderChanges::serial())
        m_follow->request();
}

// A row whose reminder was deleted meanwhile leaves, and the list says so.
void AlertList::showStored()
{
    const QList<qint32> ids = m_rows->ids();
    QHash<qint32, AlertRow> stored;
    if (ids.isEmpty() || !trapped(kFailureName, [&] {
            m_seenChanges = ReminderChanges::serial();
            stored = storedRows(ids);
        }))
        return;
    QList<qint32> gone;
    for (qint32 id : ids)
        if (!stored.contains(id))
            gone << id;
    if (!gone.isEmpty()) {
        LblState->setText(
            QStringLiteral("התזכורת \"%1\" נמחקה").arg(m_rows->find(gone.last())->caption));
        LblState->show();
    }
    m_rows->refill(stored);
    leave(gone);
}

QList<qint32> AlertList::chosenIds() const
{
    QList<qint32> ids;
    for (const QModelIndex& index : List1->selectionModel()->selectedRows())
        ids << m_rows->at(index.row()).reminderId;
    if (ids.isEmpty() && List1->currentIndex().isValid())
        ids << m_rows->at(List1->currentIndex().row()).reminderId;
    return ids;
}

void AlertList::closeRows()
{
    readWaiting();
    closeIds(m_rows->ids());
}

void AlertList::postponeRows(std::optional<int> delayCode)
{
    readWaiting();
    postponeIds(m_rows->ids(), delayCode.value_or(chosenDelay()));
}

// As an alert's close: the occurrence listed moves on, failures are logged
// and the row goes all the same. One commit for all the rows.
void AlertList::closeIds(const QList<qint32>& ids)
{
    const HeldPublication once;
    {
        WriteBatch batch;
        for (qint32 id : ids) {
            const AlertRow* row = m_rows->find(id);
            if (!row || !row->shownNext)
                continue;
            const Date shownNext = *row->shownNext;
            batch.step([&] {
                try {
                    Reschedular(id, shownNext);
                } catch (const std::exception&) {
                }
                return true;
            });
        }
        batch.finish();
    }
    leave(ids);
}

// As an alert's postponement; a row whose postponement failed stays listed.
void AlertList::postponeIds(const QList<qint32>& ids, int delayCode)
{
    const HeldPublication once;
    QList<qint32> done;
    {
        WriteBatch batch;
        for (qint32 id : ids)
            batch.step([&] {
                return trapped(QStringLiteral("cmdDelay"), [&] {
                    postponeByChoice(id, delayCode);
                    done << id;
                });
            });
        batch.finish();
    }
    leave(done);
}

void AlertList::leave(const QList<qint32>& ids)
{
    for (qint32 id : ids)
        UnmarkShown(id);
    m_rows->remove(ids);
    if (!ids.isEmpty())
        PublishNextDate();
    showCount();
    if (rowCount() > 0) {
        AlertPile::instance().rowsChanged();
        return;
    }
    g_list = nullptr;
    AlertPile::instance().setList(nullptr);
    hide();
    deleteLater();
}

void AlertList::showCount()
{
    const int rows = m_rows->rowCount();
    LblCount->setText(QStringLiteral("%1 תזכורות נוספות שהגיע זמנן").arg(rows));
    setWindowTitle(QStringLiteral("תזכורות נוספות (%1)").arg(rows));
}

// The close box closes every row as each alert's own close would.
void AlertList::closeEvent(QCloseEvent* event)
{
    closeRows();
    event->accept();
}

// Shift+Escape closes every alert shown, as in an alert window.
void AlertList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::ShiftModifier)
        AlertPile::instance().closeAll();
    else
        QWidget::keyPressEvent(event);
}
