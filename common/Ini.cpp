#include "Ini.h"

#include "Log.h"
#include "ProfileFile.h"
#include "ProgramDir.h"

#include <QFile>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr int kReadBufferChars = 79; // an 80-byte buffer less its terminating NUL

QString readWholeFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

// An exclusive advisory lock on a side file, so read-modify-write cycles of
// both programs never interleave. The settings file itself is replaced by
// rename, so it cannot carry the lock.
class WriteLock
{
public:
    explicit WriteLock(const QString& path)
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~WriteLock()
    {
        if (m_fd >= 0)
            ::close(m_fd); // releases the lock
    }
    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

} // namespace

QString iniFilePath() { return ProgramDir::file(QStringLiteral("Kalvex.ini")); }

QString ReadIni(const QString& section, const QString& key, const QString& defaultValue)
{
    QString value = ProfileFile(readWholeFile(iniFilePath())).value(section, key);
    const int nul = value.indexOf(QChar(0));
    if (nul >= 0)
        value.truncate(nul);
    if (value.isEmpty())
        return defaultValue;
    return value.left(kReadBufferChars);
}

bool WriteIni(const QString& section, const QString& key, const QString& value)
{
    const QString path = iniFilePath();
    WriteLock lock(path + QStringLiteral(".lock"));
    if (!lock.held()) {
        WriteLog(QStringLiteral("WriteIni: cannot lock ") + path + QStringLiteral(".lock"), LogError);
        return false;
    }
    ProfileFile profile(readWholeFile(path));
    profile.setValue(section, key, value);

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(profile.text().toUtf8()) < 0 || !out.commit()) {
        WriteLog(QStringLiteral("WriteIni: ") + out.errorString(), LogError);
        return false;
    }
    return true;
}
