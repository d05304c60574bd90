#include "tests/support/TestFiles.h"

#include <QRandomGenerator>
#include <QUdpSocket>

#include <linux/capability.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

static __user_cap_header_struct capHeader{_LINUX_CAPABILITY_VERSION_3, 0};

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes, QFile::Permissions permissions)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size() ||
        !f.setPermissions(permissions))
        throw std::runtime_error("cannot write test file");
}

int fileMode(const QString& path)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

AsFileOwner::AsFileOwner()
{
    auto* saved = reinterpret_cast<__user_cap_data_struct*>(m_saved);
    ::syscall(SYS_capget, &capHeader, saved);
    __user_cap_data_struct reduced[2] = {saved[0], saved[1]};
    reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    ::syscall(SYS_capset, &capHeader, reduced);
}

AsFileOwner::~AsFileOwner()
{
    ::syscall(SYS_capset, &capHeader, m_saved);
}

quint16 freeUdpPort()
{
    for (;;) {
        const auto port = quint16(QRandomGenerator::global()->bounded(20000, 32000));
        if (QUdpSocket().bind(QHostAddress::AnyIPv4, port, QAbstractSocket::DontShareAddress))
            return port;
    }
}
