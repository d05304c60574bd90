#include "SendRUpdate.h"

#include "Failure.h"
#include "LanSend.h"
#include "Log.h"
#include "Prompt.h"
#include "RUpdateRec.h"
#include "Recordset.h"
#include "Reminder.h"

namespace {

short codeField(const Dynaset& rs, const char* field)
{
    return short(rs.value(QLatin1String(field)).toInt());
}

RUpdateRec recordOf(const Dynaset& rs, const QString& recipients)
{
    RUpdateRec rec;
    rec.Recipients = recipients;
    rec.BroadcastId = rs.value(QStringLiteral("BroadcastId")).toInt();
    rec.RCaption = FieldText(rs.value(QStringLiteral("RCaption")));
    rec.RDate = dateField(rs.value(QStringLiteral("RDate")));
    rec.RImportance = codeField(rs, "RImportance");
    rec.REventType = codeField(rs, "REventType");
    rec.RDetail = FieldText(rs.value(QStringLiteral("RDetail")));
    rec.RActive = true; // a copy always starts active
    rec.Adv_Period = codeField(rs, "Adv_Period");
    rec.Adv_PeriodN = codeField(rs, "Adv_PeriodN");
    rec.Adv_AdvOpt = rs.value(QStringLiteral("Adv_AdvOpt")).toBool();
    rec.Adv_WeekDay = codeField(rs, "Adv_WeekDay");
    rec.Adv_MonthDay = codeField(rs, "Adv_MonthDay");
    rec.Adv_MonthCount = codeField(rs, "Adv_MonthCount");
    rec.Adv_DateEnd = dateField(rs.value(QStringLiteral("Adv_DateEnd")));
    rec.Adv_NoEnd = rs.value(QStringLiteral("Adv_NoEnd")).toBool();
    rec.RAuthor = FieldText(rs.value(QStringLiteral("RAuthor")));
    return rec;
}

// These boxes have no title of their own: the program's title shows.
void tell(const QString& text, Prompt::Icon icon)
{
    Prompt::message(nullptr, text, QStringLiteral("Kalvex"), Prompt::Buttons::Ok, icon);
}

// Marks the row as sent to this audience under the record's identity.
void markSent(Dynaset& rs, const RUpdateRec& rec, bool toList, const QString& sentTo)
{
    rs.edit();
    rs.setValue(QStringLiteral("SentTo"), toList ? sentTo : QString());
    rs.setValue(QStringLiteral("ReceivedBy"), QString());
    rs.setValue(QStringLiteral("BroadcastId"), rec.BroadcastId);
    rs.update();
}

} // namespace

bool SendRUpdate(Dynaset& rs, qint32 NewIndex, bool toList, const QString& sentTo)
{
    try {
        rs.findFirst(QStringLiteral("RMain_Id"), NewIndex);
        if (rs.noMatch() || !rs.hasCurrent())
            throw Failure(QStringLiteral("שגיאה בשמירת נתונים"));
        if (!rs.value(QStringLiteral("IAMAuthor")).toBool()) {
            tell(QStringLiteral("לא ניתן לשלוח עדכון לתזכורת שלא את/אתה המחבר שלה"),
                 Prompt::Icon::Information);
            return false;
        }
        RUpdateRec rec = recordOf(rs, toList ? sentTo : kAllRecipients);
        if (rec.Recipients.isEmpty()) {
            tell(QStringLiteral("רשימת הנמענים ריקה"), Prompt::Icon::Exclamation);
            return false;
        }
        if (rec.BroadcastId == 0)
            rec.BroadcastId = NewBroadcastId();
        // A reminder that cannot go out is left as it was.
        const QString message = BuildRUpdate(rec);
        if (!checkSendable(message))
            return false;
        markSent(rs, rec, toList, sentTo);
        return sendToEverybody(message);
    } catch (const std::exception& e) {
        WriteLog(QStringLiteral("SendRUpdate: ") + describe(e), LogError);
        return false;
    }
}
