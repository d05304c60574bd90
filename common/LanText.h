#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// LAN datagrams carry 8-bit Windows-1255 text (the code page of the Windows
// release, which the other installations on the network may still run).

// The largest UDP payload over IPv4: no peer can send a longer datagram.
inline constexpr int kMaxDatagramBytes = 65507;

// The text of a received datagram. A byte that Windows-1255 does not define
// becomes U+FFFD, so the receiver of the text can tell it came damaged; so
// does a NUL, which no message holds and no D-Bus string can carry.
QString lanTextFromBytes(const QByteArray& bytes);
// The datagram bytes of a text. A character that Windows-1255 lacks becomes
// one "?", as the Windows conversion makes it, so the text still goes out.
QByteArray lanBytesFromText(const QString& text);
// The characters of the text that Windows-1255 lacks (a character beyond
// U+FFFF whole), each once, in order; none when it has them all.
QStringList unsendableCharacters(const QString& text);

// The character a damaged byte turns into.
inline constexpr char16_t kDamagedCharacter = u'\uFFFD';

// What the log keeps of a received datagram: its first kLoggedDatagramChars
// characters (one byte each on the wire), and its length when it was longer.
QString datagramExcerpt(const QString& text);
// The same of the datagram's bytes, decoding no more than that.
QString datagramExcerpt(const QByteArray& bytes);
inline constexpr int kLoggedDatagramChars = 200;
