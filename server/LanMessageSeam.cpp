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

void setLanMessageHandler(std::function<void(const QString& datagram)> h)
{
    if (!h)
        handler() = nullptr;
    else
        handler() = [h = std::move(h)](const QString& datagram, const QString&) { h(datagram); };
}

void ProcessLanMessage(const QString& datagram, const QString& source)
{
    if (handler())
        handler()(datagram, source);
}
