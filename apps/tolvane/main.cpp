#include "platform/ui/UiConventions.h"
#include "tray/TolvaneStart.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The main form is never shown; closing a message box must not end the program.
    app.setQuitOnLastWindowClosed(false);
    UiConventions::install();
    if (!modMain::Main())
        return 0;
    return app.exec();
}
