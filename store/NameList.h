#pragma once

#include <QString>

// A name list, as SentTo and ReceivedBy store it and a datagram's recipients
// carry it: nicknames, each entry ended by CR.
inline constexpr QChar kNameEnd = u'\r';

// True when one of the list's CR-terminated entries is exactly the name.
bool InNameList(const QString& name, const QString& list);

namespace Queries {
// The same test as a condition of SQL on a column holding a name list (null
// counts as empty), the name bound as "?".
QString inNameList(const QString& column);
} // namespace Queries
