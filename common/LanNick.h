#pragma once

#include <QString>

// The nickname by which a user is known on the LAN; it is also the author
// name of every reminder saved here.
inline constexpr int kNickWidth = 9;

// The computer's host name cut to a nickname's width: the nickname of a
// user who has not chosen one.
QString DefaultNick();
// The nickname as the settings file holds it ("Nick" of "LAN_Settings").
QString ReadNick();
