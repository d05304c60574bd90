#include "manager/ReceiptsBar.h"

#include "common/Trapped.h"
#include "platform/Throttle.h"
#include "platform/ui/Named.h"
#include "scheduling/ReminderRules.h"
#include "store/LanSettings.h"
#include "store/ReminderChanges.h"
#include "store/ReminderDb.h"
#include "store/ReminderRecord.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {

ReceiptsBar::Hooks& hooks()
{
    static ReceiptsBar::Hooks installed;
    return installed;
}

// The names of a name list (each entry ends in CR), each once.
QStringList namesOf(const QString& list)
{
    QStringList names = list.split(QLatin1Char('\r'), Qt::SkipEmptyParts);
    names.removeDuplicates();
    return names;
}

QString shown(QStringList names, const QString& none)
{
    std::sort(names.begin(), names.end());
    return names.isEmpty() ? none : names.join(QStringLiteral(", "));
}

} // namespace

QStringList MissingRecipients(const ReminderRecord& reminder, const QStringList& colleaguesSeen)
{
    if (!SharedByMe(reminder))
        return {};
    QStringList missing = reminder.SentTo.isEmpty() ? colleaguesSeen : namesOf(reminder.SentTo);
    missing.removeDuplicates();
    for (const QString& name : namesOf(reminder.ReceivedBy))
        missing.removeAll(name);
    std::sort(missing.begin(), missing.end());
    return missing;
}

void ReceiptsBar::setHooks(Hooks installed)
{
    hooks() = std::move(installed);
}

ReceiptsBar::ReceiptsBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ReceiptsBar"));
    LblReceipts = named(new QLabel(this), QStringLiteral("LblReceipts"));
    LblReceipts->setWordWrap(true);
    cmdResendMissing = named(new QPushButton(QStringLiteral("שלח שוב לחסרים"), this),
                             QStringLiteral("cmdResendMissing"));
    cmdResendMissing->setToolTip(
        QStringLiteral("שליחה חוזרת של התזכורת רק למי שטרם אישר שקיבל אותה"));
    cmdResendMissing->setAutoDefault(false);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(LblReceipts, 1);
    layout->addWidget(cmdResendMissing);
    connect(cmdResendMissing, &QPushButton::clicked, this, [this] { cmdResendMissing_Click(); });

    // Acknowledgements show as they are stored.
    auto* receipts = new Throttle(
        ReminderChanges::kWatchMs, [this] { refresh(); }, this);
    connect(ReminderChanges::instance(), &ReminderChanges::changed, receipts, [this, receipts] {
        if (m_reminderId > 0 && LANOptSend)
            receipts->request();
    });
    hide();
}

void ReceiptsBar::follow(qint32 reminderId)
{
    m_reminderId = reminderId;
    refresh();
}

void ReceiptsBar::refresh()
{
    // Without sending nothing shows: the database is not opened for it.
    std::optional<ReminderRecord> reminder;
    if (m_reminderId > 0 && LANOptSend)
        trapped(QStringLiteral("ReceiptsBar"),
                [&] { reminder = storedReminder(*OpenReminderDb(), m_reminderId); });
    const bool shared = reminder && SharedByMe(*reminder);
    setVisible(shared);
    if (!shared)
        return;
    const QStringList seen = hooks().colleaguesSeen ? hooks().colleaguesSeen() : QStringList();
    m_missing = MissingRecipients(*reminder, seen);
    LblReceipts->setText(QStringLiteral("אישרו קבלה: ") +
                         shown(namesOf(reminder->ReceivedBy), QStringLiteral("אף אחד")) +
                         QStringLiteral("   טרם אישרו: ") +
                         shown(m_missing, reminder->SentTo.isEmpty() && seen.isEmpty()
                                              ? QStringLiteral("לא ידוע, איש לא נראה ברשת")
                                              : QStringLiteral("אין")));
    cmdResendMissing->setEnabled(!m_missing.isEmpty() && hooks().sendTo);
}

void ReceiptsBar::cmdResendMissing_Click()
{
    QString names;
    for (const QString& name : m_missing)
        names += name + QLatin1Char('\r');
    if (!names.isEmpty() && hooks().sendTo)
        hooks().sendTo(m_reminderId, names);
}

#include "moc_ReceiptsBar.cpp"
