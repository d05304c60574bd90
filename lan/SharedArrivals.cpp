#include "lan/SharedArrivals.h"

#include <QElapsedTimer>

namespace {

std::function<void(const SharedArrival&)>& handler()
{
    static std::function<void(const SharedArrival&)> installed;
    return installed;
}

} // namespace

void setSharedArrivalHandler(std::function<void(const SharedArrival&)> installed)
{
    handler() = std::move(installed);
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
    if (handed++ < kMaxArrivalsPerSecond)
        handler()(arrival);
}
