#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <functional>

// The reminder methods of interface Kalvex.KVClass (common/Kalvex.KVClass.xml),
// for scripts and other programs, which KVClass serves. Each writes as the
// manager window's commands do (scheduling/ReminderWrites.h) and refuses bad
// input with InvalidArgument, naming the D-Bus argument, before anything is
// written. Other failures throw Failure. A call is carried out and answered
// as ScriptCalls.h says.
class ReminderScripts
{
public:
    // A new active reminder, as the editor's save of the same values stores
    // it. due is local time "yyyy-MM-ddTHH:mm"; eventType one of 0, 1, 5, 10,
    // 20, 30, 60, 120, 160 (a Hebrew series every month or year on due's
    // Hebrew date; an advanced rule is set with UpdateReminder); shareTo ""
    // keeps it here, "ALL" sends it to everybody and nicknames with commas
    // between them to those users, as the editor's "שלח ברשת" does (LAN
    // sending must be on). Gives its RMain_Id.
    qint32 AddReminder(const QString& caption, const QString& due, const QString& details,
                       int importance, int eventType, const QString& shareTo);

    // The delete command for one reminder, without its questions: with
    // network, a reminder this user shared is deleted on the network too
    // ("DEL"). Gives whether a reminder was deleted.
    bool DeleteReminder(qint32 id, bool network);

    // Postpones the reminder as the alert's "תזכיר לי בעוד" does: its next
    // due time becomes now (to the minute) plus the minutes, 1 to a year, and
    // it is active again; its due date stays. Gives true.
    bool PostponeReminder(qint32 id, int minutes);

    // One reminder, and the reminders of the list's show filter (0 active,
    // 1 inactive, 2 all) by due date; as ReminderMaps.h shows them.
    QVariantMap GetReminder(qint32 id);
    QList<QVariantMap> ListReminders(int filter);

    // Changes the fields given (ReminderMaps.h) and stores the reminder as
    // the editor's save does: RNext = RDate, the rule by type (the Adv_
    // fields only with the advanced type), and active unless RActive is
    // given, as every change in the editor makes it. A reminder this user
    // shared is sent again to the same recipients.
    void UpdateReminder(qint32 id, const QVariantMap& fields);

    // The due times of an active reminder, "yyyy-MM-ddTHH:mm", its current
    // one (RNext) first, then as dismissing each alert would make them:
    // count (1-1000) at most, fewer when its series ends.
    QStringList Occurrences(qint32 id, int count);
    // Israel's days off in the Gregorian year (1900-2200) in date order, each
    // "yyyy-MM-dd", TAB, its Hebrew name.
    QStringList DaysOff(int year);

protected:
    ~ReminderScripts() = default;
    // Carries out one call's work (which owns what it uses) as ScriptCalls.h
    // says: its value, or an invalid one when the reply goes out later.
    using Work = std::function<QVariant()>;
    virtual QVariant serveReminderCall(const Work& work) = 0;

private:
    template <typename Call> auto serve(Call call);
};
