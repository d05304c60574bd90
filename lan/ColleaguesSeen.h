#pragma once

#include <QString>
#include <QStringList>

// Who the LAN has shown this installation: the colleagues kept in the
// database (store/Colleagues.h), so that they are known across runs, and
// those who answered "WHL" in this run (Listeners).

// A colleague was seen: an announcement or an answer came from nick at the
// address. Stored at most once a minute per nickname and address (LanLimits.h),
// so a flood of announcements makes no flood of writes; failures are logged
// "ColleagueSeen: ...". True when stored now.
bool NoteSeen(const QString& nick, const QString& address);

// The colleagues stored as seen within the last days and those who answered
// in this run, each once.
QStringList ColleaguesKnown();

// Where the colleague was last seen, for the recipient list: "ברשת המקומית
// (<address>)", "דרך שרת ההודעות (<user>)" or, for a machine behind a relay,
// "דרך הממסר <relay> (<address>)"; empty when never.
QString WhereSeen(const QString& nick);
