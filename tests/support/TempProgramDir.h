#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh program directory for one in-process test: the program-directory
// seam points at it while the object lives.
class TempProgramDir
{
public:
    TempProgramDir();
    ~TempProgramDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};
