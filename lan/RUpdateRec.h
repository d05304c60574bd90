#pragma once

#include "Date.h"

#include <QString>
#include <QStringList>

// One reminder as an "UPD" datagram carries it, members in wire order.
struct RUpdateRec
{
    QString Recipients; // "ALL" or a name list
    qint32 BroadcastId = 0;
    QString RCaption;
    Date RDate;
    short RImportance = 0;
    short REventType = 0;
    QString RDetail;
    bool RActive = true;
    short Adv_Period = 0;
    short Adv_PeriodN = 0;
    bool Adv_AdvOpt = false;
    short Adv_WeekDay = 0;
    short Adv_MonthDay = 0;
    short Adv_MonthCount = 0;
    Date Adv_DateEnd;
    bool Adv_NoEnd = true;
    QString RAuthor;
};

inline const QString kAllRecipients = QStringLiteral("ALL");

// "UPD", TAB, then the 17 members each followed by TAB (no sender field).
QString BuildRUpdate(const RUpdateRec& rec);
// Reads tokens 2 to 18 of a split "UPD" datagram; a missing token or one that
// does not convert throws Failure.
RUpdateRec ParseRUpdate(const QStringList& tokens);
// Refuses, with a Failure naming the fault, a record that must not be stored:
// no network identity, a caption or author wider than its field, an unknown
// code, or a recurrence rule that no walk could follow.
void requireStorable(const RUpdateRec& rec);

// False when the update names this user (LANNick) or everybody.
bool NotForMe(const RUpdateRec& rec);
