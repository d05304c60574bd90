// Closes a window by its title from another process, as Kalvex does; 1 when it is still there.
#include "common/ui/CloseWindowByCaption.h"
#include "platform/ui/WindowDirectory.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QString title = QString::fromUtf8(argv[1]);
    CloseWindowByCaption(title);
    return WindowDirectory::exists(title) ? 1 : 0;
}
