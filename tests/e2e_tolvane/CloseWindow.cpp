// Sends the close request to a window by its exact title, as Kalvex does to
// Tolvane's main form before restarting it. Exit code 1 when a window of that
// title is still there once the request has returned.
#include "CloseWindowByCaption.h"
#include "WindowDirectory.h"

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
