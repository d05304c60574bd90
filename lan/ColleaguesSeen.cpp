#include "lan/ColleaguesSeen.h"

#include "broker/BrokerTopics.h"
#include "common/Trapped.h"
#include "lan/LanLimits.h"
#include "lan/LanSend.h"
#include "store/Colleagues.h"
#include "store/ReminderDb.h"

bool NoteSeen(const QString& nick, const QString& address)
{
    if (!MayNoteColleague(nick, address))
        return false;
    return trapped(QStringLiteral("ColleagueSeen"),
                   [&] { NoteColleagueSeen(*OpenReminderDb(), nick, address); });
}

QStringList ColleaguesKnown()
{
    QStringList known;
    trapped(QStringLiteral("ColleagueSeen"), [&] { known = ColleaguesSeen(*OpenReminderDb()); });
    for (const QString& name : Listeners)
        if (!known.contains(name))
            known << name;
    return known;
}

QString WhereSeen(const QString& nick)
{
    QString address;
    trapped(QStringLiteral("ColleagueSeen"),
            [&] { address = ColleagueAddress(*OpenReminderDb(), nick); });
    if (address.isEmpty())
        return {};
    if (const QString lanAddress = BrokerTopics::lanAddressOfSource(address); !lanAddress.isEmpty())
        return QStringLiteral("דרך הממסר %1 (%2)")
            .arg(BrokerTopics::userOfSource(address), lanAddress);
    if (BrokerTopics::isBrokerSource(address))
        return QStringLiteral("דרך שרת ההודעות (%1)").arg(BrokerTopics::userOfSource(address));
    return QStringLiteral("ברשת המקומית (%1)").arg(address);
}
