#include "platform/SocketDrops.h"

#include <QFile>
#include <QList>

#include <sys/stat.h>

namespace {

// Columns of a line of /proc/net/udp and /proc/net/udp6.
constexpr int kInodeColumn = 9;
constexpr int kDropsColumn = 12;

std::optional<quint64> dropsIn(const QString& table, const QByteArray& inode)
{
    QFile file(table);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    file.readLine(); // the heading
    while (!file.atEnd()) {
        const QList<QByteArray> columns = file.readLine().simplified().split(' ');
        if (columns.size() > kDropsColumn && columns.at(kInodeColumn) == inode) {
            bool ok = false;
            const quint64 drops = columns.at(kDropsColumn).toULongLong(&ok);
            return ok ? std::optional(drops) : std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<quint64> udpSocketDrops(qintptr socketDescriptor)
{
    struct stat status
    {
    };
    if (socketDescriptor < 0 || ::fstat(int(socketDescriptor), &status) != 0)
        return std::nullopt;
    const QByteArray inode = QByteArray::number(quint64(status.st_ino));
    if (const std::optional<quint64> drops = dropsIn(QStringLiteral("/proc/net/udp"), inode))
        return drops;
    return dropsIn(QStringLiteral("/proc/net/udp6"), inode);
}
