#pragma once

#include "platform/ProgramDir.h"

#include <QTemporaryDir>

// A fresh program directory for one in-process test: the program-directory
// seam points at it while the object lives (unless a newer one took over).
class TempProgramDir
{
public:
    TempProgramDir() { ProgramDir::setOverride(m_dir.path()); }
    ~TempProgramDir()
    {
        if (ProgramDir::path() == m_dir.path())
            ProgramDir::setOverride(QString());
    }
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};
