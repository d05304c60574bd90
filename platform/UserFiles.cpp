#include "platform/UserFiles.h"

#include "platform/Failure.h"
#include "platform/ProgramDir.h"
#include "platform/XdgDirs.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The package manager's hierarchy, read-only to everyone else.
bool underUsr(const QString& dir)
{
    const QString clean = QDir::cleanPath(dir);
    return clean == QLatin1String("/usr") || clean.startsWith(QLatin1String("/usr/"));
}

bool writableProgramDir(const QString& dir)
{
    return !underUsr(dir) &&
           ::faccessat(AT_FDCWD, QFile::encodeName(dir).constData(), W_OK, AT_EACCESS) == 0;
}

struct Decision
{
    QString programDir;
    bool beside = false;
};

const Decision& decision()
{
    static Decision decided;
    static bool made = false;
    const QString programDir = ProgramDir::path();
    if (!made || decided.programDir != programDir) {
        decided = {programDir, writableProgramDir(programDir)};
        made = true;
    }
    return decided;
}

// Each missing folder of the path made 0700, as the XDG rules ask; false with
// errno set when one cannot be made.
bool makeFolder(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) == 0 || errno == EEXIST)
        return true;
    if (errno != ENOENT)
        return false;
    const QString parent = path.section(QLatin1Char('/'), 0, -2);
    return !parent.isEmpty() && parent != path && makeFolder(parent) &&
           (::mkdir(name.constData(), 0700) == 0 || errno == EEXIST);
}

QString baseOf(UserFiles::Kind kind)
{
    switch (kind) {
    case UserFiles::Kind::Data:
        return XdgDirs::dataHome();
    case UserFiles::Kind::Config:
        return XdgDirs::configHome();
    case UserFiles::Kind::State:
        break;
    }
    return XdgDirs::stateHome();
}

QString folderPath(UserFiles::Kind kind)
{
    const Decision& d = decision();
    return d.beside ? d.programDir : baseOf(kind) + QLatin1Char('/') + UserFiles::kFolderName;
}

// Writes and syncs a few kilobytes, so a full disk shows (some file systems
// report it only when the data is synced). Gives errno, 0 when it went.
int tryWriting(const QString& dir)
{
    const QByteArray name = QFile::encodeName(dir + QStringLiteral("/.write-check"));
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    const QByteArray bytes(4096, ' ');
    int error = 0;
    if (::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size() || ::fsync(fd) != 0)
        error = errno ? errno : ENOSPC;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    ::unlink(name.constData());
    return error;
}

} // namespace

namespace UserFiles {

bool besidePrograms()
{
    return decision().beside;
}

QString folder(Kind kind)
{
    const QString path = folderPath(kind);
    makeFolder(path); // a folder that cannot be made fails the file's own use
    return path;
}

QString dataFile(const QString& name)
{
    return folder(Kind::Data) + QLatin1Char('/') + name;
}

QString configFile(const QString& name)
{
    return folder(Kind::Config) + QLatin1Char('/') + name;
}

QString stateFile(const QString& name)
{
    return folder(Kind::State) + QLatin1Char('/') + name;
}

void checkWritable()
{
    QStringList checked;
    for (const Kind kind : {Kind::Data, Kind::Config, Kind::State}) {
        const QString path = folderPath(kind);
        if (checked.contains(path))
            continue;
        checked << path;
        const int error = makeFolder(path) ? tryWriting(path) : errno;
        if (error != 0)
            throw Failure(QStringLiteral("לא ניתן לשמור את קבצי התזכורון בתיקייה %1: %2. "
                                         "התזכורות שכבר נשמרו ימשיכו לקפוץ, אבל תזכורות ושינויים "
                                         "חדשים לא יישמרו עד שהבעיה תיפתר.")
                              .arg(path, reasonInHebrew(error)));
    }
}

QString reasonInHebrew(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("אין מקום פנוי בדיסק");
    case EROFS:
        return QStringLiteral("הדיסק מוגן מפני כתיבה");
    case EACCES:
    case EPERM:
        return QStringLiteral("אין הרשאה לכתוב בה");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

} // namespace UserFiles
