#include "CloseWindowByCaption.h"

#include "WindowDirectory.h"

void CloseWindowByCaption(const QString& caption)
{
    WindowDirectory::close(caption);
}
