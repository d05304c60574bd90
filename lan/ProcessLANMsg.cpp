#include "ProcessLANMsg.h"

#include "Database.h"
#include "Failure.h"
#include "LanFormat.h"
#include "LanSend.h"
#include "LanSettings.h"
#include "LanText.h"
#include "Log.h"
#include "PublishNextDate.h"
#include "Queries.h"
#include "RUpdateRec.h"
#include "Recordset.h"
#include "Reminder.h"
#include "WriteBatch.h"

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

void writeCopy(Dynaset& rs, const RUpdateRec& rec)
{
    rs.setValue(QStringLiteral("RCaption"), rec.RCaption);
    rs.setValue(QStringLiteral("RDate"), dateValue(rec.RDate));
    rs.setValue(QStringLiteral("RImportance"), rec.RImportance);
    rs.setValue(QStringLiteral("REventType"), rec.REventType);
    rs.setValue(QStringLiteral("RDetail"), rec.RDetail);
    rs.setValue(QStringLiteral("RActive"), rec.RActive);
    rs.setValue(QStringLiteral("RNext"), dateValue(rec.RDate));
    rs.setValue(QStringLiteral("RAuthor"), rec.RAuthor);
    rs.setValue(QStringLiteral("Adv_AdvOpt"), rec.Adv_AdvOpt);
    rs.setValue(QStringLiteral("Adv_DateEnd"), dateValue(rec.Adv_DateEnd));
    rs.setValue(QStringLiteral("Adv_NoEnd"), rec.Adv_NoEnd);
    rs.setValue(QStringLiteral("Adv_Period"), rec.Adv_Period);
    rs.setValue(QStringLiteral("Adv_PeriodN"), rec.Adv_PeriodN);
    rs.setValue(QStringLiteral("Adv_WeekDay"), rec.Adv_WeekDay);
    rs.setValue(QStringLiteral("Adv_MonthDay"), rec.Adv_MonthDay);
    rs.setValue(QStringLiteral("Adv_MonthCount"), rec.Adv_MonthCount);
    rs.setValue(QStringLiteral("IAMAuthor"), false);
}

void storeCopy(const RUpdateRec& rec)
{
    auto db = OpenReminderDb();
    Dynaset rs(*db, Queries::copyByBroadcastId(rec.BroadcastId));
    if (rs.hasCurrent()) {
        rs.edit();
    } else {
        rs.addNew();
        rs.setValue(QStringLiteral("BroadcastId"), rec.BroadcastId);
    }
    writeCopy(rs, rec);
    rs.update();
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
    try {
        if (isDamaged(text)) {
            logMalformed(text);
            return;
        }
        QStringList tokens;
        StrTok(text, tokens, kFieldEnd);
        if (IsOwnMsg(tokens))
            return;
        dispatch(tokens, text);
    } catch (const std::exception& e) {
        WriteLog(describe(e), LogError);
    }
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
    try {
        const RUpdateRec rec = ParseRUpdate(tokens);
        if (NotForMe(rec))
            return;
        requireStorable(rec);
        storeCopy(rec);
        afterCommitOnce(&PublishNextDate);
        const QString& sender = tokenAt(tokens, 0);
        if (!isAnswerableAddress(sender))
            throw Failure(QStringLiteral("No answer to ") + sender);
        // The answer promises a stored copy: never before it is committed.
        afterCommit([sender, id = rec.BroadcastId] { SendACK(sender, id); });
    } catch (const std::exception& e) {
        WriteLog(QStringLiteral("שגיאה בנסיון עדכון תזכורת ברשת: ") + describe(e), LogError);
    }
}

void ReceiveDELMsg(const QStringList& tokens)
{
    try {
        const qint32 id = lanToLong(tokenAt(tokens, 2));
        {
            auto db = OpenReminderDb();
            Dynaset rs(*db, Queries::copyByBroadcastId(id));
            if (rs.hasCurrent())
                rs.deleteCurrent();
        }
        afterCommitOnce(&PublishNextDate);
    } catch (const std::exception&) {
        throw Failure(QStringLiteral("שגיאה בנסיון מחיקת תזכורת ברשת"));
    }
}

void ReceiveACK(const QStringList& tokens)
{
    try {
        const qint32 id = lanToLong(tokenAt(tokens, 2));
        const QString& name = tokenAt(tokens, 3);
        requireName(name);
        auto db = OpenReminderDb();
        Dynaset rs(*db, Queries::authoredByBroadcastId(id));
        if (!rs.hasCurrent()) {
            WriteLog(QStringLiteral("תזכורת לאישור לא קיימת"), LogError);
            return;
        }
        rs.edit();
        const QString receivedBy = FieldText(rs.value(QStringLiteral("ReceivedBy")));
        rs.setValue(QStringLiteral("ReceivedBy"), receivedBy + name + kNameEnd);
        rs.update();
    } catch (const std::exception& e) {
        WriteLog(QStringLiteral("שגיאה בנסיון קליטת אישור: ") + describe(e), LogError);
    }
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
