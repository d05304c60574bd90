#include "tray/ProgramEnd.h"

#include "platform/Processes.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace {
std::function<void(bool)> g_hook;
}

namespace ProgramEnd {

void quit()
{
    if (g_hook)
        return g_hook(false);
    // Queued, so that an end asked for while the main form loads (before the
    // event loop runs) is not lost.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

void now()
{
    if (g_hook)
        return g_hook(true);
    // The log is closed after every entry, so nothing is lost; the bus and the
    // tray host drop our names and icon when the process is gone.
    Processes::endNow(1);
}

void setHook(std::function<void(bool)> hook)
{
    g_hook = std::move(hook);
}

} // namespace ProgramEnd
