#pragma once

#include <QString>

// The shared settings file "Kalvex.ini" in the user's config folder (the
// program directory where that can be written, platform/UserFiles.h), in the
// Windows profile format. Both programs read and write it. Its text is UTF-8,
// or Windows-1255 in a file carried over from the Windows release, and a
// write keeps the form the file was found in (ProfileEncoding.h).

// Reads one key. A missing file, section or key, or an empty value, gives the
// default; a longer value comes back as its first 79 characters. Section and
// key names match case-insensitively. A file that cannot be read reads as
// missing. Never fails.
QString ReadIni(const QString& section, const QString& key, const QString& defaultValue);

// Writes or replaces key=value in the section, creating section and file when
// absent. The whole file is rewritten atomically under a lock, so writers in
// two processes never lose each other's keys; the lock is waited for a few
// seconds at most. A file that exists but cannot be read is left as it is.
// A failure is logged as "WriteIni: <description>" and reported by the
// result, which callers may ignore.
bool WriteIni(const QString& section, const QString& key, const QString& value);

// The settings file's path.
QString iniFilePath();
