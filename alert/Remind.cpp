#include "alert/Remind.h"

#include "alert/AlertPile.h"
#include "alert/DelayChoices.h"
#include "calendar/HebrewDateText.h"
#include "common/Log.h"
#include "common/Trapped.h"
#include "platform/Failure.h"
#include "platform/ProgramDir.h"
#include "platform/Throttle.h"
#include "platform/ui/Beep.h"
#include "platform/ui/RightToLeftText.h"
#include "platform/ui/UndoDelete.h"
#include "platform/ui/WindowFront.h"
#include "scheduling/DeletionUndo.h"
#include "scheduling/PublishNextDate.h"
#include "scheduling/ReminderWrites.h"
#include "scheduling/ShownAlerts.h"
#include "store/Database.h"
#include "store/Reminder.h"
#include "store/ReminderChanges.h"
#include "store/ReminderDb.h"
#include "store/ReminderRecord.h"
#include "store/UnsignedCopies.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

std::function<void(qint32)>& openInListHandler()
{
    static std::function<void(qint32)> handler;
    return handler;
}

// What the window shows of a reminder.
bool showsTheSame(const ReminderRecord& shown, const ReminderRecord& stored)
{
    using F = ReminderField;
    return sameIn(shown, stored,
                  {F::RCaption, F::RDetail, F::RDate, F::RNext, F::RImportance, F::REventType});
}

const QColor kUpdatedColour(0, 0, 160);
const QColor kDeletedColour(160, 0, 0);

QPixmap importancePicture(short importance)
{
    const QString path = ProgramDir::file(QStringLiteral("RIcons/RIcon%1.bmp").arg(importance));
    QPixmap picture;
    if (!picture.load(path, "BMP"))
        throw Failure(QStringLiteral("File not found: %1").arg(path));
    return picture;
}

} // namespace

// Created on top already: BringToFront then only raises it, instead of
// re-creating the freshly shown native window to change its flags. It shows
// without taking the keyboard from the window in use: a click on it, or its
// entry in the task bar, gives it the focus.
Remind::Remind(QWidget* parent) : PiledAlert(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Remind"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setLayoutDirection(Qt::RightToLeft);
    setWindowTitle(QStringLiteral("תזכורת ולטרום"));
    ReminderChanges::watchWhile(this);
    m_follow = new Throttle(
        ReminderChanges::kWatchMs, [this] { showStored(); }, this);
    connect(ReminderChanges::instance(), &ReminderChanges::changed, this, &Remind::followChanges);
    try {
        m_form = buildRemindForm(this);
        connect(m_form.cmdDelay, &QPushButton::clicked, this, &Remind::cmdDelay_Click);
        connect(m_form.cmdDelete, &QToolButton::clicked, this, &Remind::cmdDelete_Click);
        connect(m_form.cmdShowList, &QPushButton::clicked, this, &Remind::cmdShowList_Click);
        connect(m_form.cmdExit, &QPushButton::clicked, this, &Remind::close);
        AlertPile& pile = AlertPile::instance();
        connect(m_form.cmdCloseAll, &QPushButton::clicked, &pile, &AlertPile::closeAll);
        connect(m_form.cmdDelayAll, &QPushButton::clicked, this,
                [this] { AlertPile::instance().postponeAll(chosenDelay()); });
        connect(&pile, &AlertPile::countChanged, this, &Remind::showAllPair);
        pile.join(this); // first: joining may show the pair, which widens the alert
        resize(minimumSizeHint().expandedTo(QSize(460, 330)));
        move(pile.placeFor(this));
        m_form.RDelay->setFocus(); // the window's first focus, for when it gets the keyboard
        m_form.RDelay->setCurrentIndex(0);
    } catch (const std::exception&) {
        m_loadFailed = true;
        close();
    }
}

Remind::~Remind()
{
    // A window destroyed without being closed still hands its reminder back.
    runClosingSteps();
    AlertPile::instance().leave(this);
}

qint32 Remind::reminderId() const
{
    return m_reminderId;
}

void Remind::setOpenInListHandler(std::function<void(qint32 reminderId)> handler)
{
    openInListHandler() = std::move(handler);
}

// The window is first shown here, named after its reminder, so the desktop never lists it
// under a name of no reminder; one that could not be read still comes up, empty and silent.
void Remind::RLoad(qint32 reminderId)
{
    m_reminderId = reminderId;
    if (m_loadFailed)
        return;
    bool gone = false;
    const bool loaded = trapped(QStringLiteral("RLoad"), [&] {
        PublishNextDate();
        m_seenChanges = ReminderChanges::serial();
        const std::optional<ReminderRecord> stored = storedReminder(*OpenReminderDb(), reminderId);
        gone = !stored;
        if (gone)
            return;
        fill(*stored);
        m_shownNext = stored->optionalDate(ReminderField::RNext);
    });
    if (gone) {
        close();
        return;
    }
    BringToFront(this, true, Activation::LeaveFocus);
    if (loaded)
        AlertBeep();
}

