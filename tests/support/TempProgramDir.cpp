#include "TempProgramDir.h"

#include "ProgramDir.h"

TempProgramDir::TempProgramDir()
{
    ProgramDir::setOverride(m_dir.path());
}

TempProgramDir::~TempProgramDir()
{
    // A newer directory may have taken over already; leave it in place.
    if (ProgramDir::path() == m_dir.path())
        ProgramDir::setOverride(QString());
}
