#include "CloseWindowByCaption.h"

#include "Log.h"
#include "WindowDirectory.h"

void CloseWindowByCaption(const QString& caption)
{
    QString error;
    if (!WindowDirectory::close(caption, &error) && !error.isEmpty())
        WriteLog(QStringLiteral("CloseWindowByCaption: ") + error, LogError);
}
