#include "TempProgramDir.h"

#include "ProgramDir.h"

TempProgramDir::TempProgramDir() { ProgramDir::setOverride(m_dir.path()); }

TempProgramDir::~TempProgramDir() { ProgramDir::setOverride(QString()); }
