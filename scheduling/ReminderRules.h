#pragma once

#include "platform/Failure.h"
#include "scheduling/RuleChecks.h"
#include "store/ReminderRecord.h"

#include <QString>

// What makes a reminder valid and how its texts are stored: the rules that
// the editor, the LAN receiver and the scripting methods share. Writing a
// reminder by these rules: ReminderWrites.h.

// A reminder that must not be stored: the field at fault, and why in the
// user's words. The description, for the log, is "<field>: <why>".
class ReminderRefused : public Failure
{
public:
    ReminderRefused(ReminderField field, const QString& why);
    ReminderField field() const { return m_field; }
    const QString& why() const { return m_why; }

private:
    ReminderField m_field;
    QString m_why;
};

inline const QString kCaptionMissing = QStringLiteral("יש להזין כותרת");
// A title of nothing but blanks (any white space) is no title: its alert
// would show none.
bool captionMissing(const QString& caption);

// The title as an author's save stores it: tabs and line breaks become one
// blank each, then it is cut to its first 50 characters.
QString StoredCaption(QString typed);
// The details as an author's save stores them: tabs become blanks and every
// line break (LF, CR or CR LF) is CR LF. Not cut.
QString StoredDetail(QString typed);

// Refuses a reminder that must not be stored: an unknown importance or
// recurrence type, a caption or author wider than its field, a rule value
// outside its range (for every type: interval unit 0-5, weekday mask 0-127,
// day kind 0-9, occurrence 0-4), or an advanced rule no walk could follow
// (fewer than 1 unit per step, the advanced flag on a unit other than weeks
// or months). An advanced weekly rule without days steps by whole weeks.
void RequireStorable(const ReminderRecord& r);
// An author's reminder needs a title as well (captionMissing).
void RequireAuthored(const ReminderRecord& r);

// Why the recurrence refuses a rule, in the user's words.
QString RuleRefusalReason(RuleRefused::Value value);

// A reminder this user wrote and sent over the LAN. Any identity but 0 was
// sent: one taken after 24.8 days of uptime is negative.
bool SharedByMe(const ReminderRecord& r);
