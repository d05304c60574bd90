#include "common/Ini.h"

#include "common/Log.h"
#include "common/ProfileEncoding.h"
#include "common/ProfileFile.h"
#include "common/Trapped.h"
#include "platform/Failure.h"
#include "platform/FileLock.h"
#include "platform/ProgramDir.h"
#include "platform/UserFiles.h"
#include "platform/XdgDirs.h"

#include <QFile>
#include <QSaveFile>

namespace {

constexpr int kReadBufferChars = 79; // an 80-byte buffer less its terminating NUL

// How long a write waits for the other program to finish its own: a holder
// that has stopped must not freeze this program's user interface.
constexpr std::chrono::seconds kLockPatience(3);

// The file's bytes; none when it does not exist. A file that exists but
// cannot be read throws: writing then would replace it by the one key written.
QByteArray readSettingsFile(const QString& path)
{
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = f.readAll();
        if (f.error() == QFileDevice::NoError)
            return bytes;
    } else if (!f.exists()) {
        return QByteArray();
    }
    throw Failure(QStringLiteral("cannot read %1: %2").arg(path, f.errorString()));
}

// The first maxChars characters, never splitting a surrogate pair.
QString cutToBuffer(const QString& value, int maxChars)
{
    if (value.size() <= maxChars)
        return value;
    const int n = value.at(maxChars - 1).isHighSurrogate() ? maxChars - 1 : maxChars;
    return value.left(n);
}

// The file's text; empty when it is missing or cannot be read.
ProfileFile profileOf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return ProfileFile();
    ProfileEncoding encoding;
    return ProfileFile(decodeProfile(f.readAll(), &encoding));
}

// What the office says of one key: its value (null when none) and whether
// it is locked.
struct OfficeValue
{
    QString value;
    bool locked = false;
};

OfficeValue officeValue(const QString& section, const QString& key)
{
    OfficeValue found;
    for (const QString& path : officeSettingsFiles()) {
        const ProfileFile office = profileOf(path);
        if (found.value.isEmpty())
            found.value = office.value(section, key);
        for (const QString& locked :
             office.value(QStringLiteral("Locked"), section).split(QLatin1Char(',')))
            found.locked = found.locked || locked.trimmed().compare(key, Qt::CaseInsensitive) == 0;
    }
    return found;
}

void writeSettingsFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) < 0 || !out.commit())
        throw Failure(QStringLiteral("cannot write ") + path + QStringLiteral(": ") +
                      out.errorString());
}

} // namespace

QStringList officeSettingsFiles()
{
    QStringList files;
    for (const QString& dir : XdgDirs::configDirs())
        files << dir + QLatin1Char('/') + UserFiles::kFolderName + QStringLiteral("/Kalvex.ini");
    if (!UserFiles::besidePrograms())
        files << ProgramDir::file(QStringLiteral("Kalvex.ini"));
    return files;
}

bool isLockedByOffice(const QString& section, const QString& key)
{
    return officeValue(section, key).locked;
}

QString iniFilePath()
{
    return UserFiles::configFile(QStringLiteral("Kalvex.ini"));
}

QString ReadIni(const QString& section, const QString& key, const QString& defaultValue)
{
    return ReadIniLong(section, key, defaultValue, kReadBufferChars);
}

QString ReadIniLong(const QString& section, const QString& key, const QString& defaultValue,
                    int maxChars)
{
    // As Windows' GetPrivateProfileString reads: an unreadable file or an
    // empty value counts as missing; otherwise the buffer's text up to its
    // first NUL. The office's value stands in for a missing one, and for
    // any where it is locked.
    const OfficeValue office = officeValue(section, key);
    QString value;
    if (!office.locked)
        value = profileOf(iniFilePath()).value(section, key);
    if (value.isEmpty())
        value = office.value;
    if (value.isEmpty())
        return defaultValue;
    value = cutToBuffer(value, maxChars);
    const int nul = value.indexOf(QChar(0));
    if (nul >= 0)
        value.truncate(nul);
    return value;
}

bool WriteIni(const QString& section, const QString& key, const QString& value)
{
    if (isLockedByOffice(section, key))
        return true; // the office's value stands
    return trapped(QStringLiteral("WriteIni"), [&] {
        // The settings file itself is replaced by rename, so a side file carries the lock.
        const QString path = iniFilePath();
        FileLock lock(path + QStringLiteral(".lock"), kLockPatience);
        ProfileEncoding encoding;
        ProfileFile profile(decodeProfile(readSettingsFile(path), &encoding));
        profile.setValue(section, key, value);
        writeSettingsFile(path, encodeProfile(profile.text(), encoding));
    });
}
