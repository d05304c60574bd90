#include "alert/Remind.h"

#include "common/Log.h"
#include "common/Trapped.h"
#include "common/WindowCaptions.h"
#include "platform/Failure.h"
#include "platform/ProgramDir.h"
#include "platform/ui/Beep.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/WindowFront.h"
#include "scheduling/PublishNextDate.h"
#include "scheduling/Reschedular.h"
#include "scheduling/ShownAlerts.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/Reminder.h"
#include "store/ReminderRecord.h"

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

// Moves the reminder's next showing to now plus the choice's amount and
// keeps it active. False when the reminder no longer exists.
bool postponeStored(qint32 reminderId, int delayCode)
{
    auto db = OpenReminderDb();
    Dynaset rs(*db, Queries::byId(reminderId));
    if (rs.recordCount() == 0)
        return false;
    rs.moveFirst();
    ReminderRecord r;
    r.RNext = NowToMinute().add(delayCode / 1000, delayCode % 1000);
    r.RActive = true;
    rs.edit();
    r.write(rs, {ReminderField::RNext, ReminderField::RActive});
    rs.update();
    return true;
}

void deleteStored(qint32 reminderId)
{
    auto db = OpenReminderDb();
    Dynaset rs(*db, Queries::byId(reminderId));
    if (rs.recordCount() == 0)
        return;
    rs.moveFirst();
    rs.deleteCurrent();
}

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
// re-creating the freshly shown native window to change its flags.
Remind::Remind(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Remind"));
    setAttribute(Qt::WA_DeleteOnClose);
    setLayoutDirection(Qt::RightToLeft);
    setWindowTitle(QStringLiteral("תזכורת ולטרום"));
    try {
        m_form = buildRemindForm(this);
        connect(m_form.cmdDelay, &QPushButton::clicked, this, &Remind::cmdDelay_Click);
        connect(m_form.cmdDelete, &QToolButton::clicked, this, &Remind::cmdDelete_Click);
        connect(m_form.cmdShowList, &QPushButton::clicked, this, &Remind::cmdShowList_Click);
        connect(m_form.cmdExit, &QPushButton::clicked, this, &Remind::close);
        resize(minimumSizeHint().expandedTo(QSize(460, 330)));
        show();
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
}

qint32 Remind::reminderId() const
{
    return m_reminderId;
}

void Remind::setOpenInListHandler(std::function<void(qint32 reminderId)> handler)
{
    openInListHandler() = std::move(handler);
}

void Remind::RLoad(qint32 reminderId)
{
    m_reminderId = reminderId;
    trapped(QStringLiteral("RLoad"), [&] {
        PublishNextDate();
        bool found = false;
        {
            auto db = OpenReminderDb();
            Snapshot rs(*db, Queries::byId(reminderId));
            found = rs.recordCount() > 0;
            if (found) {
                rs.moveFirst();
                fill(ReminderRecord::read(rs));
            }
        }
        if (!found) {
            close();
            return;
        }
        BringToFront(this, true);
        AlertBeep();
    });
}

void Remind::fill(const ReminderRecord& reminder)
{
    setWindowTitle(reminder.RCaption);
    m_form.LblCaption->setText(reminder.RCaption);
    const std::optional<Date> target = reminder.optionalDate(ReminderField::RDate);
    const std::optional<Date> next = reminder.optionalDate(ReminderField::RNext);
    m_form.CTarget->setText(target ? formatDateTime(*target) : QString());
    m_form.CImportance->setText(ImportanceName(reminder.RImportance));
    m_form.CEventType->setText(EventTypeName(reminder.REventType));
    m_form.CDetail->setPlainText(reminder.RDetail);
    // More than a minute late, counted in whole minutes.
    m_form.ILate->setVisible(next && next->addMinutes(1) < NowToMinute());
    if (next && target && next > target) {
        m_form.IPostpone->setToolTip(QStringLiteral("נדחה ל- ") + formatDateTime(*next));
        m_form.IPostpone->show();
    }
    showImportancePicture(reminder.RImportance);
    m_shownNext = next;
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

void Remind::cmdDelay_Click()
{
    bool postponed = false;
    trapped(QStringLiteral("cmdDelay"), [&] {
        postponed = postponeStored(m_reminderId, m_form.RDelay->currentData().toInt());
        if (!postponed)
            Prompt::message(this, QStringLiteral("תזכורת נמחקה"), appTitle(), Prompt::Buttons::Ok,
                            Prompt::Icon::Critical);
    });
    if (!postponed)
        return;
    m_handled = true;
    close();
}

void Remind::cmdDelete_Click()
{
    if (!trapped(QStringLiteral("Remind cmdDelete"), [this] { deleteStored(m_reminderId); }))
        return;
    m_handled = true;
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

void Remind::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Remind::closeEvent(QCloseEvent* event)
{
    runClosingSteps();
    event->accept();
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
