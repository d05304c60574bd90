#include "common/ui/CloseWindowByCaption.h"

#include "common/Log.h"
#include "platform/ui/WindowDirectory.h"

void CloseWindowByCaption(const QString& caption)
{
    QString error;
    if (!WindowDirectory::close(caption, &error) && !error.isEmpty())
        WriteLog(QStringLiteral("CloseWindowByCaption: ") + error, LogError);
}
