#include "Ini.h"

#include "Failure.h"
#include "Log.h"
#include "ProfileFile.h"
#include "ProgramDir.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
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
        if (m_fd < 0)
            throw Failure(QStringLiteral("cannot open ") + path + QStringLiteral(": ") +
                          QString::fromLocal8Bit(strerror(errno)));
        int rc;
        do
            rc = ::flock(m_fd, LOCK_EX);
        while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            const int err = errno;
            ::close(m_fd);
            throw Failure(QStringLiteral("cannot lock ") + path + QStringLiteral(": ") +
                          QString::fromLocal8Bit(strerror(err)));
        }
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;
    ~WriteLock()
    {
        ::close(m_fd); // releases the lock
    }

private:
    int m_fd = -1;
};

// The first 79 characters, never splitting a surrogate pair.
QString cutToBuffer(const QString& value)
{
    if (value.size() <= kReadBufferChars)
        return value;
    const int n =
        value.at(kReadBufferChars - 1).isHighSurrogate() ? kReadBufferChars - 1 : kReadBufferChars;
    return value.left(n);
}

void writeProfile(const QString& path, const ProfileFile& profile)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(profile.text().toUtf8()) < 0 || !out.commit())
        throw Failure(QStringLiteral("cannot write ") + path + QStringLiteral(": ") +
                      out.errorString());
}

} // namespace

QString iniFilePath()
{
    return ProgramDir::file(QStringLiteral("Kalvex.ini"));
}

QString ReadIni(const QString& section, const QString& key, const QString& defaultValue)
{
    // As the profile call: an empty value counts as missing; otherwise the
    // buffer's text up to its first NUL.
    QString value = ProfileFile(readWholeFile(iniFilePath())).value(section, key);
    if (value.isEmpty())
        return defaultValue;
    value = cutToBuffer(value);
    const int nul = value.indexOf(QChar(0));
    if (nul >= 0)
        value.truncate(nul);
    return value;
}

bool WriteIni(const QString& section, const QString& key, const QString& value)
{
    try {
        const QString path = iniFilePath();
        WriteLock lock(path + QStringLiteral(".lock"));
        ProfileFile profile(readWholeFile(path));
        profile.setValue(section, key, value);
        writeProfile(path, profile);
        return true;
    } catch (const std::exception& e) {
        WriteLog(QStringLiteral("WriteIni: ") + describe(e), LogError);
        return false;
    }
}
