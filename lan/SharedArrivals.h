#pragma once

#include "platform/Date.h"

#include <QString>

#include <functional>

// A received update or deletion that changed what this user holds, for the
// notice the tray shows: a new copy, a changed one, or one its author deleted.
struct SharedArrival
{
    enum Kind { New, Changed, Deleted };
    Kind kind = New;
    qint32 reminderId = 0; // the copy's RMain_Id (gone once deleted)
    QString author;
    QString caption;
    Date due;
};

// Where arrivals go; unset, nowhere. At most kMaxArrivalsPerSecond a second
// are handed on: a flood of updates makes no flood of notices. The others
// are counted, and the count goes to the held-back handler at the end of the
// turn of the event loop, once every kHeldBackGapMs at most, so the notice
// can count every arrival.
void setSharedArrivalHandler(std::function<void(const SharedArrival&)> handler);
void setHeldBackArrivalsHandler(std::function<void(int count)> handler);
inline constexpr int kMaxArrivalsPerSecond = 5;
inline constexpr int kHeldBackGapMs = 200;
inline constexpr int kMaxHeldBackCount = 1000000000; // a count never wraps
void NoteSharedArrival(const SharedArrival& arrival);
