#include "common/ReminderFile.h"

#include "platform/ProgramDir.h"

QString reminderDbPath()
{
    return ProgramDir::file(QStringLiteral("KV_Data.mdb"));
}

QString editDraftPath()
{
    return ProgramDir::file(QStringLiteral("KV_Draft.json"));
}
