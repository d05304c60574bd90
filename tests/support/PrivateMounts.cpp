#include "tests/support/PrivateMounts.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>

namespace {

bool failed(QString* error, const QString& what)
{
    *error = what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

bool mountCall(const QString& source, const QString& target, const char* type, unsigned long flags,
               const QString& options, QString* error)
{
    if (::mount(QFile::encodeName(source).constData(), QFile::encodeName(target).constData(), type,
                flags, options.isEmpty() ? nullptr : options.toUtf8().constData()) == 0)
        return true;
    return failed(error, QStringLiteral("mount %1").arg(target));
}

} // namespace

namespace PrivateMounts {

bool enter(QString* error)
{
    static bool entered = false;
    if (entered)
        return true;
    if (::unshare(CLONE_NEWNS) != 0)
        return failed(error, QStringLiteral("a mount namespace of our own (root only)"));
    // Nothing mounted here travels back to the machine's namespace.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return failed(error, QStringLiteral("private mounts"));
    entered = true;
    return true;
}

bool makeReadOnly(const QString& dir, QString* error)
{
    return enter(error) && mountCall(dir, dir, nullptr, MS_BIND, {}, error) &&
           mountCall(dir, dir, nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, {}, error);
}

bool smallDisk(const QString& dir, qint64 bytes, QString* error)
{
    return enter(error) && mountCall(QStringLiteral("tmpfs"), dir, "tmpfs", 0,
                                     QStringLiteral("size=%1,mode=0755").arg(bytes), error);
}

void fill(const QString& file)
{
    QFile filler(file);
    if (filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        while (filler.write(QByteArray(4096, 'x')) == 4096) {
        }
}

bool overlaySystem(const QString& tree, QString* error)
{
    if (!enter(error))
        return false;
    for (const char* top : {"usr", "etc"}) {
        const QString target = QStringLiteral("/") + QLatin1String(top);
        const QString lower = tree + target + QLatin1Char(':') + target;
        if (!mountCall(QStringLiteral("overlay"), target, "overlay", MS_RDONLY,
                       QStringLiteral("lowerdir=") + lower, error))
            return false;
    }
    return true;
}

void removeOverlays()
{
    unmount(QStringLiteral("/etc"));
    unmount(QStringLiteral("/usr"));
}

void unmount(const QString& dir)
{
    ::umount2(QFile::encodeName(dir).constData(), MNT_DETACH);
}

} // namespace PrivateMounts
