#include "server/LanMessageSeam.h"

namespace {
LanMessageHandler& handler()
{
    static LanMessageHandler h;
    return h;
}
} // namespace

void setLanMessageHandler(LanMessageHandler h)
{
    handler() = std::move(h);
}

void ProcessLanMessage(const QString& datagram, const QString& source)
{
    if (handler())
        handler()(datagram, source);
}
