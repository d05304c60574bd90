#include "trust/SignatureCounter.h"

#include "platform/Clock.h"
#include "platform/Failure.h"
#include "platform/FileLock.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace {

// The end of the last block reserved; 0 when there is no readable one.
quint64 reservedEnd(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.read(32).trimmed().toULongLong();
}

void writeReservedEnd(const QString& path, quint64 end)
{
    QSaveFile file(path);
    const QByteArray text = QByteArray::number(end) + '\n';
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw Failure(QStringLiteral("לא ניתן לכתוב את מונה החתימות בקובץ %1: %2")
                          .arg(path, file.errorString()));
}

} // namespace

quint64 SignatureCounter::next()
{
    if (m_next == m_end) {
        const FileLock lock(m_path + QStringLiteral(".lock"), std::chrono::seconds(2));
        const quint64 clockMicros =
            quint64(std::max<qint64>(Clock::secondsSinceEpoch(), 0)) * 1000000;
        const quint64 start = std::max({reservedEnd(m_path), clockMicros, m_end});
        writeReservedEnd(m_path, start + m_block);
        m_next = start;
        m_end = start + m_block;
    }
    return m_next++;
}
