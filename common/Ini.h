#pragma once

#include <QString>
#include <QStringList>

// The shared settings file "Kalvex.ini" in the user's config folder (the
// program directory where that can be written, platform/UserFiles.h), in the
// Windows profile format. Both programs read and write it. Its text is UTF-8,
// or Windows-1255 in a file carried over from the Windows release, and a
// write keeps the form the file was found in (ProfileEncoding.h).
//
// The office's settings: an administrator may put a "Kalvex.ini" of the same
// form where every user's programs read it, in
// $XDG_CONFIG_DIRS/veltrum-reminder/ (by default /etc/xdg/veltrum-reminder/)
// and, where users keep their own files elsewhere, in the program directory.
// Its values stand in for those a user has not set (a new user starts with
// the office's port, switches and other keys), and its section "Locked" names
// the keys the office has fixed, one line per section, the keys with commas
// between them:
//     [Locked]
//     LAN_Settings=Port,OptReceive
// A locked key reads as the office's value (or the default where it gives
// none) whatever the user's file says, and is not written.

// Reads one key. A missing file, section or key, or an empty value, gives the
// office's value, else the default; a longer value comes back as its first 79 characters. Section
// and key names match case-insensitively. A file that cannot be read reads as missing. Never fails.
QString ReadIni(const QString& section, const QString& key, const QString& defaultValue);
// The same up to maxChars characters, for a key that holds more than that
// buffer did (a list).
QString ReadIniLong(const QString& section, const QString& key, const QString& defaultValue,
                    int maxChars);

// Writes or replaces key=value in the section, creating section and file when
// absent. The whole file is rewritten atomically under a lock, so writers in
// two processes never lose each other's keys; the lock is waited for a few
// seconds at most. A file that exists but cannot be read is left as it is.
// A failure is logged as "WriteIni: <description>" and reported by the
// result, which callers may ignore. A key the office has locked is left as
// it is, with the result true.
bool WriteIni(const QString& section, const QString& key, const QString& value);

// The settings file's path.
QString iniFilePath();
// The office's settings files, the first that gives a key before the others.
QStringList officeSettingsFiles();
// Whether the office has locked the key.
bool isLockedByOffice(const QString& section, const QString& key);
