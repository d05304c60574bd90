#include "common/ReminderFile.h"

#include "platform/UserFiles.h"

QString reminderDbPath()
{
    return UserFiles::dataFile(QStringLiteral("KV_Data.mdb"));
}

QString editDraftPath()
{
    return UserFiles::dataFile(QStringLiteral("KV_Draft.json"));
}
