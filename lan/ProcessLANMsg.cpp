#include "lan/ProcessLANMsg.h"

#include "common/LanText.h"
#include "common/Log.h"
#include "common/Trapped.h"
#include "lan/LanFormat.h"
#include "lan/LanSend.h"
#include "lan/RUpdateRec.h"
#include "platform/Failure.h"
#include "scheduling/PublishNextDate.h"
#include "scheduling/ReminderWrites.h"
#include "store/Database.h"
#include "store/LanSettings.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/Reminder.h"
#include "store/WriteBatch.h"

#include <QHostAddress>
#include <QNetworkInterface>

namespace {

void logMalformed(const QString& text)
{
    WriteLog(QStringLiteral("הודעה פגומה"), LogError);
    WriteLog(text, LogError);
}

// Damaged bytes or a NUL cannot come from a peer that follows the format.
bool isDamaged(const QString& text)
{
    return text.contains(kDamagedCharacter) || text.contains(QChar(u'\0'));
}

// A name that would break the name list it is added to.
void requireName(const QString& name)
{
    if (name.contains(kNameEnd))
        throw Failure(QStringLiteral("Invalid nickname"), 5);
}

void dispatch(const QStringList& tokens, const QString& text)
{
    const QString& kind = tokenAt(tokens, 1);
    if (kind == QLatin1String("UPD")) {
        if (LANOptReceive)
            ReceiveRUpdate(tokens);
    } else if (kind == QLatin1String("DEL")) {
        if (LANOptReceive)
            ReceiveDELMsg(tokens);
    } else if (kind == QLatin1String("ACK")) {
        ReceiveACK(tokens);
    } else if (kind == QLatin1String("WHL")) {
        if (LANOptReceive)
            AnswerWHL(tokens);
    } else if (kind == QLatin1String("IAM")) {
        ReceiveIAM(tokens);
    } else {
        logMalformed(text);
    }
}

} // namespace

void ProcessLANMsg(const QString& text)
{
    trapped(QString(), [&] {
        if (isDamaged(text)) {
            logMalformed(text);
            return;
        }
        QStringList tokens;
        StrTok(text, tokens, kFieldEnd);
        if (IsOwnMsg(tokens))
            return;
        dispatch(tokens, text);
    });
}

bool IsOwnMsg(const QStringList& tokens)
{
    const QString& sender = tokenAt(tokens, 0);
    if (LocalIP.isEmpty())
        SetLocalIP();
    if (sender == LocalIP)
        return true;
    const QHostAddress address(sender);
    return !address.isNull() && QNetworkInterface::allAddresses().contains(address);
}

void ReceiveRUpdate(const QStringList& tokens)
{
    trapped(QStringLiteral("שגיאה בנסיון עדכון תזכורת ברשת"), [&] {
        const RUpdateRec rec = ParseRUpdate(tokens);
        if (NotForMe(rec))
            return;
        requireStorable(rec);
        StoreReceivedCopy(rec);
        const QString& sender = tokenAt(tokens, 0);
        if (!isAnswerableAddress(sender))
            throw Failure(QStringLiteral("No answer to ") + sender);
        // The answer promises a stored copy: never before it is committed.
        afterCommit([sender, id = rec.BroadcastId] { SendACK(sender, id); });
    });
}

void ReceiveDELMsg(const QStringList& tokens)
{
    try {
        // Published also when there was no such copy.
        if (!DeleteReceivedCopy(lanToLong(tokenAt(tokens, 2))))
            afterCommitOnce(&PublishNextDateSoon);
    } catch (const std::exception&) {
        throw Failure(QStringLiteral("שגיאה בנסיון מחיקת תזכורת ברשת"));
    }
}

void ReceiveACK(const QStringList& tokens)
{
    trapped(QStringLiteral("שגיאה בנסיון קליטת אישור"), [&] {
        const qint32 id = lanToLong(tokenAt(tokens, 2));
        const QString& name = tokenAt(tokens, 3);
        requireName(name);
        auto db = OpenReminderDb();
        Dynaset rs(*db, Queries::authoredByBroadcastId(id));
        if (!rs.hasCurrent()) {
            WriteLog(QStringLiteral("תזכורת לאישור לא קיימת"), LogError);
            return;
        }
        ReminderRecord r = ReminderRecord::read(rs);
        rs.edit();
        r.ReceivedBy += name + kNameEnd;
        r.write(rs, {ReminderField::ReceivedBy});
        rs.update();
    });
}

void AnswerWHL(const QStringList& tokens)
{
    const QString& sender = tokenAt(tokens, 0);
    if (!isAnswerableAddress(sender))
        throw Failure(QStringLiteral("No answer to ") + sender);
    SendIAM(sender);
}

void ReceiveIAM(const QStringList& tokens)
{
    const QString& name = tokenAt(tokens, 2);
    requireName(name);
    Listeners.append(name);
}
