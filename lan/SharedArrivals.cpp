#include "lan/SharedArrivals.h"

#include "platform/Throttle.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>

#include <utility>

namespace {

std::function<void(const SharedArrival&)>& handler()
{
    static std::function<void(const SharedArrival&)> installed;
    return installed;
}

std::function<void(int)>& heldBackHandler()
{
    static std::function<void(int)> installed;
    return installed;
}

int g_heldBack = 0; // arrivals held back and not told yet

void tellHeldBack()
{
    const int count = std::exchange(g_heldBack, 0);
    if (count > 0 && heldBackHandler())
        heldBackHandler()(count);
}

// Lives with the application, so its timer never outlasts the event loop.
void tellHeldBackSoon()
{
    static QPointer<Throttle> telling;
    if (!telling)
        telling = new Throttle(kHeldBackGapMs, &tellHeldBack, QCoreApplication::instance());
    telling->request();
}

} // namespace

void setSharedArrivalHandler(std::function<void(const SharedArrival&)> installed)
{
    handler() = std::move(installed);
}

void setHeldBackArrivalsHandler(std::function<void(int count)> installed)
{
    heldBackHandler() = std::move(installed);
}

void NoteSharedArrival(const SharedArrival& arrival)
{
    static QElapsedTimer second;
    static int handed = 0;
    if (!handler())
        return;
    if (!second.isValid() || second.elapsed() >= 1000) {
        second.start();
        handed = 0;
    }
    if (handed++ < kMaxArrivalsPerSecond) {
        handler()(arrival);
        return;
    }
    if (g_heldBack < kMaxHeldBackCount)
        ++g_heldBack;
    tellHeldBackSoon();
}
