#pragma once

#include "common/LanNick.h"
#include "platform/Date.h"

#include <QString>
#include <QVariant>

#include <bitset>
#include <initializer_list>
#include <optional>

class Database;
class Dynaset;
class RowCursor;

// The fields of the reminder record, one row of Main_tbl, in table order.
enum class ReminderField {
    RMain_Id,
    RCaption,
    RDetail,
    RDate,
    RNext,
    RImportance,
    REventType,
    RActive,
    Adv_AdvOpt,
    Adv_Period,
    Adv_PeriodN,
    Adv_WeekDay,
    Adv_MonthDay,
    Adv_MonthCount,
    Adv_DateEnd,
    Adv_NoEnd,
    RDate0,
    BroadcastId,
    IAMAuthor,
    ReceivedBy,
    SentTo,
    RAuthor,
    Adv_HebrewMonth,
    Adv_HebrewDay,
    Adv_SkipDaysOff,
};
inline constexpr int kReminderFieldCount = int(ReminderField::Adv_SkipDaysOff) + 1;

// The field's name in the table and in query texts.
QString fieldName(ReminderField field);
// The field of that name (exactly as fieldName gives it); nothing for another name.
std::optional<ReminderField> fieldNamed(const QString& name);
// A field of the recurrence rule (AdvancedRule): Adv_AdvOpt to Adv_NoEnd, and
// the Hebrew anchor and the skipping of days off that came later.
constexpr bool isRuleField(ReminderField field)
{
    return (field >= ReminderField::Adv_AdvOpt && field <= ReminderField::Adv_NoEnd) ||
           field >= ReminderField::Adv_HebrewMonth;
}

// Text widths of Main_tbl.
inline constexpr int kCaptionWidth = 50;
inline constexpr int kAuthorWidth = kNickWidth; // the author is a nickname
inline constexpr int kNameListWidth = 255;      // SentTo, ReceivedBy

// One reminder's recurrence rule, the fields whose names begin with Adv_.
// The defaults are those of a new reminder in the editor: every week, no
// day chosen, no end. A null Adv_DateEnd stays null (nullopt).
struct AdvancedRule
{
    bool Adv_AdvOpt = true;
    short Adv_Period = 3; // weeks
    short Adv_PeriodN = 1;
    short Adv_WeekDay = 0;
    short Adv_MonthDay = 1;
    short Adv_MonthCount = 0;
    std::optional<Date> Adv_DateEnd;
    bool Adv_NoEnd = true;
    // The day and month of a Hebrew-calendar series (HebrewMonth numbers,
    // 0 Tishri ... 12 Elul; day 1-30), those of its start; 0 for any other
    // rule, and for a series whose anchor is its due date's.
    short Adv_HebrewMonth = 0;
    short Adv_HebrewDay = 0;
    // A daily or weekly rule passes over Israel's days off.
    bool Adv_SkipDaysOff = false;
};

// One row of Main_tbl with typed values. Read from a record set, a null
// field holds 0, the empty text, false or the zero date, and isNull() tells.
struct ReminderRecord : AdvancedRule
{
    qint32 RMain_Id = 0;
    QString RCaption;
    QString RDetail;
    Date RDate;
    Date RNext;
    Date RDate0;
    short RImportance = 0;
    short REventType = 0;
    bool RActive = false;
    QString RAuthor;
    bool IAMAuthor = true;
    qint32 BroadcastId = 0;
    QString SentTo;
    QString ReceivedBy;

    bool isNull(ReminderField field) const { return m_nulls[std::size_t(field)]; }
    // A date field (RDate, RNext, RDate0) as read: nullopt when it was null.
    std::optional<Date> optionalDate(ReminderField field) const;
    // Throws Failure "Invalid use of Null" when one of the fields is null.
    void requirePresent(std::initializer_list<ReminderField> fields) const;

    // One field as the table stores it: a text, a number (a date as its
    // serial, a yes/no as bool), null for a null field or a missing end date.
    QVariant value(ReminderField field) const;
    // Sets one field from such a value; one that does not convert throws Failure.
    void setValue(ReminderField field, const QVariant& value);

    // The current row of a record set. Fields the query did not select read
    // as null. A value that does not fit its field's type throws Failure.
    static ReminderRecord read(const RowCursor& rs);
    // Sets the given fields of the record set's edit buffer (edit or addNew first).
    void write(Dynaset& rs, std::initializer_list<ReminderField> fields) const;
    // What the reminder's author decides beside the recurrence rule: caption,
    // due date, importance, type, details, active; RNext is set to the due
    // date, as both a save and a received update clear a postponement.
    void writeAuthored(Dynaset& rs) const;
    // The Adv_ fields of the recurrence rule (AdvancedRule).
    void writeRule(Dynaset& rs) const;

private:
    std::bitset<kReminderFieldCount> m_nulls;
};

// True when both records hold the same value (null included) in each field
// given, or in every field.
bool sameIn(const ReminderRecord& a, const ReminderRecord& b,
            std::initializer_list<ReminderField> fields);
bool sameRecord(const ReminderRecord& a, const ReminderRecord& b);

// The reminder with this RMain_Id as stored now; nothing when it is gone.
std::optional<ReminderRecord> storedReminder(Database& db, qint32 id);

// One field of the current row, as the record set holds it.
QVariant fieldValue(const RowCursor& rs, ReminderField field);
// RMain_Id of the current row.
qint32 reminderId(const RowCursor& rs);
