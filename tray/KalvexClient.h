#pragma once

#include "platform/Failure.h"

#include <QVariantList>

#include <functional>

// Kalvex's automation class "Kalvex.KVClass" as Tolvane uses it: every call
// stands for creating a new object, calling one method on it and releasing it.
class KalvexClient
{
public:
    virtual ~KalvexClient() = default;
    // Throws NotCreated when no object can be created (the bus knows no
    // Kalvex or cannot start it), Failure when the method call itself fails.
    virtual void call(const QString& method, const QVariantList& args = {}) = 0;
    // The same call without waiting for its end (the answer is waited for
    // kPeerWaitMs at most); calls posted keep their order. Once the call has
    // ended, a failure reaches onFailure (its description), then onEnd runs.
    virtual void post(const QString& method, const QVariantList& args,
                      const std::function<void(const QString&)>& onFailure,
                      const std::function<void()>& onEnd = {})
    {
        try {
            call(method, args);
        } catch (const std::exception& e) {
            onFailure(describe(e));
        }
        if (onEnd)
            onEnd();
    }
};

// Creating the KVClass object failed.
class NotCreated : public Failure
{
public:
    using Failure::Failure;
};

namespace Kalvex {

// The client in use: a D-Bus call to Kalvex.KVClass at /KVClass with the
// bus's auto-start, unless a test has put a fake in its place.
KalvexClient& client();
void setClient(KalvexClient* fake); // nullptr: back to D-Bus

} // namespace Kalvex
