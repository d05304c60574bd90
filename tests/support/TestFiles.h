#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Whole files read and written as another program would, without the code
// under test. A missing or unreadable file reads as empty; a failed write throws.
QByteArray fileBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes,
                QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner);
// The permission bits of the file itself (a link's own), -1 when there is none.
int fileMode(const QString& path);

// A UDP port that nothing on this machine's addresses holds at the moment of asking.
quint16 freeUdpPort();

// While this lives, file permissions bind this thread as they bind a file's
// owner, even as root (whose override capabilities it drops).
class AsFileOwner
{
public:
    AsFileOwner();
    ~AsFileOwner();

private:
    unsigned m_saved[6] = {};
};
