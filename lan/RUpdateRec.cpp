#include "lan/RUpdateRec.h"

#include "lan/LanFormat.h"
#include "platform/Failure.h"
#include "scheduling/ReminderRules.h"
#include "store/LanSettings.h"
#include "store/Reminder.h"
#include "store/ReminderRecord.h"

namespace {

void append(QString& text, const QString& field)
{
    text += field;
    text += kFieldEnd;
}

QString withoutControls(const QString& text, bool keepLineBreaks)
{
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text)
        if (c.category() != QChar::Other_Control ||
            (keepLineBreaks && (c == QLatin1Char('\r') || c == QLatin1Char('\n'))))
            kept += c;
    return kept;
}

// The fields after RAuthor that a peer of this release reads and the Windows
// release never looks at: the rule's own type, its Hebrew anchor and its
// skipping of days off. Sent only for a rule that needs them, so every other
// update stays the Windows release's datagram byte for byte.
constexpr int kExtensionFirst = 19;
constexpr int kExtensionFields = 4;

bool needsExtension(const RUpdateRec& rec)
{
    return isHebrewEventType(rec.REventType) || rec.Adv_SkipDaysOff;
}

// A Windows peer knows no Hebrew type: given as one-time, it rings once, at
// the occurrence the author's copy is due, and never on a wrong date.
short typeForWindows(short eventType)
{
    return isHebrewEventType(eventType) ? short(EventOnce) : eventType;
}

} // namespace

QString BuildRUpdate(const RUpdateRec& rec)
{
    QString text;
    append(text, QStringLiteral("UPD"));
    append(text, rec.Recipients);
    append(text, QString::number(rec.BroadcastId));
    append(text, rec.RCaption);
    append(text, formatNextDate(rec.RDate));
    append(text, QString::number(rec.RImportance));
    append(text, QString::number(typeForWindows(rec.REventType)));
    append(text, rec.RDetail);
    append(text, lanBool(rec.RActive));
    append(text, QString::number(rec.Adv_Period));
    append(text, QString::number(rec.Adv_PeriodN));
    append(text, lanBool(rec.Adv_AdvOpt));
    append(text, QString::number(rec.Adv_WeekDay));
    append(text, QString::number(rec.Adv_MonthDay));
    append(text, QString::number(rec.Adv_MonthCount));
    append(text, formatNextDate(rec.Adv_DateEnd.value_or(Date())));
    append(text, lanBool(rec.Adv_NoEnd));
    append(text, rec.RAuthor);
    if (needsExtension(rec)) {
        append(text, QString::number(rec.REventType));
        append(text, QString::number(rec.Adv_HebrewMonth));
        append(text, QString::number(rec.Adv_HebrewDay));
        append(text, lanBool(rec.Adv_SkipDaysOff));
    }
    return text;
}

RUpdateRec ParseRUpdate(const QStringList& tokens)
{
    auto at = [&tokens](int index) -> const QString& { return tokenAt(tokens, index); };
    RUpdateRec rec;
    rec.Recipients = at(2);
    rec.BroadcastId = lanToLong(at(3));
    rec.RCaption = at(4);
    rec.RDate = lanToDate(at(5));
    rec.RImportance = lanToShort(at(6));
    rec.REventType = lanToShort(at(7));
    rec.RDetail = at(8);
    rec.RActive = lanToBool(at(9));
    rec.Adv_Period = lanToShort(at(10));
    rec.Adv_PeriodN = lanToShort(at(11));
    rec.Adv_AdvOpt = lanToBool(at(12));
    rec.Adv_WeekDay = lanToShort(at(13));
    rec.Adv_MonthDay = lanToShort(at(14));
    rec.Adv_MonthCount = lanToShort(at(15));
    rec.Adv_DateEnd = lanToDate(at(16));
    rec.Adv_NoEnd = lanToBool(at(17));
    rec.RAuthor = at(18);
    if (tokens.size() >= kExtensionFirst + kExtensionFields) {
        rec.REventType = lanToShort(at(19));
        rec.Adv_HebrewMonth = lanToShort(at(20));
        rec.Adv_HebrewDay = lanToShort(at(21));
        rec.Adv_SkipDaysOff = lanToBool(at(22));
    }
    return rec;
}

void requireStorable(const RUpdateRec& rec)
{
    // 0 marks a reminder that was never sent; a copy must carry its author's identity.
    if (rec.BroadcastId == 0)
        throw Failure(QStringLiteral("No network identity"), 5);
    RequireStorable(rec);
}

void DropControlCharacters(RUpdateRec& rec)
{
    rec.RCaption = withoutControls(rec.RCaption, false);
    rec.RDetail = withoutControls(rec.RDetail, true);
    rec.RAuthor = withoutControls(rec.RAuthor, false);
}

bool NotForMe(const RUpdateRec& rec)
{
    if (rec.Recipients == kAllRecipients)
        return false;
    return !InNameList(LANNick, rec.Recipients);
}
