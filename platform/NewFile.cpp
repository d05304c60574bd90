#include "platform/NewFile.h"

#include "platform/Failure.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

void placeNewFile(const QString& finished, const QString& target)
{
    const QByteArray source = QFile::encodeName(finished);
    const QByteArray name = QFile::encodeName(target);
    if (::link(source.constData(), name.constData()) == 0 || errno == EEXIST)
        return;
    // File systems without hard links.
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, name.constData(), RENAME_NOREPLACE) ==
            0 ||
        errno == EEXIST)
        return;
    throw Failure(QString::fromLocal8Bit(std::strerror(errno)));
}