void Remind::fill(const ReminderRecord& reminder)
{
    // The window keeps the title as stored: the desktop and scripts find the alert by it.
    setWindowTitle(reminder.RCaption);
    m_form.LblCaption->setText(RightToLeftText::fromTheRight(reminder.RCaption));
    const std::optional<Date> target = reminder.optionalDate(ReminderField::RDate);
    const std::optional<Date> next = reminder.optionalDate(ReminderField::RNext);
    m_form.CTarget->setText(target ? formatDateTime(*target) : QString());
    m_form.LblHebrewDate->setText(target ? hebrewDateBeside(target->date()) : QString());
    m_form.CImportance->setText(ImportanceName(reminder.RImportance));
    m_form.CEventType->setText(EventTypeName(reminder.REventType));
    m_form.CDetail->setPlainText(reminder.RDetail);
    // More than a minute late, counted in whole minutes.
    m_form.ILate->setVisible(next && next->addMinutes(1) < NowToMinute());
    const bool postponed = next && target && next > target;
    m_form.IPostpone->setToolTip(postponed ? QStringLiteral("נדחה ל- ") + formatDateTime(*next)
                                           : QString());
    m_form.IPostpone->setVisible(postponed);
    showAuthorVerification(reminder);
    m_shown = reminder;
    showImportancePicture(reminder.RImportance);
}

// A copy that came unsigned may come from anyone who took its author's name.
void Remind::showAuthorVerification(const ReminderRecord& reminder)
{
    const bool unverified =
        !reminder.IAMAuthor && isUnsignedCopy(*OpenReminderDb(), reminder.BroadcastId);
    m_form.LblUnverified->setText(
        unverified
            ? QStringLiteral("מאת \"%1\" - לא מאומת: הגיעה בהודעה לא חתומה").arg(reminder.RAuthor)
            : QString());
    m_form.LblUnverified->setVisible(unverified);
}

void Remind::followChanges()
{
    if (m_seenChanges != ReminderChanges::serial())
        m_follow->request();
}

// The occurrence the window was opened for stays the one its close moves on
// (m_shownNext): a reminder the author moved meanwhile keeps its new time.
void Remind::showStored()
{
    if (!m_shown || m_deleted)
        return;
    trapped(QStringLiteral("RLoad"), [this] {
        m_seenChanges = ReminderChanges::serial();
        const std::optional<ReminderRecord> stored =
            storedReminder(*OpenReminderDb(), m_reminderId);
        if (!stored) {
            showDeleted();
        } else if (!showsTheSame(*m_shown, *stored)) {
            fill(*stored);
            showState(QStringLiteral("התזכורת עודכנה"), kUpdatedColour);
        }
    });
}

// Nothing is left to postpone or delete, and closing leaves the table alone.
void Remind::showDeleted()
{
    m_deleted = true;
    m_handled = true;
    m_form.cmdDelay->setEnabled(false);
    m_form.RDelay->setEnabled(false);
    m_form.cmdDelete->setEnabled(false);
    showState(QStringLiteral("התזכורת נמחקה"), kDeletedColour);
}

void Remind::showState(const QString& text, const QColor& colour)
{
    QPalette palette = m_form.LblState->palette();
    palette.setColor(QPalette::WindowText, colour);
    m_form.LblState->setPalette(palette);
    m_form.LblState->setText(text);
    m_form.LblState->show();
}

// A missing icon costs the picture only: the alert must still come up and beep.
void Remind::showImportancePicture(short importance)
{
    trapped(QStringLiteral("RLoad"), [&] {
        const QPixmap picture = importancePicture(importance);
        m_form.Image1->setPixmap(picture);
        setWindowIcon(picture);
    });
}

int Remind::chosenDelay() const
{
    return m_form.RDelay->currentData().toInt();
}

void Remind::cmdDelay_Click()
{
    postponeBy(chosenDelay());
}

void Remind::postponeBy(int delayCode)
{
    if (m_deleted)
        return; // nothing left to postpone
    std::optional<Postponement> done;
    trapped(QStringLiteral("cmdDelay"), [&] { done = postponeByChoice(m_reminderId, delayCode); });
    if (done == Postponement::NotStored)
        showDeleted(); // in the window itself, which stays open
    if (done != Postponement::Postponed)
        return;
    m_handled = true;
    close();
}

// One click deletes, without a question; a reminder this user shared goes
// at its recipients too. The notice of the undo stands where the alert was.
void Remind::cmdDelete_Click()
{
    std::optional<DeletedReminder> deleted;
    const auto remove = [&] {
        deleted = DeleteUndoably(m_reminderId, [] { return NetworkDeletion::Also; });
    };
    if (!trapped(QStringLiteral("Remind cmdDelete"), remove))
        return;
    m_handled = true;
    if (deleted)
        UndoDelete::offer(
            DeletedNotice(*deleted), [kept = *deleted] { return UndoDeletion(kept); },
            frameGeometry());
    close();
}

void Remind::cmdShowList_Click()
{
    const qint32 reminderId = m_reminderId;
    close();
    trapped(QStringLiteral("cmdShowList"), [&] {
        if (openInListHandler())
            openInListHandler()(reminderId);
    });
}

void Remind::showAllPair(int openAlerts)
{
    for (QPushButton* all : {m_form.cmdCloseAll, m_form.cmdDelayAll})
        all->setVisible(openAlerts >= 2);
}

// Escape closes this alert, Shift+Escape every open one.
void Remind::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape)
        return QWidget::keyPressEvent(event);
    if (event->modifiers() == Qt::ShiftModifier)
        AlertPile::instance().closeAll();
    else
        close();
}

void Remind::closeEvent(QCloseEvent* event)
{
    runClosingSteps();
    event->accept();
    AlertPile::instance().leave(this);
}

// Runs once, however the window goes; each step is tried on its own.
void Remind::runClosingSteps()
{
    if (m_closingDone || m_loadFailed)
        return;
    m_closingDone = true;
    if (!m_handled && m_shownNext) {
        try {
            Reschedular(m_reminderId, m_shownNext);
        } catch (const std::exception&) {
        }
    }
    try {
        UnmarkShown(m_reminderId);
    } catch (const std::exception&) {
    }
    try {
        PublishNextDate();
    } catch (const std::exception&) {
    }
}
