#include "common/EarlierInstallation.h"

#include "common/ActivationFile.h"
#include "common/AutoRunEntry.h"
#include "common/Ini.h"
#include "common/ReminderFile.h"
#include "common/SettingsKeys.h"
#include "platform/AutoStart.h"
#include "platform/Failure.h"
#include "platform/NewFile.h"
#include "platform/ProgramDir.h"
#include "platform/UserFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString kDatabase = QStringLiteral("KV_Data.mdb");
const QString kSettings = QStringLiteral("Kalvex.ini");

// The folders of the programs that the user's own entries start.
QStringList startedFolders()
{
    QStringList folders;
    for (const std::optional<QString>& program :
         {AutoStart::usersProgram(AutoRunEntry::entry.name),
          ActivationFile::programOf(ActivationFile::path())})
        if (program)
            folders << QFileInfo(*program).absolutePath();
    return folders;
}

QByteArray wholeFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("לא ניתן לקרוא את %1: %2").arg(path, f.errorString()));
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw Failure(QStringLiteral("לא ניתן לקרוא את %1: %2").arg(path, f.errorString()));
    return bytes;
}

// The bytes in a private file beside target, synced and read back.
QString writtenCopy(const QByteArray& bytes, const QString& target)
{
    const QString temp =
        target + QStringLiteral(".%1.new").arg(QRandomGenerator::system()->generate64(), 16, 16,
                                               QLatin1Char('0'));
    const QByteArray name = QFile::encodeName(temp);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    bool written = fd >= 0;
    int error = errno;
    for (qsizetype done = 0; written && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        written = n > 0;
        error = n > 0 ? 0 : (n == 0 ? ENOSPC : errno);
        done += n > 0 ? n : 0;
    }
    if (written && ::fsync(fd) != 0)
        written = false, error = errno;
    if (fd >= 0 && ::close(fd) != 0 && written)
        written = false, error = errno;
    if (!written || wholeFile(temp) != bytes) {
        QFile::remove(temp);
        throw Failure(QStringLiteral("לא ניתן להעתיק אל %1: %2")
                          .arg(target, UserFiles::reasonInHebrew(written ? EIO : error)));
    }
    return temp;
}

// A file that appeared at target meanwhile is left as it is, and fails the copy.
void copyInPlace(const QString& source, const QString& target)
{
    const QByteArray bytes = wholeFile(source);
    const QString temp = writtenCopy(bytes, target);
    try {
        placeNewFile(temp, target);
    } catch (const Failure& e) {
        QFile::remove(temp);
        throw Failure(QStringLiteral("לא ניתן לשמור את %1: %2").arg(target, e.description()));
    }
    QFile::remove(temp);
    if (wholeFile(target) != bytes)
        throw Failure(
            QStringLiteral("בינתיים נוצר קובץ חדש בשם %1; הקובץ הישן נשאר במקומו.").arg(target));
}

} // namespace

namespace EarlierInstallation {

std::optional<QString> database()
{
    if (UserFiles::besidePrograms() || QFile::exists(UserFiles::dataFile(kDatabase)))
        return std::nullopt;
    const QString left = ReadIni(SettingsKeys::reminderSection, SettingsKeys::earlierDatabase, {});
    for (const QString& folder : startedFolders()) {
        const QString database = folder + QLatin1Char('/') + kDatabase;
        if (folder != ProgramDir::path() && database != left && QFile::exists(database))
            return database;
    }
    return std::nullopt;
}

void move(const QString& database)
{
    // SQLite keeps unfinished work beside the file: a copy without it could
    // be a database half way through a change.
    for (const char* side : {"-journal", "-wal"})
        if (QFile::exists(database + QLatin1String(side)))
            throw Failure(QStringLiteral("ההתקנה הקודמת עדיין משתמשת בקובץ %1. יש לסגור אותה "
                                         "(ואת התזכורון שהיא מפעילה) ולנסות שוב.")
                              .arg(database));
    const QString target = UserFiles::dataFile(kDatabase);
    copyInPlace(database, target);
    const QString folder = QFileInfo(database).absolutePath() + QLatin1Char('/');
    // The same key, and its counter, keep the colleagues' trust in this user.
    for (const QString& name : TrustFileNames::all)
        if (QFile::exists(folder + name) && !QFile::exists(UserFiles::dataFile(name)))
            copyInPlace(folder + name, UserFiles::dataFile(name));
    const QString settings = folder + kSettings;
    if (QFile::exists(settings) && !QFile::exists(iniFilePath()))
        copyInPlace(settings, iniFilePath());
    // Left in place when its folder cannot be written: the copy is what counts.
    QFile::rename(database, database + kMovedSuffix);
    if (AutoStart::usersProgram(AutoRunEntry::entry.name))
        AutoStart::set(AutoRunEntry::entry, AutoRunEntry::program(), AutoRunEntry::icon);
}

void leave(const QString& database)
{
    WriteIni(SettingsKeys::reminderSection, SettingsKeys::earlierDatabase, database);
}

} // namespace EarlierInstallation
